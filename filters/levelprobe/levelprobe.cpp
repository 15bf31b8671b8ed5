#include "filters/levelprobe/levelprobe.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <limits>
#include <new>

#include "platform/media/base/basepin.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace {

constexpr char kFilterName[] = "Tarvik Sound Meter";
// Buffers passed unmeasured between two measurements: the meter is read on
// a timer, so one buffer in nine follows the sound closely enough.
constexpr int kBuffersSkipped = 8;
// The smallest buffer this filter asks for when it supplies the allocator.
constexpr LONG kMinBufferBytes = 32000;
// WAVEFORMATEX up to wBitsPerSample (PCMWAVEFORMAT): all the check reads.
constexpr ULONG kPcmFormatBytes = offsetof(WAVEFORMATEX, cbSize);

}  // namespace

CUnknown* LevelProbeFilter::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* filter = new (std::nothrow) LevelProbeFilter(outer, phr);
    if (!filter && phr) *phr = E_OUTOFMEMORY;
    return filter;
}

LevelProbeFilter::LevelProbeFilter(IUnknown* outer, HRESULT* phr)
    : CTransInPlaceFilter(kFilterName, outer, CLSID_LevelProbe, phr, false), countdown_(kBuffersSkipped) {}

HRESULT LevelProbeFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_ILevelProbe) return GetInterface(static_cast<ILevelProbe*>(this), ppv);
    return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT LevelProbeFilter::GetLevels(double* first, double* second) {
    if (!first || !second) return E_POINTER;
    std::scoped_lock lock(levelLock_);
    *first = levels_.first;
    *second = levels_.second;
    return S_OK;
}

HRESULT LevelProbeFilter::CheckInputType(const CMediaType* mt) {
    if (!mt || *mt->Type() != MEDIATYPE_Audio) return VFW_E_TYPE_NOT_ACCEPTED;
    if (*mt->FormatType() == GUID_NULL) return S_OK;
    if (*mt->FormatType() != FORMAT_WaveFormatEx || !mt->Format() || mt->FormatLength() < kPcmFormatBytes)
        return VFW_E_TYPE_NOT_ACCEPTED;

    WAVEFORMATEX wave{};
    std::memcpy(&wave, mt->Format(), kPcmFormatBytes);
    if (wave.wFormatTag != WAVE_FORMAT_PCM || (wave.wBitsPerSample != 8 && wave.wBitsPerSample != 16))
        return VFW_E_TYPE_NOT_ACCEPTED;

    std::scoped_lock lock(levelLock_);
    format_ = {wave.wBitsPerSample / 8, int{wave.nChannels}};
    return S_OK;
}

HRESULT LevelProbeFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
    if (!allocator || !request) return E_POINTER;
    // GetPin rather than m_pInput: the base makes the pins on first use.
    CBasePin* input = GetPin(0);
    if (!input || !input->IsConnected()) return E_UNEXPECTED;

    const ULONG sampleSize = input->CurrentMediaType().GetSampleSize();
    request->cBuffers = 1;
    request->cbBuffer = static_cast<LONG>(
        std::clamp<ULONG>(sampleSize, kMinBufferBytes, std::numeric_limits<LONG>::max()));

    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(request, &actual);
    if (FAILED(hr)) return hr;
    if (actual.cBuffers < request->cBuffers || actual.cbBuffer < request->cbBuffer) return E_FAIL;
    return S_OK;
}

HRESULT LevelProbeFilter::Transform(IMediaSample* sample) {
    if (!sample) return S_OK;
    // A discontinuity starts a new stretch of sound: show it at once.
    if (sample->IsDiscontinuity() == S_OK) countdown_ = 0;
    if (countdown_ > 0) {
        --countdown_;
        return S_OK;
    }
    countdown_ = kBuffersSkipped;

    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data))) data = nullptr;
    // Never trust the data length beyond the buffer it describes.
    const LONG length = std::min(sample->GetActualDataLength(), sample->GetSize());

    std::scoped_lock lock(levelLock_);
    levels_ = MeasurePeakLevels(data, length, format_);
    return S_OK;
}
