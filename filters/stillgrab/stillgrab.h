#pragma once
// StillGrabFilter: the video grabber. An in-place transform on an RGB32
// stream that passes every sample on untouched and, when armed, copies the
// next sample with a bitmap header describing it, for stills and thumbnails.
#include <atomic>
#include <mutex>
#include <vector>

#include "filters/stillgrab/istillgrab.h"
#include "platform/media/base/transinplacefilter.h"

class StillGrabFilter final : public CTransInPlaceFilter, public IStillGrab {
public:
    // The factory template's creation function.
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IStillGrab; any thread. Null pointers are refused with E_POINTER.
    HRESULT SetGrab(BYTE request) override;
    HRESULT SetReservedFlag(BYTE value) override;
    HRESULT IsFrameReady(BYTE* ready) override;
    HRESULT GetFrameSize(LONG* size) override;
    HRESULT GetFrame(BYTE* buffer) override;
    HRESULT GetFrameHeader(BITMAPINFOHEADER* header) override;
    HRESULT ReservedMethod(void* reserved) override;

    // Connection thread: RGB32 video with a VIDEOINFOHEADER only; records its bitmap header.
    HRESULT CheckInputType(const CMediaType* mt) override;
    // Streaming thread: follows format changes and makes the armed copy; always S_OK.
    HRESULT Transform(IMediaSample* sample) override;

private:
    StillGrabFilter(IUnknown* outer, HRESULT* phr);

    // grabLock_ held.
    void RecordHeader(const AM_MEDIA_TYPE& mt);
    void CopyFrame(IMediaSample* sample);

    std::mutex grabLock_;
    bool grabRequested_ = false;  // guarded by grabLock_
    BYTE reservedFlag_ = 0;       // guarded by grabLock_
    // Set under grabLock_ after the copy is complete, read without it by
    // IsFrameReady; the release/acquire pair makes a reader that saw it set
    // find the whole frame behind the lock.
    std::atomic<bool> frameReady_{false};
    // The last copied frame; its size is the held size. Reused while the
    // stream's buffer size stays the same. Guarded by grabLock_.
    std::vector<BYTE> heldFrame_;
    BITMAPINFOHEADER header_{};  // guarded by grabLock_
};
