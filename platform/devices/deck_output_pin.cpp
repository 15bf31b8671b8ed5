#include "platform/devices/deck_output_pin.h"

#include <cstring>

#include "platform/com/com_ptr.h"
#include "platform/media/uuids.h"

namespace {

// The DVINFO a DV camcorder announces: the AAUX source and control packs of
// both audio blocks (48 kHz, 16-bit, stereo) and the VAUX source and control
// packs, without their pack ids (IEC 61834-4).
constexpr DVINFO kDvInfo625{0xD0E000D0, 0xFFA0CF03, 0xD0E001D0, 0xFFA0CF03, 0xFF20FFFF, 0xFFFD8003, {0, 0}};
constexpr DVINFO kDvInfo525{0xD0C000CE, 0xFFA0CF03, 0xD0C001CE, 0xFFA0CF03, 0xFF00FFFF, 0xFFFC803F, {0, 0}};

constexpr LONG kBuffers = 4;  // frames in flight to one consumer

}  // namespace

DeckOutputPin::DeckOutputPin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr,
                             LPCWSTR pinName, const GUID& category, bool is625, LONG frameBytes)
    : CBaseOutputPin(objectName, filter, lock, phr, pinName),
      category_(category),
      is625_(is625),
      frameBytes_(frameBytes) {}

HRESULT DeckOutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IKsPropertySet) return GetInterface(static_cast<IKsPropertySet*>(this), ppv);
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT DeckOutputPin::GetMediaType(int position, CMediaType* mt) {
    if (!mt) return E_POINTER;
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    *mt = CMediaType(&MEDIATYPE_Interleaved);
    mt->SetSubtype(&MEDIASUBTYPE_dvsd);
    mt->SetFormatType(&FORMAT_DvInfo);
    mt->SetSampleSize(static_cast<ULONG>(frameBytes_));
    mt->SetTemporalCompression(FALSE);
    const DVINFO& info = is625_ ? kDvInfo625 : kDvInfo525;
    if (!mt->SetFormat(reinterpret_cast<const BYTE*>(&info), sizeof info)) return E_OUTOFMEMORY;
    return S_OK;
}

HRESULT DeckOutputPin::CheckMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    CMediaType mine;
    if (const HRESULT hr = GetMediaType(0, &mine); FAILED(hr)) return hr;
    return mt->majortype == mine.majortype && mt->subtype == mine.subtype && mt->formattype == mine.formattype &&
                   mt->cbFormat == mine.cbFormat && std::memcmp(mt->pbFormat, mine.pbFormat, mine.cbFormat) == 0
               ? S_OK
               : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT DeckOutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    if (!allocator || !props) return E_POINTER;
    ALLOCATOR_PROPERTIES wanted = *props;
    if (wanted.cBuffers < kBuffers) wanted.cBuffers = kBuffers;
    if (wanted.cbBuffer < frameBytes_) wanted.cbBuffer = frameBytes_;
    if (wanted.cbAlign < 1) wanted.cbAlign = 1;
    ALLOCATOR_PROPERTIES actual{};
    if (const HRESULT hr = allocator->SetProperties(&wanted, &actual); FAILED(hr)) return hr;
    return actual.cbBuffer < frameBytes_ ? E_FAIL : S_OK;
}

HRESULT DeckOutputPin::Set(REFGUID, DWORD, void*, DWORD, void*, DWORD) { return E_NOTIMPL; }

HRESULT DeckOutputPin::Get(REFGUID propSet, DWORD id, void*, DWORD, void* propertyData, DWORD dataLength,
                           DWORD* bytesReturned) {
    if (propSet != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (bytesReturned) *bytesReturned = sizeof(GUID);
    if (!propertyData) return bytesReturned ? S_OK : E_POINTER;
    if (dataLength < sizeof(GUID)) return E_UNEXPECTED;
    std::memcpy(propertyData, &category_, sizeof(GUID));
    return S_OK;
}

HRESULT DeckOutputPin::QuerySupported(REFGUID propSet, DWORD id, DWORD* typeSupport) {
    if (propSet != AMPROPSETID_Pin) return E_PROP_SET_UNSUPPORTED;
    if (id != AMPROPERTY_PIN_CATEGORY) return E_PROP_ID_UNSUPPORTED;
    if (typeSupport) *typeSupport = KSPROPERTY_SUPPORT_GET;
    return S_OK;
}

bool DeckOutputPin::WantsSample(IMediaSample*) { return true; }

bool DeckOutputPin::DeliverFrame(std::span<const std::uint8_t> frame, REFERENCE_TIME start, REFERENCE_TIME stop,
                                 bool discontinuity) {
    if (!IsConnected()) return true;
    ComPtr<IMediaSample> sample;
    const DWORD flags = WaitsForBuffer() ? 0 : AM_GBF_NOWAIT;
    if (FAILED(GetDeliveryBuffer(sample.GetAddressOf(), nullptr, nullptr, flags))) return false;
    BYTE* buffer = nullptr;
    if (FAILED(sample->GetPointer(&buffer)) || sample->GetSize() < static_cast<LONG>(frame.size())) return false;
    std::memcpy(buffer, frame.data(), frame.size());
    sample->SetActualDataLength(static_cast<LONG>(frame.size()));
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetDiscontinuity(discontinuity ? TRUE : FALSE);
    if (!WantsSample(sample.Get())) return true;
    return Send(sample.Get());
}

bool DeckOutputPin::Send(IMediaSample* sample) { return Deliver(sample) == S_OK; }
