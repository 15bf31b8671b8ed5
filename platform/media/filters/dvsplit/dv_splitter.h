#pragma once
// CDvSplitter (CLSID_DVSplitter): splits interleaved DV (MEDIATYPE_Interleaved,
// dvsd) into output 0 "DVVidOut0", each whole frame as DV video (dvsd,
// FORMAT_VideoInfo), and output 1 "AudOut00", the first channel pair's audio
// de-shuffled from the frame's audio DIF blocks as 16-bit stereo PCM.
//
// Every frame gives one audio sample, empty when the frame carries no audio,
// so downstream the k-th audio sample belongs to the k-th frame. When the
// audio's rate changes mid-stream the new type travels on the first sample
// in it (IMediaSample::SetMediaType).
//
// Each output delivers on a thread of its own (DeliveryThread), so a paused
// renderer holding the video does not keep the sound from its renderer, and
// both outputs seek by passing the request upstream.
#include <memory>

#include "platform/media/base/basefilter.h"
#include "platform/media/base/deliverythread.h"
#include "platform/media/base/inputpin.h"
#include "platform/media/base/outputpin.h"
#include "platform/media/filters/dv/dv_system.h"

class CPosPassThru;

class CDvSplitter : public CBaseFilter {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    // Pins: 0 "Input", 1 "DVVidOut0", 2 "AudOut00".
    CBasePin* GetPin(int n) override;
    int GetPinCount() override { return 3; }
    // Each run starts from the audio type the connection holds.
    HRESULT Pause() override;

private:
    CDvSplitter(IUnknown* outer, HRESULT* phr);

    class InputPin : public CBaseInputPin {
    public:
        InputPin(CDvSplitter* splitter, CCritSec* lock, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* mt) override;
        HRESULT Receive(IMediaSample* sample) override;
        HRESULT EndOfStream() override;
        HRESULT BeginFlush() override;
        HRESULT EndFlush() override;
        HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    private:
        CDvSplitter* const splitter_;
    };
    class OutputPin : public CBaseOutputPin {
    public:
        OutputPin(CDvSplitter* splitter, bool audio, CCritSec* lock, HRESULT* phr);
        ~OutputPin() override;
        HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
        HRESULT CheckMediaType(const CMediaType* mt) override;
        HRESULT GetMediaType(int position, CMediaType* mt) override;
        HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
        HRESULT Active() override;
        HRESULT Inactive() override;
        // Through the delivery thread.
        HRESULT Deliver(IMediaSample* sample) override;
        HRESULT DeliverEndOfStream() override;
        HRESULT DeliverBeginFlush() override;
        HRESULT DeliverEndFlush() override;
        HRESULT DeliverNewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    private:
        CDvSplitter* const splitter_;
        const bool audio_;
        DeliveryThread delivery_{this};
        std::unique_ptr<CPosPassThru> position_;  // made on the first IMediaSeeking query, under the filter lock
    };

    // Streaming thread: one interleaved frame.
    HRESULT Split(IMediaSample* sample);
    HRESULT DeliverVideo(IMediaSample* in, std::span<const BYTE> frame);
    HRESULT DeliverAudio(IMediaSample* in, std::span<const BYTE> frame);
    // The system and audio rate the input announces in its DVINFO, for the output types.
    const DvSystem& InputSystem() const;
    DWORD InputAudioRate() const;

    CCritSec filterLock_;
    std::unique_ptr<InputPin> input_;
    std::unique_ptr<OutputPin> video_;
    std::unique_ptr<OutputPin> audio_;
    DWORD audioRate_ = 0;  // streaming thread: the rate of the audio type downstream holds
};

// The PCM type of DV audio at `rate`: stereo, 16-bit.
CMediaType DvPcmType(DWORD rate);
// The DV video type of `system`: dvsd in a VIDEOINFOHEADER.
CMediaType DvVideoType(const DvSystem& system);

// Registration data: name, merit (MERIT_NORMAL, so intelligent connect uses it), pins and types.
extern const AMOVIESETUP_FILTER kDvSplitterSetup;
