#include "filters/stillgrab/stillgrab.h"

#include <algorithm>
#include <memory>
#include <new>

#include "filters/stillgrab/frame_header.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kFilterName[] = "Tarvik Video Grabber";

using MediaTypeHolder = std::unique_ptr<AM_MEDIA_TYPE, decltype(&DeleteMediaType)>;

}  // namespace

CUnknown* StillGrabFilter::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) StillGrabFilter(outer, phr);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

StillGrabFilter::StillGrabFilter(IUnknown* outer, HRESULT* phr)
    : CTransInPlaceFilter(kFilterName, outer, CLSID_StillGrab, phr, false) {}

HRESULT StillGrabFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IStillGrab) return GetInterface(static_cast<IStillGrab*>(this), ppv);
    return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT StillGrabFilter::SetGrab(BYTE request) {
    std::scoped_lock lock(grabLock_);
    if (request) frameReady_.store(false, std::memory_order_relaxed);
    grabRequested_ = request != 0;
    return S_OK;
}

HRESULT StillGrabFilter::SetReservedFlag(BYTE value) {
    std::scoped_lock lock(grabLock_);
    reservedFlag_ = value;
    return S_OK;
}

HRESULT StillGrabFilter::IsFrameReady(BYTE* ready) {
    if (!ready) return E_POINTER;
    *ready = frameReady_.load(std::memory_order_acquire) ? 1 : 0;
    return S_OK;
}

HRESULT StillGrabFilter::GetFrameSize(LONG* size) {
    if (!size) return E_POINTER;
    std::scoped_lock lock(grabLock_);
    *size = static_cast<LONG>(heldFrame_.size());
    return S_OK;
}

HRESULT StillGrabFilter::GetFrame(BYTE* buffer) {
    std::scoped_lock lock(grabLock_);
    // Nothing held means nothing to copy, even into a buffer of zero bytes.
    if (heldFrame_.empty()) return S_OK;
    if (!buffer) return E_POINTER;
    std::copy(heldFrame_.begin(), heldFrame_.end(), buffer);
    return S_OK;
}

HRESULT StillGrabFilter::GetFrameHeader(BITMAPINFOHEADER* header) {
    if (!header) return E_POINTER;
    std::scoped_lock lock(grabLock_);
    *header = header_;
    return S_OK;
}

HRESULT StillGrabFilter::ReservedMethod(void*) { return E_NOTIMPL; }

HRESULT StillGrabFilter::CheckInputType(const CMediaType* mt) {
    if (!mt || *mt->Type() != MEDIATYPE_Video || *mt->Subtype() != MEDIASUBTYPE_RGB32 ||
        *mt->FormatType() != FORMAT_VideoInfo)
        return VFW_E_INVALID_MEDIA_TYPE;
    std::scoped_lock lock(grabLock_);
    RecordHeader(*mt);
    return S_OK;
}

HRESULT StillGrabFilter::Transform(IMediaSample* sample) {
    if (!sample) return S_OK;
    std::scoped_lock lock(grabLock_);
    AM_MEDIA_TYPE* changed = nullptr;
    sample->GetMediaType(&changed);
    const MediaTypeHolder changedHolder(changed, &DeleteMediaType);
    if (changed) RecordHeader(*changed);
    if (grabRequested_ && !frameReady_.load(std::memory_order_relaxed)) CopyFrame(sample);
    return S_OK;
}

void StillGrabFilter::RecordHeader(const AM_MEDIA_TYPE& mt) {
    // A type without a usable picture size keeps the header of the last one that had it.
    if (const auto header = PictureHeaderOf(mt)) header_ = *header;
}

void StillGrabFilter::CopyFrame(IMediaSample* sample) {
    // The whole buffer is copied, not just the data length: the header is
    // then fitted to it, so bits and header always describe the same bytes.
    BYTE* data = nullptr;
    const LONG size = sample->GetSize();
    // A sample without data stays uncopied; the grab waits for the next one.
    if (FAILED(sample->GetPointer(&data)) || !data || size <= 0) return;
    try {
        heldFrame_.assign(data, data + size);
    } catch (const std::bad_alloc&) {
        heldFrame_ = {};
        return;
    }
    FitHeaderToBuffer(header_, size);
    grabRequested_ = false;
    frameReady_.store(true, std::memory_order_release);
}
