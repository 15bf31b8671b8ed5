#pragma once
// BSTR: a UTF-16 string allocated with a 32-bit byte-length prefix and a
// terminating zero, passed across COM boundaries. A null BSTR is the empty string.
//
// bstr_t plays the role of _bstr_t: a reference-counted holder whose copies
// share one BSTR, so folder and file names can be handed between the program,
// the frame server and queue items without copying.
#include <memory>
#include <string>
#include <string_view>

#include "platform/com/wintypes.h"

using BSTR = OLECHAR*;

BSTR SysAllocString(const OLECHAR* text);
BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
BSTR SysAllocStringByteLen(const char* bytes, UINT length);
int SysReAllocString(BSTR* target, const OLECHAR* text);
void SysFreeString(BSTR text);
UINT SysStringLen(BSTR text);
UINT SysStringByteLen(BSTR text);

class bstr_t {
public:
    bstr_t() = default;
    bstr_t(const char* utf8);
    bstr_t(std::string_view utf8);
    bstr_t(const std::string& utf8) : bstr_t(std::string_view(utf8)) {}
    bstr_t(const OLECHAR* text);
    bstr_t(std::u16string_view text);
    // Copies text when copy is true; otherwise adopts the BSTR and frees it later.
    bstr_t(BSTR text, bool copy);

    // The shared string; never null (an empty holder yields u"").
    const OLECHAR* c_str() const;
    operator const OLECHAR*() const { return c_str(); }
    std::u16string_view view() const;
    std::string utf8() const;
    UINT length() const;
    bool empty() const { return length() == 0; }

    // A new BSTR the caller owns (SysFreeString).
    BSTR copy() const;
    // Gives the string to the caller when no other holder shares it, else a copy.
    BSTR Detach();

    // Number of holders sharing the string (0 when empty), for tests of sharing.
    long use_count() const { return data_.use_count(); }

    friend bool operator==(const bstr_t& a, const bstr_t& b) { return a.view() == b.view(); }

private:
    struct Data;
    std::shared_ptr<Data> data_;
};
