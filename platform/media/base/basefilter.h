#pragma once
// CBaseFilter: IBaseFilter over pins the derived class owns. It keeps the
// state, the clock and the graph the filter belongs to, and walks the pins on
// every state change (Active/Inactive on connected pins, Run with the start time).
//
// Locks: m_pLock is the filter lock the derived class passes in; every
// IBaseFilter method takes it. Streaming threads must not take it while they
// deliver, or a Stop waiting for them would deadlock.
#include <atomic>
#include <string>

#include "platform/com/combase.h"
#include "platform/media/base/critsec.h"
#include "platform/media/strmif.h"

class CBasePin;

class CBaseFilter : public CUnknown, public IBaseFilter {
public:
    CBaseFilter(const char* name, IUnknown* outer, CCritSec* lock, REFCLSID clsid);
    CBaseFilter(const char* name, IUnknown* outer, CCritSec* lock, REFCLSID clsid, HRESULT* phr);
    ~CBaseFilter() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // Required: the pins, numbered from 0; null past the end. Called with or
    // without m_pLock held, from any thread; the pins must live as long as the filter.
    virtual CBasePin* GetPin(int n) = 0;
    virtual int GetPinCount() = 0;

    HRESULT GetClassID(CLSID* clsid) override;
    // Optional overrides; call the base. Stop marks the filter stopped, then
    // calls Inactive on every connected pin; Pause (from stopped) calls Active
    // on every connected pin, then marks it paused. m_pLock is held. A Pause
    // that fails half way leaves the filter stopped; the pins it made active
    // go inactive at the next Stop, which the caller (the graph) gives it once
    // the filters downstream, which may hold their threads, have stopped.
    HRESULT Stop() override;
    HRESULT Pause() override;
    // Pauses first when stopped, then calls Run(start) on every connected pin.
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;

    HRESULT EnumPins(IEnumPins** pins) override;
    // Finds a pin by its name (the pin id is its name).
    HRESULT FindPin(LPCWSTR id, IPin** pin) override;
    HRESULT QueryFilterInfo(FILTER_INFO* info) override;
    // Keeps the graph and its IMediaEventSink without references: the graph
    // holds the filter, and leaves it (graph null) before it goes.
    HRESULT JoinFilterGraph(IFilterGraph* graph, LPCWSTR name) override;
    HRESULT QueryVendorInfo(LPWSTR* vendorInfo) override;

    // Reports an event to the graph; E_NOTIMPL outside a graph. EC_COMPLETE
    // carries this filter as its second parameter. Safe from streaming threads.
    HRESULT NotifyEvent(LONG eventCode, LONG_PTR param1, LONG_PTR param2);
    // Time since m_tStart on the filter's clock; VFW_E_NO_CLOCK without one.
    // Takes no lock, so streaming threads may call it.
    HRESULT StreamTime(REFERENCE_TIME* time);

    bool IsActive() const { return m_State != State_Stopped; }
    bool IsStopped() const { return m_State == State_Stopped; }
    // Changes whenever the set of pins changes; enumerators notice it.
    LONG GetPinVersion() const { return m_PinVersion; }
    void IncrementPinVersion() { ++m_PinVersion; }
    const std::u16string& Name() const { return m_pName; }
    IFilterGraph* GetFilterGraph() const { return m_pGraph; }

protected:
    // Written under m_pLock; read by streaming threads without it.
    std::atomic<FILTER_STATE> m_State{State_Stopped};
    // Under m_pLock: some pins went active in a Pause that failed; Stop takes them back.
    bool m_bPinsLeftActive = false;
    // Holds a reference. Set under m_pLock while stopped; read by streaming threads.
    IReferenceClock* m_pClock = nullptr;
    // Stream time zero on the clock. Set by Run under m_pLock; read by streaming threads.
    std::atomic<REFERENCE_TIME> m_tStart{0};
    CLSID m_clsid;
    CCritSec* m_pLock;                    // the filter lock, owned by the derived class
    std::u16string m_pName;               // guarded by m_pLock
    // Set by JoinFilterGraph while stopped; read by streaming threads.
    IFilterGraph* m_pGraph = nullptr;
    IMediaEventSink* m_pSink = nullptr;
    std::atomic<LONG> m_PinVersion{1};
};
