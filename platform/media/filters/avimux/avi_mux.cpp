#include "platform/media/filters/avimux/avi_mux.h"

#include <cstring>

#include "platform/com/com_ptr.h"
#include "platform/media/evcode.h"
#include "platform/media/filters/filewriter/file_sink.h"
#include "platform/media/uuids.h"

namespace {

// Frames (or audio samples) one input may run ahead of the other before the
// frames go into the file without audio, so a stalled audio stream costs no video.
constexpr std::size_t kMaxWaiting = 25;

std::vector<BYTE> SampleBytes(IMediaSample* sample) {
    BYTE* data = nullptr;
    const LONG length = sample->GetActualDataLength();
    if (FAILED(sample->GetPointer(&data)) || !data || length <= 0) return {};
    return {data, data + length};
}

}  // namespace

CUnknown* CAviMux::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* mux = new CAviMux(outer, phr);
    if (FAILED(*phr)) {
        delete mux;
        return nullptr;
    }
    return mux;
}

CAviMux::CAviMux(IUnknown* outer, HRESULT* phr) : CBaseFilter("AVI Mux", outer, &filterLock_, CLSID_AviDest, phr) {
    inputs_[0] = std::make_unique<InputPin>(this, 0, &filterLock_, phr);
    inputs_[1] = std::make_unique<InputPin>(this, 1, &filterLock_, phr);
    output_ = std::make_unique<OutputPin>(this, &filterLock_, phr);
}

CBasePin* CAviMux::GetPin(int n) {
    if (n == 0 || n == 1) return inputs_[n].get();
    return n == 2 ? output_.get() : nullptr;
}

HRESULT CAviMux::Stop() {
    CAutoLock lock(&filterLock_);
    const HRESULT hr = CBaseFilter::Stop();
    std::scoped_lock write(writeLock_);
    if (SUCCEEDED(failure_)) WritePending(true);
    if (writer_.IsOpen()) {
        const HRESULT closed = writer_.Close();
        if (FAILED(closed)) NotifyEvent(EC_ERRORABORT, closed, 0);
    }
    video_.clear();
    audio_.clear();
    failure_ = S_OK;
    return hr;
}

HRESULT CAviMux::Receive(int index, IMediaSample* sample) {
    std::vector<BYTE> bytes = SampleBytes(sample);
    std::scoped_lock write(writeLock_);
    // A sample that raced a Stop finds the file closed: it must not open another.
    if (IsStopped()) return VFW_E_WRONG_STATE;
    if (FAILED(failure_)) return failure_;
    if (index == 0) {
        if (bytes.empty()) return S_OK;
        video_.push_back(std::move(bytes));
    } else {
        audio_.push_back(std::move(bytes));
        if (audio_.size() > kMaxWaiting) audio_.pop_front();
    }
    const HRESULT hr = WritePending(false);
    if (FAILED(hr)) {
        failure_ = hr;
        NotifyEvent(EC_ERRORABORT, hr, 0);
    }
    return hr;
}

void CAviMux::InputEnded() {
    for (const auto& input : inputs_)
        if (input->IsConnected() && !input->AtEndOfStream()) return;
    {
        std::scoped_lock write(writeLock_);
        if (SUCCEEDED(failure_) && FAILED(failure_ = WritePending(true))) NotifyEvent(EC_ERRORABORT, failure_, 0);
    }
    output_->DeliverEndOfStream();
}

HRESULT CAviMux::WritePending(bool drain) {
    const bool withAudio = inputs_[1]->IsConnected();
    while (!video_.empty()) {
        const bool audioDue = withAudio && audio_.empty() && !drain && video_.size() <= kMaxWaiting;
        if (audioDue) break;
        std::vector<BYTE> pcm;
        if (!audio_.empty()) {
            pcm = std::move(audio_.front());
            audio_.pop_front();
        }
        const std::vector<BYTE> frame = std::move(video_.front());
        video_.pop_front();
        if (const HRESULT hr = WriteFrame(frame, pcm); FAILED(hr)) return hr;
    }
    if (drain) audio_.clear();  // audio after the last frame has no picture to go with
    return S_OK;
}

HRESULT CAviMux::WriteFrame(const std::vector<BYTE>& frame, const std::vector<BYTE>& pcm) {
    if (!writer_.IsOpen())
        if (const HRESULT hr = OpenWriter(frame); FAILED(hr)) return hr;
    std::span<const BYTE> audio;
    if (blockAlign_ != 0) audio = std::span(pcm).first(pcm.size() - pcm.size() % blockAlign_);  // whole sample frames
    return writer_.WriteFrame(frame, audio);
}

