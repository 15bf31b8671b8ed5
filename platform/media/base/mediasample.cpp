#include "platform/media/base/mediasample.h"

#include "platform/media/base/baseallocator.h"
#include "platform/media/base/mediatype.h"

CMediaSample::CMediaSample(const char*, CBaseAllocator* allocator, HRESULT* phr, BYTE* buffer, LONG length)
    : allocator_(allocator), buffer_(buffer), cbBuffer_(length) {
    if (!allocator && phr) *phr = E_POINTER;
}

CMediaSample::~CMediaSample() { ClearPerUseState(); }

HRESULT CMediaSample::QueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    *ppv = nullptr;
    if (riid == IID_IUnknown || riid == IID_IMediaSample) {
        *ppv = static_cast<IMediaSample*>(this);
        AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

ULONG CMediaSample::AddRef() { return static_cast<ULONG>(++refCount_); }

ULONG CMediaSample::Release() {
    const LONG remaining = --refCount_;
    if (remaining == 0) {
        ClearPerUseState();
        // The allocator may free this sample inside the call; touch nothing after it.
        allocator_->ReleaseBuffer(this);
        return 0;
    }
    return static_cast<ULONG>(remaining < 0 ? 0 : remaining);
}

void CMediaSample::ClearPerUseState() {
    flags_ = 0;
    actualLength_ = 0;
    if (mediaType_) {
        DeleteMediaType(mediaType_);
        mediaType_ = nullptr;
    }
}

HRESULT CMediaSample::GetPointer(BYTE** buffer) {
    if (!buffer) return E_POINTER;
    *buffer = buffer_;
    return S_OK;
}

HRESULT CMediaSample::GetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    if (!start || !end) return E_POINTER;
    if (!(flags_ & kTimeValid)) return VFW_E_SAMPLE_TIME_NOT_SET;
    *start = start_;
    if (!(flags_ & kStopValid)) {
        *end = start_ + 1;
        return VFW_S_NO_STOP_TIME;
    }
    *end = end_;
    return S_OK;
}

HRESULT CMediaSample::SetTime(REFERENCE_TIME* start, REFERENCE_TIME* end) {
    flags_ &= ~(kTimeValid | kStopValid);
    if (!start) return S_OK;
    start_ = *start;
    flags_ |= kTimeValid;
    if (end) {
        end_ = *end;
        flags_ |= kStopValid;
    }
    return S_OK;
}

HRESULT CMediaSample::IsSyncPoint() { return (flags_ & kSyncPoint) ? S_OK : S_FALSE; }
HRESULT CMediaSample::IsPreroll() { return (flags_ & kPreroll) ? S_OK : S_FALSE; }
HRESULT CMediaSample::IsDiscontinuity() { return (flags_ & kDiscontinuity) ? S_OK : S_FALSE; }

namespace {
void SetFlag(DWORD& flags, DWORD flag, BOOL on) {
    if (on) flags |= flag;
    else flags &= ~flag;
}
}  // namespace

HRESULT CMediaSample::SetSyncPoint(BOOL syncPoint) {
    SetFlag(flags_, kSyncPoint, syncPoint);
    return S_OK;
}
HRESULT CMediaSample::SetPreroll(BOOL preroll) {
    SetFlag(flags_, kPreroll, preroll);
    return S_OK;
}
HRESULT CMediaSample::SetDiscontinuity(BOOL discontinuity) {
    SetFlag(flags_, kDiscontinuity, discontinuity);
    return S_OK;
}

HRESULT CMediaSample::SetActualDataLength(LONG length) {
    if (length < 0 || length > cbBuffer_) return VFW_E_BUFFER_OVERFLOW;
    actualLength_ = length;
    return S_OK;
}

HRESULT CMediaSample::GetMediaType(AM_MEDIA_TYPE** mt) {
    if (!mt) return E_POINTER;
    *mt = nullptr;
    if (!mediaType_) return S_FALSE;
    *mt = CreateMediaType(mediaType_);
    return *mt ? S_OK : E_OUTOFMEMORY;
}

HRESULT CMediaSample::SetMediaType(AM_MEDIA_TYPE* mt) {
    AM_MEDIA_TYPE* copy = nullptr;
    if (mt) {
        copy = CreateMediaType(mt);
        if (!copy) return E_OUTOFMEMORY;
    }
    if (mediaType_) DeleteMediaType(mediaType_);
    mediaType_ = copy;
    return S_OK;
}

HRESULT CMediaSample::GetMediaTime(LONGLONG* start, LONGLONG* end) {
    if (!start || !end) return E_POINTER;
    if (!(flags_ & kMediaTimeValid)) return VFW_E_MEDIA_TIME_NOT_SET;
    *start = mediaStart_;
    *end = mediaEnd_;
    return S_OK;
}

HRESULT CMediaSample::SetMediaTime(LONGLONG* start, LONGLONG* end) {
    if (!start) {
        flags_ &= ~kMediaTimeValid;
        return S_OK;
    }
    if (!end) return E_POINTER;
    mediaStart_ = *start;
    mediaEnd_ = *end;
    flags_ |= kMediaTimeValid;
    return S_OK;
}

void CMediaSample::SetPointer(BYTE* buffer, LONG length) {
    buffer_ = buffer;
    cbBuffer_ = length;
    actualLength_ = 0;
}
