#pragma once
// IStillGrab: the video grabber's custom interface, with the grabber's class
// identifier. The program holds its own copies of both identifiers; they must
// stay equal to these.
//
// Taking one still: SetGrab(1); let a sample flow; poll IsFrameReady; then
// GetFrameSize, GetFrame into a buffer of that size, GetFrameHeader.
#include "platform/media/formats.h"

inline constexpr CLSID CLSID_StillGrab = MakeGuid("{2FA4F153-6D60-4CB0-9503-8E89234F3F73}");

struct IStillGrab : IUnknown {
    // Slot 3. Non-zero arms the grabber (and clears frame ready): the next
    // sample is copied. Zero disarms without touching frame ready.
    virtual HRESULT SetGrab(BYTE request) = 0;
    // Slot 4. Stored and otherwise unused; the slot keeps the interface's layout.
    virtual HRESULT SetReservedFlag(BYTE value) = 0;
    // Slot 5. Non-zero once a frame has been copied since the last arming.
    virtual HRESULT IsFrameReady(BYTE* ready) = 0;
    // Slot 6. Bytes in the held frame; 0 before the first copy.
    virtual HRESULT GetFrameSize(LONG* size) = 0;
    // Slot 7. Copies the held frame into buffer, which must hold GetFrameSize bytes.
    virtual HRESULT GetFrame(BYTE* buffer) = 0;
    // Slot 8. The bitmap header describing the held frame.
    virtual HRESULT GetFrameHeader(BITMAPINFOHEADER* header) = 0;
    // Slot 9. Reserved: E_NOTIMPL.
    virtual HRESULT ReservedMethod(void* reserved) = 0;

protected:
    ~IStillGrab() = default;
};
KV_DEFINE_IID(IStillGrab, "{6B653FFF-11FE-4FCE-92AD-0266B5D7C78F}");
