#include "platform/media/base/basepin.h"

#include <algorithm>
#include <cstring>

#include "platform/com/com_ptr.h"
#include "platform/com/task_memory.h"
#include "platform/media/base/basefilter.h"
#include "platform/media/base/enummediatypes.h"

CBasePin::CBasePin(const char* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR pinName,
                   PIN_DIRECTION dir)
    : CUnknown(objectName, nullptr), m_pName(pinName ? pinName : u""), m_dir(dir), m_pLock(lock),
      m_pFilter(filter) {
    if ((!filter || !lock) && phr) *phr = E_POINTER;
}

CBasePin::~CBasePin() { ReleaseConnection(); }

HRESULT CBasePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IPin) return GetInterface(static_cast<IPin*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

// The pin lives as long as its filter, so its references are the filter's.
ULONG CBasePin::NonDelegatingAddRef() { return m_pFilter->AddRef(); }
ULONG CBasePin::NonDelegatingRelease() { return m_pFilter->Release(); }

bool CBasePin::IsStopped() const { return m_pFilter->IsStopped(); }

HRESULT CBasePin::GetMediaType(int, CMediaType*) { return VFW_S_NO_MORE_ITEMS; }

HRESULT CBasePin::SetMediaType(const CMediaType* mt) {
    if (!mt) return E_POINTER;
    m_mt = *mt;
    return S_OK;
}

HRESULT CBasePin::CheckConnect(IPin* pin) {
    PIN_DIRECTION dir;
    const HRESULT hr = pin->QueryDirection(&dir);
    if (FAILED(hr)) return hr;
    return dir == m_dir ? VFW_E_INVALID_DIRECTION : S_OK;
}

HRESULT CBasePin::CompleteConnect(IPin*) { return S_OK; }
HRESULT CBasePin::BreakConnect() { return S_OK; }
HRESULT CBasePin::Active() { return S_OK; }
HRESULT CBasePin::Inactive() {
    m_bRunTimeError = false;
    return S_OK;
}
HRESULT CBasePin::Run(REFERENCE_TIME) { return S_OK; }

void CBasePin::ReleaseConnection() {
    if (m_Connected) {
        m_Connected->Release();
        m_Connected = nullptr;
    }
}

HRESULT CBasePin::Connect(IPin* receivePin, const AM_MEDIA_TYPE* mt) {
    if (!receivePin) return E_POINTER;
    CAutoLock lock(m_pLock);
    if (m_Connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    // Said up front: with two pins of one direction no type would ever be tried.
    PIN_DIRECTION dir;
    if (SUCCEEDED(receivePin->QueryDirection(&dir)) && dir == m_dir) return VFW_E_INVALID_DIRECTION;
    const CMediaType wanted = mt ? CMediaType(*mt) : CMediaType();
    return AgreeMediaType(receivePin, &wanted);
}

HRESULT CBasePin::AttemptConnection(IPin* receivePin, const CMediaType* mt) {
    HRESULT hr = CheckConnect(receivePin);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    m_Connected = receivePin;
    m_Connected->AddRef();
    hr = CheckMediaType(mt);
    if (hr == S_OK) {
        hr = SetMediaType(mt);
        if (SUCCEEDED(hr)) hr = receivePin->ReceiveConnection(this, mt);
        if (SUCCEEDED(hr)) {
            hr = CompleteConnect(receivePin);
            if (SUCCEEDED(hr)) return S_OK;
            receivePin->Disconnect();
        }
    } else if (SUCCEEDED(hr)) {
        hr = VFW_E_TYPE_NOT_ACCEPTED;
    }
    BreakConnect();
    ReleaseConnection();
    m_mt = CMediaType();
    return hr;
}

HRESULT CBasePin::TryMediaTypes(IPin* receivePin, const CMediaType* partial, IEnumMediaTypes* types) {
    if (!types) return VFW_E_NO_ACCEPTABLE_TYPES;
    types->Reset();
    HRESULT last = VFW_E_NO_ACCEPTABLE_TYPES;
    AM_MEDIA_TYPE* next = nullptr;
    ULONG fetched = 0;
    while (types->Next(1, &next, &fetched) == S_OK && fetched == 1) {
        const CMediaType candidate(*next);
        DeleteMediaType(next);
        if (partial && !candidate.MatchesPartial(partial)) continue;
        const HRESULT hr = AttemptConnection(receivePin, &candidate);
        if (SUCCEEDED(hr)) return S_OK;
        last = hr;
    }
    return last;
}

HRESULT CBasePin::AgreeMediaType(IPin* receivePin, const CMediaType* mt) {
    if (mt && !mt->IsPartiallySpecified()) return AttemptConnection(receivePin, mt);
    HRESULT hr = VFW_E_NO_ACCEPTABLE_TYPES;
    ComPtr<IEnumMediaTypes> theirs;
    if (SUCCEEDED(receivePin->EnumMediaTypes(theirs.GetAddressOf()))) {
        hr = TryMediaTypes(receivePin, mt, theirs.Get());
        if (SUCCEEDED(hr)) return hr;
    }
    ComPtr<IEnumMediaTypes> ours;
    if (SUCCEEDED(EnumMediaTypes(ours.GetAddressOf()))) {
        const HRESULT mine = TryMediaTypes(receivePin, mt, ours.Get());
        if (SUCCEEDED(mine)) return mine;
        if (hr == VFW_E_NO_ACCEPTABLE_TYPES) hr = mine;
    }
    return hr;
}

HRESULT CBasePin::ReceiveConnection(IPin* connector, const AM_MEDIA_TYPE* mt) {
    if (!connector || !mt) return E_POINTER;
    CAutoLock lock(m_pLock);
    if (m_Connected) return VFW_E_ALREADY_CONNECTED;
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    HRESULT hr = CheckConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        return hr;
    }
    const CMediaType offered(*mt);
    hr = CheckMediaType(&offered);
    if (hr != S_OK) {
        BreakConnect();
        return SUCCEEDED(hr) ? VFW_E_TYPE_NOT_ACCEPTED : hr;
    }
    m_Connected = connector;
    m_Connected->AddRef();
    hr = SetMediaType(&offered);
    if (SUCCEEDED(hr)) hr = CompleteConnect(connector);
    if (FAILED(hr)) {
        BreakConnect();
        ReleaseConnection();
        m_mt = CMediaType();
        return hr;
    }
    return S_OK;
}

HRESULT CBasePin::Disconnect() {
    CAutoLock lock(m_pLock);
    if (!IsStopped()) return VFW_E_NOT_STOPPED;
    if (!m_Connected) return S_FALSE;
    const HRESULT hr = BreakConnect();
    if (FAILED(hr)) return hr;
    ReleaseConnection();
    m_mt = CMediaType();
    return S_OK;
}

HRESULT CBasePin::ConnectedTo(IPin** pin) {
    if (!pin) return E_POINTER;
    CAutoLock lock(m_pLock);
    *pin = m_Connected;
    if (!m_Connected) return VFW_E_NOT_CONNECTED;
    m_Connected->AddRef();
    return S_OK;
}

HRESULT CBasePin::ConnectionMediaType(AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    CAutoLock lock(m_pLock);
    if (!m_Connected) {
        // The structure is the caller's; hand it back empty and owning nothing.
        std::memset(static_cast<void*>(mt), 0, sizeof(*mt));
        return VFW_E_NOT_CONNECTED;
    }
    return CopyMediaType(mt, &m_mt);
}

HRESULT CBasePin::QueryPinInfo(PIN_INFO* info) {
    if (!info) return E_POINTER;
    info->pFilter = m_pFilter;
    m_pFilter->AddRef();
    info->dir = m_dir;
    const std::size_t length = std::min<std::size_t>(m_pName.size(), MAX_PIN_NAME - 1);
    std::copy_n(m_pName.data(), length, info->achName);
    info->achName[length] = 0;
    return S_OK;
}

HRESULT CBasePin::QueryDirection(PIN_DIRECTION* dir) {
    if (!dir) return E_POINTER;
    *dir = m_dir;
    return S_OK;
}

HRESULT CBasePin::QueryId(LPWSTR* id) {
    if (!id) return E_POINTER;
    const std::size_t bytes = (m_pName.size() + 1) * sizeof(WCHAR);
    *id = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!*id) return E_OUTOFMEMORY;
    std::memcpy(*id, m_pName.c_str(), bytes);
    return S_OK;
}

HRESULT CBasePin::QueryAccept(const AM_MEDIA_TYPE* mt) {
    if (!mt) return E_POINTER;
    // No lock: upstream filters ask this from their streaming threads.
    const CMediaType candidate(*mt);
    return CheckMediaType(&candidate) == S_OK ? S_OK : S_FALSE;
}

HRESULT CBasePin::EnumMediaTypes(IEnumMediaTypes** types) {
    if (!types) return E_POINTER;
    *types = new CEnumMediaTypes(this, nullptr);
    (*types)->AddRef();
    return S_OK;
}

HRESULT CBasePin::QueryInternalConnections(IPin**, ULONG*) { return E_NOTIMPL; }

HRESULT CBasePin::NewSegment(REFERENCE_TIME start, REFERENCE_TIME stop, double rate) {
    m_tStart = start;
    m_tStop = stop;
    m_dRate = rate;
    return S_OK;
}
