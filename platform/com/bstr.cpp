#include "platform/com/bstr.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

#include "platform/com/utf.h"

namespace {

using Prefix = std::uint32_t;  // byte length, as on Windows

// The allocation holds [prefix][characters][zero]; the BSTR points at the characters.
BSTR Allocate(UINT byteLength) {
    if (byteLength > UINT32_MAX - sizeof(Prefix) - sizeof(OLECHAR) * 2) return nullptr;
    auto* block = static_cast<unsigned char*>(std::malloc(sizeof(Prefix) + byteLength + sizeof(OLECHAR) + 1));
    if (!block) return nullptr;
    const Prefix prefix = byteLength;
    std::memcpy(block, &prefix, sizeof prefix);
    auto* text = block + sizeof(Prefix);
    text[byteLength] = 0;
    text[byteLength + 1] = 0;
    return reinterpret_cast<BSTR>(text);
}

UINT Length(const OLECHAR* text) {
    UINT n = 0;
    if (text)
        while (text[n]) ++n;
    return n;
}

}  // namespace

BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    BSTR result = Allocate(length * sizeof(OLECHAR));
    if (result && text) std::memcpy(result, text, length * sizeof(OLECHAR));
    else if (result) std::memset(result, 0, length * sizeof(OLECHAR));
    return result;
}

BSTR SysAllocString(const OLECHAR* text) { return text ? SysAllocStringLen(text, Length(text)) : nullptr; }

BSTR SysAllocStringByteLen(const char* bytes, UINT length) {
    BSTR result = Allocate(length);
    if (result && bytes) std::memcpy(result, bytes, length);
    return result;
}

int SysReAllocString(BSTR* target, const OLECHAR* text) {
    if (!target) return FALSE;
    BSTR replacement = SysAllocString(text);
    if (text && !replacement) return FALSE;
    SysFreeString(*target);
    *target = replacement;
    return TRUE;
}

void SysFreeString(BSTR text) {
    if (text) std::free(reinterpret_cast<unsigned char*>(text) - sizeof(Prefix));
}

UINT SysStringByteLen(BSTR text) {
    if (!text) return 0;
    Prefix prefix;
    std::memcpy(&prefix, reinterpret_cast<unsigned char*>(text) - sizeof(Prefix), sizeof prefix);
    return prefix;
}

UINT SysStringLen(BSTR text) { return SysStringByteLen(text) / sizeof(OLECHAR); }

struct bstr_t::Data {
    BSTR text = nullptr;
    explicit Data(BSTR owned) : text(owned) {}
    ~Data() { SysFreeString(text); }
    Data(const Data&) = delete;
    Data& operator=(const Data&) = delete;
};

bstr_t::bstr_t(const char* utf8) : bstr_t(std::string_view(utf8 ? utf8 : "")) {}

bstr_t::bstr_t(std::string_view utf8) : bstr_t(std::u16string_view(Utf8ToUtf16(utf8))) {}

bstr_t::bstr_t(const OLECHAR* text) : bstr_t(std::u16string_view(text ? text : u"")) {}

bstr_t::bstr_t(std::u16string_view text) {
    if (text.empty()) return;
    BSTR copy = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
    if (copy) data_ = std::make_shared<Data>(copy);
}

bstr_t::bstr_t(BSTR text, bool copy) {
    if (!text) return;
    if (copy) {
        *this = bstr_t(std::u16string_view(text, SysStringLen(text)));
    } else {
        data_ = std::make_shared<Data>(text);
    }
}

const OLECHAR* bstr_t::c_str() const { return data_ && data_->text ? data_->text : u""; }

std::u16string_view bstr_t::view() const {
    return data_ ? std::u16string_view(data_->text, SysStringLen(data_->text)) : std::u16string_view();
}

std::string bstr_t::utf8() const { return Utf16ToUtf8(view()); }

UINT bstr_t::length() const { return data_ ? SysStringLen(data_->text) : 0; }

BSTR bstr_t::copy() const {
    const auto text = view();
    return SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
}

BSTR bstr_t::Detach() {
    BSTR result = nullptr;
    if (data_ && data_.use_count() == 1) {
        result = std::exchange(data_->text, nullptr);
    } else {
        result = copy();
    }
    data_.reset();
    return result;
}
