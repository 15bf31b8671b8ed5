#pragma once
// CBasePin: IPin with connection, media type agreement and the per-pin state
// hooks. A pin is owned by its filter and counted with it: AddRef and Release
// go to the filter.
//
// Connecting (output side, Connect): CheckConnect, then for each candidate
// type (the given one, else the peer's types, then our own) CheckMediaType,
// SetMediaType, the peer's ReceiveConnection and CompleteConnect. Any failure
// undoes it with BreakConnect. The input side runs the same hooks from
// ReceiveConnection. All of it happens with m_pLock held, on the thread that
// builds the graph.
#include <atomic>
#include <string>

#include "platform/com/combase.h"
#include "platform/media/base/critsec.h"
#include "platform/media/base/mediatype.h"

class CBaseFilter;

class CBasePin : public CUnknown, public IPin {
public:
    CBasePin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR pinName,
             PIN_DIRECTION dir);
    ~CBasePin() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
    ULONG NonDelegatingAddRef() override;
    ULONG NonDelegatingRelease() override;

    // ---- Hooks for derived pins (called with m_pLock held) -----------------
    // Required: S_OK when the pin takes this type.
    virtual HRESULT CheckMediaType(const CMediaType* mt) = 0;
    // Optional: the types this pin offers, from position 0; VFW_S_NO_MORE_ITEMS
    // past the end. The default offers none.
    virtual HRESULT GetMediaType(int position, CMediaType* mt);
    // Optional: stores the agreed type in m_mt. Also called on the streaming
    // thread when a sample brings a new type.
    virtual HRESULT SetMediaType(const CMediaType* mt);
    // Optional: checks the peer before types are tried (directions differ).
    virtual HRESULT CheckConnect(IPin* pin);
    // Optional: the connection is agreed; last chance to refuse it.
    virtual HRESULT CompleteConnect(IPin* receivePin);
    // Optional: undoes what CheckConnect and CompleteConnect set up.
    virtual HRESULT BreakConnect();
    // Optional: the filter leaves Stopped (Active) or returns to it
    // (Inactive); called by CBaseFilter with the filter lock held.
    virtual HRESULT Active();
    virtual HRESULT Inactive();
    // Optional: the filter runs from stream time zero at start.
    virtual HRESULT Run(REFERENCE_TIME start);

    // ---- IPin ----------------------------------------------------------------
    HRESULT Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) override;
    HRESULT ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) override;
    // Disconnects this side only; VFW_E_NOT_STOPPED while active, S_FALSE when not connected.
    HRESULT Disconnect() override;
    HRESULT ConnectedTo(IPin** pin) override;
    HRESULT ConnectionMediaType(AM_MEDIA_TYPE* mt) override;
    HRESULT QueryPinInfo(PIN_INFO* info) override;
    HRESULT QueryDirection(PIN_DIRECTION* dir) override;
    HRESULT QueryId(LPWSTR* id) override;
    HRESULT QueryAccept(const AM_MEDIA_TYPE* mt) override;
    HRESULT EnumMediaTypes(IEnumMediaTypes** types) override;
    HRESULT QueryInternalConnections(IPin** pins, ULONG* count) override;
    // Stores the segment; derived pins pass it on.
    HRESULT NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) override;

    bool IsConnected() const { return m_Connected != nullptr; }
    IPin* GetConnected() const { return m_Connected; }
    bool IsStopped() const;
    const std::u16string& Name() const { return m_pName; }
    CBaseFilter* Filter() const { return m_pFilter; }
    PIN_DIRECTION Direction() const { return m_dir; }
    const CMediaType& CurrentMediaType() const { return m_mt; }
    REFERENCE_TIME CurrentStartTime() const { return m_tStart; }
    REFERENCE_TIME CurrentStopTime() const { return m_tStop; }
    double CurrentRate() const { return m_dRate; }

protected:
    // Tries one type against the peer; undoes everything on failure.
    HRESULT AttemptConnection(IPin* receivePin, const CMediaType* mt);
    // Tries the given type, else the peer's types, then ours.
    HRESULT AgreeMediaType(IPin* receivePin, const CMediaType* mt);
    HRESULT TryMediaTypes(IPin* receivePin, const CMediaType* partial, IEnumMediaTypes* types);
    void ReleaseConnection();

    std::u16string m_pName;
    // The peer (holds a reference). Changed with m_pLock held while stopped;
    // streaming threads read it.
    IPin* m_Connected = nullptr;
    const PIN_DIRECTION m_dir;
    CCritSec* m_pLock;                       // the filter lock
    CBaseFilter* const m_pFilter;
    // The connection type. Set while connecting (m_pLock held), and on the
    // streaming thread when a sample brings a new type: read it there or while stopped.
    CMediaType m_mt;
    REFERENCE_TIME m_tStart = 0;             // last NewSegment
    REFERENCE_TIME m_tStop = MAXLONGLONG;
    double m_dRate = 1.0;
    std::atomic<bool> m_bRunTimeError{false};  // a fatal streaming error was reported; cleared by Active and Inactive
};