DvAviFormat CAviMux::FormatFor(const DvSystem& system) const {
    DvAviFormat format;
    format.system = &system;
    const CMediaType& video = inputs_[0]->CurrentMediaType();
    if (video.majortype == MEDIATYPE_Interleaved) {
        format.type = DvAviType::Type1;
        if (video.formattype == FORMAT_DvInfo && video.cbFormat >= sizeof(DVINFO))
            std::memcpy(&format.dvInfo, video.pbFormat, sizeof(DVINFO));
    } else if (inputs_[1]->IsConnected()) {
        const CMediaType& audio = inputs_[1]->CurrentMediaType();
        WAVEFORMATEX wave{};
        std::memcpy(&wave, audio.pbFormat, std::min<std::size_t>(audio.cbFormat, sizeof(WAVEFORMATEX)));
        wave.cbSize = 0;
        format.audio = wave;
    }
    return format;
}

HRESULT CAviMux::OpenWriter(const std::vector<BYTE>& firstFrame) {
    const DvSystem* system = DvSystemOfFrame(firstFrame);
    if (!system) return VFW_E_INVALIDMEDIATYPE;
    IPin* peer = output_->GetConnected();
    if (!peer) return VFW_E_NOT_CONNECTED;
    PIN_INFO info{};
    if (FAILED(peer->QueryPinInfo(&info)) || !info.pFilter) return VFW_E_NO_SINK;
    ComPtr<IBaseFilter> downstream;
    downstream.Attach(info.pFilter);
    ComPtr<IKvFileSink> sink;
    if (FAILED(downstream->QueryInterface(IID_IKvFileSink, sink.GetVoidAddress()))) return VFW_E_NO_SINK;
    int descriptor = -1;
    if (const HRESULT hr = sink->CreateOutputFile(&descriptor); FAILED(hr)) return hr;
    const DvAviFormat format = FormatFor(*system);
    blockAlign_ = format.audio ? format.audio->nBlockAlign : 0;
    return writer_.Open(UniqueFd(descriptor), format);
}

// ---- Pins ----------------------------------------------------------------

CAviMux::InputPin::InputPin(CAviMux* mux, int index, CCritSec* lock, HRESULT* phr)
    : CBaseInputPin("AVI Mux Input", mux, lock, phr, index == 0 ? u"Input 00" : u"Input 01"),
      mux_(mux),
      index_(index) {}

HRESULT CAviMux::InputPin::CheckMediaType(const CMediaType* mt) {
    if (index_ == 0) {
        const bool dv = mt->subtype == MEDIASUBTYPE_dvsd;
        return dv && (mt->majortype == MEDIATYPE_Video || mt->majortype == MEDIATYPE_Interleaved)
                   ? S_OK
                   : VFW_E_TYPE_NOT_ACCEPTED;
    }
    const bool pcm = mt->majortype == MEDIATYPE_Audio && mt->subtype == MEDIASUBTYPE_PCM &&
                     mt->formattype == FORMAT_WaveFormatEx && mt->cbFormat >= 16 && mt->pbFormat;
    if (!pcm) return VFW_E_TYPE_NOT_ACCEPTED;
    WAVEFORMATEX wave{};
    std::memcpy(&wave, mt->pbFormat, 16);
    return wave.wFormatTag == WAVE_FORMAT_PCM && wave.nBlockAlign != 0 ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAviMux::InputPin::Receive(IMediaSample* sample) {
    const HRESULT hr = CBaseInputPin::Receive(sample);
    if (hr != S_OK) return hr;
    return mux_->Receive(index_, sample);
}

HRESULT CAviMux::InputPin::EndOfStream() {
    const HRESULT hr = CBaseInputPin::EndOfStream();
    if (hr != S_OK) return hr;
    mux_->InputEnded();
    return S_OK;
}

CAviMux::OutputPin::OutputPin(CAviMux* mux, CCritSec* lock, HRESULT* phr)
    : CBaseOutputPin("AVI Mux Output", mux, lock, phr, u"AVI Out") {}

HRESULT CAviMux::OutputPin::CheckMediaType(const CMediaType* mt) {
    return mt->majortype == MEDIATYPE_Stream ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CAviMux::OutputPin::GetMediaType(int position, CMediaType* mt) {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    mt->SetType(&MEDIATYPE_Stream);
    mt->SetSubtype(&MEDIASUBTYPE_Avi);
    mt->SetFormatType(&FORMAT_None);
    mt->SetSampleSize(1);
    return S_OK;
}

HRESULT CAviMux::OutputPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) {
    // The file is written through IKvFileSink; the connection carries no samples.
    props->cBuffers = std::max<LONG>(props->cBuffers, 1);
    props->cbBuffer = std::max<LONG>(props->cbBuffer, 1);
    ALLOCATOR_PROPERTIES actual{};
    return allocator->SetProperties(props, &actual);
}
