#pragma once
// CBaseStreamControl: IAMStreamControl for an output pin, which mixes it in
// (answering QueryInterface for it) and asks CheckStreamState for every
// sample whether to deliver or discard it.
//
// Times are stream times. StartAt: null starts now, MAXLONGLONG switches
// the stream off until the next StartAt. StopAt: null stops now, MAXLONGLONG
// never stops. The latest "now" wins over an earlier one. A sample without
// times counts as "now": the current stream time when the filter runs with a
// clock, else it follows only the start and stop given as "now", "never" or "off".
// Non-zero cookies are reported as EC_STREAM_CONTROL_STARTED / _STOPPED when
// the stream actually starts or stops.
#include <mutex>

#include "platform/media/strmif.h"

enum StreamControlState { STREAM_FLOWING = 0x1000, STREAM_DISCARDING };

class CBaseStreamControl : public IAMStreamControl {
public:
    CBaseStreamControl();
    ~CBaseStreamControl();
    CBaseStreamControl(const CBaseStreamControl&) = delete;
    CBaseStreamControl& operator=(const CBaseStreamControl&) = delete;

    HRESULT StartAt(const REFERENCE_TIME* start, DWORD cookie) override;
    HRESULT StopAt(const REFERENCE_TIME* stop, BOOL sendExtra, DWORD cookie) override;
    HRESULT GetInfo(AM_STREAM_INFO* info) override;

    // The owning filter passes these on: its graph's event sink (JoinFilterGraph),
    // clock (SetSyncSource) and state with its start time (Stop/Pause/Run).
    void SetFilterGraph(IMediaEventSink* sink);
    void SetSyncSource(IReferenceClock* clock);
    void NotifyFilterState(FILTER_STATE state, REFERENCE_TIME start = 0);

    // Streaming thread: deliver the sample (STREAM_FLOWING) or drop it.
    StreamControlState CheckStreamState(IMediaSample* sample);

private:
    bool Flows(REFERENCE_TIME t) const;
    // Stream time now, or nullopt-like false when there is no running clock.
    bool StreamTimeNow(REFERENCE_TIME* now) const;

    static constexpr REFERENCE_TIME kNow = INT64_MIN;   // "at once", earlier than any time
    static constexpr REFERENCE_TIME kNever = MAXLONGLONG;

    mutable std::mutex m_lock;  // guards everything below
    REFERENCE_TIME m_tStartTime = kNow;
    REFERENCE_TIME m_tStopTime = kNever;
    DWORD m_dwStartCookie = 0;
    DWORD m_dwStopCookie = 0;
    bool m_bStopSendExtra = false;
    StreamControlState m_StreamState = STREAM_FLOWING;  // what the last sample did
    IMediaEventSink* m_pSink = nullptr;                 // weak, as the filter's
    IReferenceClock* m_pRefClock = nullptr;             // holds a reference
    FILTER_STATE m_FilterState = State_Stopped;
    REFERENCE_TIME m_tRunStart = 0;
};
