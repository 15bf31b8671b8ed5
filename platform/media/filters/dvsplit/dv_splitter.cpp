#include "platform/media/filters/dvsplit/dv_splitter.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/media/base/pospassthru.h"
#include "platform/media/evcode.h"
#include "platform/media/filters/avi/avi_layout.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace {

constexpr DWORD kLargestAudioSample = 1944 * 4;  // most sample frames a DV frame holds, stereo 16-bit

const REGPINTYPES kInterleavedDv = {&MEDIATYPE_Interleaved, &MEDIASUBTYPE_dvsd};
const REGPINTYPES kDvVideo = {&MEDIATYPE_Video, &MEDIASUBTYPE_dvsd};
const REGPINTYPES kPcm = {&MEDIATYPE_Audio, &MEDIASUBTYPE_PCM};
const AMOVIESETUP_PIN kPins[] = {
    {u"Input", FALSE, FALSE, FALSE, FALSE, nullptr, nullptr, 1, &kInterleavedDv},
    {u"DVVidOut0", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kDvVideo},
    {u"AudOut00", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kPcm},
};

}  // namespace

const AMOVIESETUP_FILTER kDvSplitterSetup = {&CLSID_DVSplitter, u"DV Splitter", MERIT_NORMAL, 3, kPins};

CMediaType DvPcmType(DWORD rate) {
    CMediaType type(&MEDIATYPE_Audio);
    type.SetSubtype(&MEDIASUBTYPE_PCM);
    type.SetFormatType(&FORMAT_WaveFormatEx);
    type.SetSampleSize(4);
    const WAVEFORMATEX wave{WAVE_FORMAT_PCM, 2, rate, rate * 4, 4, 16, 0};
    type.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof wave);
    return type;
}

CMediaType DvVideoType(const DvSystem& system) {
    CMediaType type(&MEDIATYPE_Video);
    type.SetSubtype(&MEDIASUBTYPE_dvsd);
    type.SetFormatType(&FORMAT_VideoInfo);
    type.SetSampleSize(system.frameBytes);
    VIDEOINFOHEADER video{};
    video.AvgTimePerFrame = REFERENCE_TIME(system.microsecondsPerFrame) * 10;
    video.dwBitRate = system.frameBytes * 8 * system.rate / system.scale;
    video.bmiHeader = {sizeof(BITMAPINFOHEADER), system.width, system.height, 1, 24, avi::kHandlerDvsd,
                       system.frameBytes, 0, 0, 0, 0};
    type.SetFormat(reinterpret_cast<const BYTE*>(&video), sizeof video);
    return type;
}

CUnknown* CDvSplitter::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* splitter = new CDvSplitter(outer, phr);
    if (FAILED(*phr)) {
        delete splitter;
        return nullptr;
    }
    return splitter;
}

CDvSplitter::CDvSplitter(IUnknown* outer, HRESULT* phr)
    : CBaseFilter("DV Splitter", outer, &filterLock_, CLSID_DVSplitter, phr),
      input_(std::make_unique<InputPin>(this, &filterLock_, phr)),
      video_(std::make_unique<OutputPin>(this, false, &filterLock_, phr)),
      audio_(std::make_unique<OutputPin>(this, true, &filterLock_, phr)) {}

CBasePin* CDvSplitter::GetPin(int n) {
    switch (n) {
    case 0: return input_.get();
    case 1: return video_.get();
    case 2: return audio_.get();
    default: return nullptr;
    }
}

const DvSystem& CDvSplitter::InputSystem() const {
    // DVINFO's VAUX source pack: PC3 bit 5 is the 50/60 flag (IEC 61834-4).
    const CMediaType& in = input_->CurrentMediaType();
    if (in.formattype == FORMAT_DvInfo && in.cbFormat >= sizeof(DVINFO)) {
        DVINFO info;
        std::memcpy(&info, in.pbFormat, sizeof info);
        if (info.dwDVVAuxSrc != 0) return DvSystemFor((info.dwDVVAuxSrc >> 21) & 1);
    }
    return DvSystemFor(in.lSampleSize != kDvSystem525.frameBytes);
}

DWORD CDvSplitter::InputAudioRate() const {
    // DVINFO's AAUX source pack: PC4 bits 5-3 are the sampling frequency.
    const CMediaType& in = input_->CurrentMediaType();
    if (in.formattype == FORMAT_DvInfo && in.cbFormat >= sizeof(DVINFO)) {
        DVINFO info;
        std::memcpy(&info, in.pbFormat, sizeof info);
        const DWORD smp = (info.dwDVAAuxSrc >> 27) & 7;
        constexpr DWORD kRates[] = {48000, 44100, 32000};
        if (info.dwDVAAuxSrc != 0 && smp < 3) return kRates[smp];
    }
    return 48000;
}

