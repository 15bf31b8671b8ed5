#pragma once
// CAviMux (CLSID_AviDest): multiplexes DV into an AVI file through the
// AviWriter. Input 0 takes DV video (MEDIATYPE_Video, dvsd: type 2) or
// interleaved DV (MEDIATYPE_Interleaved, dvsd: type 1); input 1 takes PCM
// audio for type 2; output 0 feeds the file writer (MEDIATYPE_Stream, Avi),
// from which the file comes (IKvFileSink) when the first frame arrives.
//
// The k-th audio sample goes into the file with the k-th video frame, as the
// DV splitter delivers them. Stopping the filter writes what is pending and
// closes the file with its indexes. A write that fails (a full disk) is
// reported with EC_ERRORABORT and refuses the rest of the run; every frame
// written before it stays readable.
#include <deque>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/media/base/basefilter.h"
#include "platform/media/base/inputpin.h"
#include "platform/media/base/outputpin.h"
#include "platform/media/filters/avi/avi_writer.h"

class CAviMux : public CBaseFilter {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    // Pins: 0 "Input 00" (video), 1 "Input 01" (audio), 2 "AVI Out".
    CBasePin* GetPin(int n) override;
    int GetPinCount() override { return 3; }
    HRESULT Stop() override;

private:
    CAviMux(IUnknown* outer, HRESULT* phr);

    class InputPin : public CBaseInputPin {
    public:
        InputPin(CAviMux* mux, int index, CCritSec* lock, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* mt) override;
        HRESULT Receive(IMediaSample* sample) override;
        HRESULT EndOfStream() override;
        bool AtEndOfStream() const { return m_bAtEndOfStream; }

    private:
        CAviMux* const mux_;
        const int index_;
    };
    class OutputPin : public CBaseOutputPin {
    public:
        OutputPin(CAviMux* mux, CCritSec* lock, HRESULT* phr);
        HRESULT CheckMediaType(const CMediaType* mt) override;
        HRESULT GetMediaType(int position, CMediaType* mt) override;
        HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* props) override;
    };

    // Streaming threads: one sample of input `index`, or the end of one input.
    HRESULT Receive(int index, IMediaSample* sample);
    void InputEnded();
    // writeLock_ held: writes the frames whose audio is there (all, when draining).
    HRESULT WritePending(bool drain);
    HRESULT WriteFrame(const std::vector<BYTE>& frame, const std::vector<BYTE>& pcm);
    HRESULT OpenWriter(const std::vector<BYTE>& firstFrame);
    DvAviFormat FormatFor(const DvSystem& system) const;

    CCritSec filterLock_;
    std::unique_ptr<InputPin> inputs_[2];
    std::unique_ptr<OutputPin> output_;
    std::mutex writeLock_;  // taken after filterLock_ when both are held
    // Guarded by writeLock_:
    AviWriter writer_;
    WORD blockAlign_ = 0;                  // of the file's audio stream; 0 without one
    std::deque<std::vector<BYTE>> video_;  // frames waiting for their audio
    std::deque<std::vector<BYTE>> audio_;  // audio waiting for its frame
    HRESULT failure_ = S_OK;               // the write error that ended this run
};
