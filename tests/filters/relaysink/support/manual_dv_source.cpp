#include "manual_dv_source.h"

#include <algorithm>
#include <cstring>

#include "platform/com/com_ptr.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/uuids.h"

namespace kvtest {

namespace {
// Room for a whole 625/50 frame and a little more, so tests can also hand
// over samples longer or shorter than a frame.
constexpr LONG kBufferBytes = 150000;
const GUID kClsidManualDvSource = MakeGuid("{6B1D3E30-2A51-4C6F-9E0B-5A0C7D8E9F01}");
}  // namespace

class ManualDvSource::Pin final : public CBaseOutputPin {
public:
    Pin(CBaseFilter* filter, CCritSec* lock, HRESULT* phr)
        : CBaseOutputPin("Manual DV output", filter, lock, phr, u"Output") {}

    HRESULT CheckMediaType(const CMediaType* mt) override {
        return *mt->Subtype() == MEDIASUBTYPE_dvsd ? S_OK : E_INVALIDARG;
    }

    HRESULT GetMediaType(int position, CMediaType* mt) override {
        if (position < 0) return E_INVALIDARG;
        if (position > 0) return VFW_S_NO_MORE_ITEMS;
        const DVINFO block{};
        mt->SetType(&MEDIATYPE_Interleaved);
        mt->SetSubtype(&MEDIASUBTYPE_dvsd);
        mt->SetFormatType(&FORMAT_DvInfo);
        mt->SetFormat(reinterpret_cast<const BYTE*>(&block), sizeof block);
        return S_OK;
    }

    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
        request->cBuffers = 2;
        request->cbBuffer = kBufferBytes;
        if (request->cbAlign < 1) request->cbAlign = 1;
        ALLOCATOR_PROPERTIES actual{};
        return allocator->SetProperties(request, &actual);
    }
};

ManualDvSource::ManualDvSource() : CBaseFilter("Manual DV source", nullptr, &lock_, kClsidManualDvSource) {
    HRESULT hr = S_OK;
    pin_ = std::make_unique<Pin>(this, &lock_, &hr);
}

ComPtr<IBaseFilter> ManualDvSource::Create(ManualDvSource** self) {
    auto* filter = new ManualDvSource();
    if (self) *self = filter;
    return ComPtr<IBaseFilter>(static_cast<IBaseFilter*>(filter));
}

CBasePin* ManualDvSource::GetPin(int n) { return n == 0 ? pin_.get() : nullptr; }

HRESULT ManualDvSource::DeliverFrame(const std::vector<std::uint8_t>& frame, bool discontinuity) {
    ComPtr<IMediaSample> sample;
    HRESULT hr = pin_->GetDeliveryBuffer(sample.GetAddressOf(), nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    const LONG length = static_cast<LONG>(std::min<std::size_t>(frame.size(), static_cast<std::size_t>(sample->GetSize())));
    if (length > 0) std::memcpy(buffer, frame.data(), static_cast<std::size_t>(length));
    sample->SetActualDataLength(length);
    sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
    return pin_->Deliver(sample.Get());
}

HRESULT ManualDvSource::DeliverEndOfStream() { return pin_->DeliverEndOfStream(); }

}  // namespace kvtest