HRESULT CDvSplitter::Pause() {
    CAutoLock lock(m_pLock);
    if (m_State == State_Stopped) audioRate_ = 0;
    return CBaseFilter::Pause();
}

HRESULT CDvSplitter::Split(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return E_POINTER;
    const std::span<const BYTE> frame(data, std::size_t(std::max<LONG>(sample->GetActualDataLength(), 0)));
    // A damaged or short frame is dropped; the stream goes on with the next.
    if (!DvSystemOfFrame(frame)) return S_OK;
    HRESULT hr = DeliverVideo(sample, frame);
    if (hr == S_OK) hr = DeliverAudio(sample, frame);
    return hr;
}

HRESULT CDvSplitter::DeliverVideo(IMediaSample* in, std::span<const BYTE> frame) {
    if (!video_->IsConnected()) return S_OK;
    ComPtr<IMediaSample> out;
    HRESULT hr = video_->GetDeliveryBuffer(out.GetAddressOf(), nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    BYTE* data = nullptr;
    out->GetPointer(&data);
    const DvSystem& system = *DvSystemOfFrame(frame);
    if (out->GetSize() < LONG(system.frameBytes)) return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(data, frame.data(), system.frameBytes);
    out->SetActualDataLength(LONG(system.frameBytes));
    REFERENCE_TIME start = 0, end = 0;
    if (SUCCEEDED(in->GetTime(&start, &end))) out->SetTime(&start, &end);
    out->SetSyncPoint(TRUE);
    out->SetDiscontinuity(in->IsDiscontinuity() == S_OK);
    return video_->Deliver(out.Get());
}

HRESULT CDvSplitter::DeliverAudio(IMediaSample* in, std::span<const BYTE> frame) {
    if (!audio_->IsConnected()) return S_OK;
    std::vector<BYTE> pcm;
    DvAudioFormat format;
    const bool hasAudio = ExtractDvAudio(frame, pcm, &format) == S_OK;
    ComPtr<IMediaSample> out;
    HRESULT hr = audio_->GetDeliveryBuffer(out.GetAddressOf(), nullptr, nullptr, 0);
    if (FAILED(hr)) return hr;
    if (out->GetSize() < LONG(pcm.size())) return VFW_E_BUFFER_OVERFLOW;
    if (audioRate_ == 0) {
        // The rate the connection was made with: the upstream format block
        // may name another rate than the frames carry.
        const CMediaType& connected = audio_->CurrentMediaType();
        if (connected.pbFormat && connected.cbFormat >= sizeof(WAVEFORMATEX))
            audioRate_ = reinterpret_cast<const WAVEFORMATEX*>(connected.pbFormat)->nSamplesPerSec;
    }
    if (hasAudio && format.samplesPerSecond != audioRate_) {
        // The frames' rate differs from the type downstream holds (the
        // connection's, or a tape recorded at 32 kHz after 48 kHz): say so
        // on this sample, before the first sound of the new rate.
        CMediaType changed = DvPcmType(format.samplesPerSecond);
        out->SetMediaType(&changed);
        audioRate_ = format.samplesPerSecond;
    }
    BYTE* data = nullptr;
    out->GetPointer(&data);
    if (!pcm.empty()) std::memcpy(data, pcm.data(), pcm.size());
    out->SetActualDataLength(LONG(pcm.size()));
    REFERENCE_TIME start = 0, end = 0;
    if (SUCCEEDED(in->GetTime(&start, &end))) out->SetTime(&start, &end);
    out->SetSyncPoint(TRUE);
    return audio_->Deliver(out.Get());
}

// ---- Pins ----------------------------------------------------------------

CDvSplitter::InputPin::InputPin(CDvSplitter* splitter, CCritSec* lock, HRESULT* phr)
    : CBaseInputPin("DV Splitter Input", splitter, lock, phr, u"Input"), splitter_(splitter) {}

HRESULT CDvSplitter::InputPin::CheckMediaType(const CMediaType* mt) {
    return mt->majortype == MEDIATYPE_Interleaved && mt->subtype == MEDIASUBTYPE_dvsd ? S_OK
                                                                                      : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDvSplitter::InputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return splitter_->Split(sample);
}

HRESULT CDvSplitter::InputPin::EndOfStream() {
    const HRESULT hr = CBaseInputPin::EndOfStream();
    if (hr != S_OK) return hr;
    if (splitter_->video_->IsConnected()) splitter_->video_->DeliverEndOfStream();
    if (splitter_->audio_->IsConnected()) splitter_->audio_->DeliverEndOfStream();
    return S_OK;
}

HRESULT CDvSplitter::InputPin::BeginFlush() {
    CAutoLock lock(m_pLock);
    CBaseInputPin::BeginFlush();
    if (splitter_->video_->IsConnected()) splitter_->video_->DeliverBeginFlush();
    if (splitter_->audio_->IsConnected()) splitter_->audio_->DeliverBeginFlush();
    return S_OK;
}

HRESULT CDvSplitter::InputPin::EndFlush() {
    CAutoLock lock(m_pLock);
    if (splitter_->video_->IsConnected()) splitter_->video_->DeliverEndFlush();
    if (splitter_->audio_->IsConnected()) splitter_->audio_->DeliverEndFlush();
    return CBaseInputPin::EndFlush();
}

HRESULT CDvSplitter::InputPin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    CBasePin::NewSegment(start, stop, rate);
    if (splitter_->video_->IsConnected()) splitter_->video_->DeliverNewSegment(start, stop, rate);
    if (splitter_->audio_->IsConnected()) splitter_->audio_->DeliverNewSegment(start, stop, rate);
    return S_OK;
}

