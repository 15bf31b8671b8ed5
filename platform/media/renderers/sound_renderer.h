#pragma once
// CSoundRenderer (CLSID_DSoundRender): plays PCM (8- or 16-bit,
// FORMAT_WaveFormatEx) through the machine's sound device, or through a
// clocked silent output where there is none (SilentAudioOutput), so graphs
// run at the same pace either way. The base class hands each sample over at
// its time on the graph clock; the output then paces the streaming thread.
// The end of stream is reported once the last sound has been played. Stop
// and flush abort the output, so nothing waits for sound to finish.
//
// IBasicAudio: volume in hundredths of a decibel (0 .. -10000, -10000 is
// silence), balance -10000 .. 10000 (kept, not applied).
#include <atomic>
#include <memory>
#include <mutex>

#include "platform/media/base/baserenderer.h"
#include "platform/media/control.h"
#include "platform/media/formats.h"
#include "platform/media/renderers/audio_output_factory.h"

class CSoundRenderer : public CBaseRenderer, public DispatchNotImplemented<IBasicAudio> {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT CheckMediaType(const CMediaType* mt) override;
    HRESULT SetMediaType(const CMediaType* mt) override;
    HRESULT DoRenderSample(IMediaSample* sample) override;
    HRESULT OnStartStreaming() override;
    HRESULT OnStopStreaming() override;
    // The output falls silent at once on a pause and plays on when the graph runs.
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT EndOfStream() override;
    HRESULT BeginFlush() override;

    // ---- IBasicAudio: E_INVALIDARG outside the ranges above ----
    HRESULT put_Volume(LONG volume) override;
    HRESULT get_Volume(LONG* volume) override;
    HRESULT put_Balance(LONG balance) override;
    HRESULT get_Balance(LONG* balance) override;

private:
    CSoundRenderer(IUnknown* outer, HRESULT* phr);
    // Streaming thread: the output for the current format, made on first use
    // and made anew after a format change; null while not streaming.
    std::shared_ptr<AudioOutput> CurrentOutput();
    // Releases whoever waits on the output and drops it.
    void AbortOutput();
    void SetOutputPaused(bool paused);

    std::atomic<LONG> volume_{0};
    std::atomic<LONG> balance_{0};

    std::mutex outputLock_;
    WAVEFORMATEX format_{};                // guarded by outputLock_; the agreed format
    AudioOutputFactory outputs_;           // guarded by outputLock_; chosen when streaming starts
    std::shared_ptr<AudioOutput> output_;  // guarded by outputLock_; shared with a blocked writer
    bool streaming_ = false;               // guarded by outputLock_
    bool paused_ = true;                   // guarded by outputLock_; the filter is not running
};
