#pragma once
// IDvStamp: the DV video info filter's custom interface, with the filter's
// class identifier. The program holds its own copies of both identifiers;
// they must stay equal to these.
#include "dvshared/dv_frame_info.h"
#include "platform/com/unknown.h"

inline constexpr CLSID CLSID_DvStamp = MakeGuid("{FD501045-8ECF-11CF-8284-00AA00577DA1}");

struct IDvStamp : IUnknown {
    // Slot 3. Copies the record of the latest frame (all zeros before the
    // first) into the caller's record, all 56 bytes from one frame. Any
    // thread. E_POINTER if info is null.
    virtual HRESULT GetFrameInfo(DvFrameInfo* info) = 0;

protected:
    ~IDvStamp() = default;
};
KV_DEFINE_IID(IDvStamp, "{FD5010A3-8EBE-11CE-8183-00AA00587EA2}");
