#include "platform/media/renderers/sound_renderer.h"

#include "platform/media/renderers/audio_volume.h"
#include "platform/media/uuids.h"

namespace {
const WAVEFORMATEX* AcceptedFormat(const CMediaType& mt) {
    if (mt.majortype != MEDIATYPE_Audio || mt.subtype != MEDIASUBTYPE_PCM || mt.formattype != FORMAT_WaveFormatEx ||
        !mt.Format() || mt.FormatLength() < sizeof(WAVEFORMATEX))
        return nullptr;
    const auto* format = reinterpret_cast<const WAVEFORMATEX*>(mt.Format());
    const bool fits = format->wFormatTag == WAVE_FORMAT_PCM &&
                      (format->wBitsPerSample == 8 || format->wBitsPerSample == 16) && format->nChannels >= 1 &&
                      format->nChannels <= 8 && format->nSamplesPerSec >= 1000 && format->nSamplesPerSec <= 192000 &&
                      format->nBlockAlign == format->nChannels * format->wBitsPerSample / 8 &&
                      format->nAvgBytesPerSec == format->nSamplesPerSec * format->nBlockAlign;
    return fits ? format : nullptr;
}
}  // namespace

CUnknown* CSoundRenderer::CreateInstance(IUnknown* outer, HRESULT* phr) {
    auto* renderer = new CSoundRenderer(outer, phr);
    if (FAILED(*phr)) {
        delete renderer;
        return nullptr;
    }
    return renderer;
}

CSoundRenderer::CSoundRenderer(IUnknown* outer, HRESULT* phr)
    : CBaseRenderer(CLSID_DSoundRender, "Sound Renderer", outer, phr) {}

HRESULT CSoundRenderer::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (!ppv) return E_POINTER;
    if (riid == IID_IBasicAudio) return GetInterface(static_cast<IBasicAudio*>(this), ppv);
    return CBaseRenderer::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CSoundRenderer::CheckMediaType(const CMediaType* mt) {
    return mt && AcceptedFormat(*mt) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT CSoundRenderer::SetMediaType(const CMediaType* mt) {
    const WAVEFORMATEX* format = mt ? AcceptedFormat(*mt) : nullptr;
    if (!format) return VFW_E_TYPE_NOT_ACCEPTED;
    std::shared_ptr<AudioOutput> old;
    {
        std::scoped_lock lock(outputLock_);
        format_ = *format;
        // Sound in the old format is not played in the new one.
        old = std::move(output_);
    }
    if (old) old->Abort();
    return S_OK;
}

std::shared_ptr<AudioOutput> CSoundRenderer::CurrentOutput() {
    std::scoped_lock lock(outputLock_);
    if (!output_ && streaming_ && format_.nAvgBytesPerSec != 0) {
        output_ = outputs_.Make(format_);
        output_->SetVolume(LinearVolume(volume_));
        if (paused_) output_->SetPaused(true);
    }
    return output_;
}

void CSoundRenderer::AbortOutput() {
    std::shared_ptr<AudioOutput> output;
    {
        std::scoped_lock lock(outputLock_);
        output = std::move(output_);
    }
    if (output) output->Abort();
}

HRESULT CSoundRenderer::DoRenderSample(IMediaSample* sample) {
    BYTE* data = nullptr;
    if (FAILED(sample->GetPointer(&data)) || !data) return S_OK;
    const LONG length = sample->GetActualDataLength();
    if (length <= 0) return S_OK;
    if (const std::shared_ptr<AudioOutput> output = CurrentOutput())
        output->Write(data, static_cast<std::size_t>(length));
    return S_OK;
}

HRESULT CSoundRenderer::OnStartStreaming() {
    AudioOutputFactory outputs = AudioOutputFactory::ForDefaultDevice();
    std::scoped_lock lock(outputLock_);
    outputs_ = std::move(outputs);
    streaming_ = true;
    return S_OK;
}

HRESULT CSoundRenderer::OnStopStreaming() {
    {
        std::scoped_lock lock(outputLock_);
        streaming_ = false;
    }
    AbortOutput();
    return S_OK;
}

void CSoundRenderer::SetOutputPaused(bool paused) {
    std::scoped_lock lock(outputLock_);
    paused_ = paused;
    if (output_) output_->SetPaused(paused);
}

HRESULT CSoundRenderer::Pause() {
    SetOutputPaused(true);
    return CBaseRenderer::Pause();
}

HRESULT CSoundRenderer::Run(REFERENCE_TIME start) {
    const HRESULT hr = CBaseRenderer::Run(start);
    if (SUCCEEDED(hr)) SetOutputPaused(false);
    return hr;
}

HRESULT CSoundRenderer::EndOfStream() {
    std::shared_ptr<AudioOutput> output;
    {
        std::scoped_lock lock(outputLock_);
        output = output_;
    }
    if (output) output->Drain();
    return CBaseRenderer::EndOfStream();
}

HRESULT CSoundRenderer::BeginFlush() {
    AbortOutput();
    return CBaseRenderer::BeginFlush();
}

HRESULT CSoundRenderer::put_Volume(LONG volume) {
    if (volume < kVolumeSilence || volume > kVolumeFull) return E_INVALIDARG;
    volume_ = volume;
    std::scoped_lock lock(outputLock_);
    if (output_) output_->SetVolume(LinearVolume(volume));
    return S_OK;
}

HRESULT CSoundRenderer::get_Volume(LONG* volume) {
    if (!volume) return E_POINTER;
    *volume = volume_;
    return S_OK;
}

HRESULT CSoundRenderer::put_Balance(LONG balance) {
    if (balance < kBalanceLeft || balance > kBalanceRight) return E_INVALIDARG;
    balance_ = balance;
    return S_OK;
}

HRESULT CSoundRenderer::get_Balance(LONG* balance) {
    if (!balance) return E_POINTER;
    *balance = balance_;
    return S_OK;
}
