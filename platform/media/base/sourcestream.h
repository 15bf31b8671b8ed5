#pragma once
// CSourceStream: an output pin of a CSource with a worker thread that fills
// and delivers samples while the filter is paused or running.
//
// Thread and hooks: Active (filter lock held, filter leaving Stopped) starts
// the worker, which calls OnThreadCreate, then OnThreadStartPlay and loops
// GetDeliveryBuffer → FillBuffer → Deliver. FillBuffer's S_FALSE ends the
// stream (end of stream downstream); a failure reports EC_ERRORABORT with the
// code and ends the stream too. Inactive (filter lock held) decommits the
// allocator, which wakes a worker waiting for a buffer, tells the worker to
// stop and joins it; OnThreadDestroy runs on the worker before it ends.
// A downstream pin blocked in Receive must be released by stopping the
// downstream filter first, as the graph does.
#include "platform/media/base/amthread.h"
#include "platform/media/base/outputpin.h"

class CSource;

class CSourceStream : public CAMThread, public CBaseOutputPin {
public:
    // Adds itself to the filter, which owns it from then on.
    CSourceStream(const char* objectName, HRESULT* phr, CSource* filter, LPCWSTR pinName);
    ~CSourceStream() override;

    // Required, worker thread, no lock held: fills the sample (data, actual
    // length, times). S_OK delivers it, S_FALSE ends the stream, a failure
    // aborts it. Must not take the filter lock.
    virtual HRESULT FillBuffer(IMediaSample* sample) = 0;
    // Optional, worker thread: set-up before the first FillBuffer of a
    // start; a failure refuses the pause.
    virtual HRESULT OnThreadCreate() { return S_OK; }
    // Optional, worker thread: clean-up after the last FillBuffer.
    virtual HRESULT OnThreadDestroy() { return S_OK; }
    // Optional, worker thread: called each time streaming begins.
    virtual HRESULT OnThreadStartPlay() { return S_OK; }

    // The type this pin offers. Override GetMediaType(CMediaType*) for a single
    // type, or GetMediaType(int, CMediaType*) and CheckMediaType for several.
    virtual HRESULT GetMediaType(CMediaType* mt);
    HRESULT GetMediaType(int position, CMediaType* mt) override;
    // Default: the type equals GetMediaType(CMediaType*).
    HRESULT CheckMediaType(const CMediaType* mt) override;

    HRESULT Active() override;
    HRESULT Inactive() override;

protected:
    enum Command : DWORD { CMD_INIT, CMD_PAUSE, CMD_RUN, CMD_STOP, CMD_EXIT };
    HRESULT Init() { return static_cast<HRESULT>(CallWorker(CMD_INIT)); }
    HRESULT Exit() { return static_cast<HRESULT>(CallWorker(CMD_EXIT)); }
    HRESULT Run() { return static_cast<HRESULT>(CallWorker(CMD_RUN)); }
    HRESULT Pause() { return static_cast<HRESULT>(CallWorker(CMD_PAUSE)); }
    HRESULT Stop() { return static_cast<HRESULT>(CallWorker(CMD_STOP)); }

    DWORD ThreadProc() override;
    // Worker thread: the fill-and-deliver loop; returns on a stop or exit
    // command (left pending for ThreadProc) or at the end of the stream.
    virtual HRESULT DoBufferProcessingLoop();

    CSource* const m_pFilter;  // the owning filter (hides CBasePin's, as a CSource)

private:
    void StopWorker();
};