CDvSplitter::OutputPin::OutputPin(CDvSplitter* splitter, bool audio, CCritSec* lock, HRESULT* phr)
    : CBaseOutputPin("DV Splitter Output", splitter, lock, phr, audio ? u"AudOut00" : u"DVVidOut0"),
      splitter_(splitter),
      audio_(audio) {}

CDvSplitter::OutputPin::~OutputPin() { delivery_.Stop(); }

HRESULT CDvSplitter::OutputPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMediaSeeking) {
        CAutoLock lock(m_pLock);
        if (!position_) {
            HRESULT hr = S_OK;
            position_ = std::make_unique<CPosPassThru>("DV Splitter seeking", GetOwner(), &hr, splitter_->input_.get());
        }
        return position_->NonDelegatingQueryInterface(riid, ppv);
    }
    return CBaseOutputPin::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CDvSplitter::OutputPin::Active() {
    const HRESULT hr = CBaseOutputPin::Active();
    if (SUCCEEDED(hr)) delivery_.Start();
    return hr;
}

HRESULT CDvSplitter::OutputPin::Inactive() {
    delivery_.Stop();
    return CBaseOutputPin::Inactive();
}

HRESULT CDvSplitter::OutputPin::Deliver(IMediaSample* sample) { return delivery_.Receive(sample); }

HRESULT CDvSplitter::OutputPin::DeliverEndOfStream() {
    delivery_.EndOfStream();
    return S_OK;
}

HRESULT CDvSplitter::OutputPin::DeliverBeginFlush() {
    delivery_.BeginFlush();
    return S_OK;
}

HRESULT CDvSplitter::OutputPin::DeliverEndFlush() {
    delivery_.EndFlush();
    return S_OK;
}

HRESULT CDvSplitter::OutputPin::DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    delivery_.NewSegment(start, stop, rate);
    return S_OK;
}

HRESULT CDvSplitter::OutputPin::CheckMediaType(const CMediaType* mt) {
    if (!splitter_->input_->IsConnected()) return VFW_E_NOT_CONNECTED;
    if (audio_) return mt->majortype == MEDIATYPE_Audio && mt->subtype == MEDIASUBTYPE_PCM ? S_OK
                                                                                           : VFW_E_TYPE_NOT_ACCEPTED;
    return mt->majortype == MEDIATYPE_Video && mt->subtype == MEDIASUBTYPE_dvsd ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CDvSplitter::OutputPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    if (!splitter_->input_->IsConnected()) return VFW_E_NOT_CONNECTED;
    *mt = audio_ ? DvPcmType(splitter_->InputAudioRate()) : DvVideoType(splitter_->InputSystem());
    return S_OK;
}

HRESULT CDvSplitter::OutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    props->cBuffers = std::max<LONG>(props->cBuffers, 4);
    props->cbBuffer = std::max<LONG>(props->cbBuffer, LONG(audio_ ? kLargestAudioSample : kDvSystem625.frameBytes));
    ALLOCATOR_PROPERTIES actual{};
    const HRESULT hr = allocator->SetProperties(props, &actual);
    if (FAILED(hr)) return hr;
    return actual.cbBuffer < props->cbBuffer ? E_FAIL : S_OK;
}
