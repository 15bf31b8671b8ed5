#include "platform/media/base/streamcontrol.h"

#include "platform/media/evcode.h"

CBaseStreamControl::CBaseStreamControl() = default;

CBaseStreamControl::~CBaseStreamControl() {
    if (m_pRefClock) m_pRefClock->Release();
}

HRESULT CBaseStreamControl::StartAt(const REFERENCE_TIME* start, DWORD cookie) {
    std::scoped_lock lock(m_lock);
    m_tStartTime = start ? *start : kNow;
    m_dwStartCookie = cookie;
    // Starting now overrides a stop that was also "now".
    if (!start && m_tStopTime == kNow) m_tStopTime = kNever;
    return S_OK;
}

HRESULT CBaseStreamControl::StopAt(const REFERENCE_TIME* stop, BOOL sendExtra, DWORD cookie) {
    std::scoped_lock lock(m_lock);
    m_tStopTime = stop ? *stop : kNow;
    m_dwStopCookie = cookie;
    m_bStopSendExtra = sendExtra != FALSE;
    return S_OK;
}

HRESULT CBaseStreamControl::GetInfo(AM_STREAM_INFO* info) {
    if (!info) return E_POINTER;
    std::scoped_lock lock(m_lock);
    *info = {};
    info->tStart = m_tStartTime == kNow ? 0 : m_tStartTime;
    info->tStop = m_tStopTime == kNow ? 0 : m_tStopTime;
    info->dwStartCookie = m_dwStartCookie;
    info->dwStopCookie = m_dwStopCookie;
    if (m_tStartTime != kNow) info->dwFlags |= AM_STREAM_INFO_START_DEFINED;
    if (m_tStopTime != kNever) info->dwFlags |= AM_STREAM_INFO_STOP_DEFINED;
    if (m_bStopSendExtra) info->dwFlags |= AM_STREAM_INFO_STOP_SEND_EXTRA;
    if (m_StreamState == STREAM_DISCARDING) info->dwFlags |= AM_STREAM_INFO_DISCARDING;
    return S_OK;
}

void CBaseStreamControl::SetFilterGraph(IMediaEventSink* sink) {
    std::scoped_lock lock(m_lock);
    m_pSink = sink;
}

void CBaseStreamControl::SetSyncSource(IReferenceClock* clock) {
    std::scoped_lock lock(m_lock);
    if (clock) clock->AddRef();
    if (m_pRefClock) m_pRefClock->Release();
    m_pRefClock = clock;
}

void CBaseStreamControl::NotifyFilterState(FILTER_STATE state, REFERENCE_TIME start) {
    std::scoped_lock lock(m_lock);
    m_FilterState = state;
    if (state == State_Running) m_tRunStart = start;
}

bool CBaseStreamControl::StreamTimeNow(REFERENCE_TIME* now) const {
    if (!m_pRefClock || m_FilterState != State_Running) return false;
    REFERENCE_TIME clock = 0;
    if (FAILED(m_pRefClock->GetTime(&clock))) return false;
    *now = clock - m_tRunStart;
    return true;
}

bool CBaseStreamControl::Flows(REFERENCE_TIME t) const {
    if (m_tStartTime == kNever) return false;
    return t >= m_tStartTime && t < m_tStopTime;
}

StreamControlState CBaseStreamControl::CheckStreamState(IMediaSample* sample) {
    IMediaEventSink* sink = nullptr;
    LONG event = 0;
    DWORD cookie = 0;
    StreamControlState state;
    {
        std::scoped_lock lock(m_lock);
        REFERENCE_TIME start = 0;
        REFERENCE_TIME end = 0;
        bool flows;
        if (sample && SUCCEEDED(sample->GetTime(&start, &end))) {
            flows = Flows(start);
        } else if (REFERENCE_TIME now = 0; StreamTimeNow(&now)) {
            flows = Flows(now);
        } else {
            // No time to compare: only "now", "never" and "off" decide.
            flows = m_tStartTime == kNow && m_tStopTime == kNever;
        }
        state = flows ? STREAM_FLOWING : STREAM_DISCARDING;
        if (state != m_StreamState) {
            event = flows ? EC_STREAM_CONTROL_STARTED : EC_STREAM_CONTROL_STOPPED;
            cookie = flows ? m_dwStartCookie : m_dwStopCookie;
            sink = m_pSink;
            m_StreamState = state;
        }
    }
    // Outside the lock: the graph may call back into the pin.
    if (sink && cookie != 0) sink->Notify(event, reinterpret_cast<LONG_PTR>(this), static_cast<LONG_PTR>(cookie));
    return state;
}
