#include "platform/media/base/source.h"

#include <algorithm>

#include "platform/media/base/sourcestream.h"

CSource::CSource(const char* name, IUnknown* outer, CLSID clsid, HRESULT* phr)
    : CBaseFilter(name, outer, &m_cStateLock, clsid, phr) {}

CSource::CSource(const char* name, IUnknown* outer, CLSID clsid) : CBaseFilter(name, outer, &m_cStateLock, clsid) {}

CSource::~CSource() {
    // Each pin leaves the list before it is destroyed, so its RemovePin finds nothing.
    while (!m_paStreams.empty()) {
        std::unique_ptr<CSourceStream> pin = std::move(m_paStreams.back());
        m_paStreams.pop_back();
    }
}

int CSource::GetPinCount() {
    CAutoLock lock(&m_cStateLock);
    return static_cast<int>(m_paStreams.size());
}

CBasePin* CSource::GetPin(int n) {
    CAutoLock lock(&m_cStateLock);
    if (n < 0 || n >= static_cast<int>(m_paStreams.size())) return nullptr;
    return m_paStreams[static_cast<std::size_t>(n)].get();
}

HRESULT CSource::AddPin(CSourceStream* pin) {
    if (!pin) return E_POINTER;
    CAutoLock lock(&m_cStateLock);
    m_paStreams.emplace_back(pin);
    IncrementPinVersion();
    return S_OK;
}

HRESULT CSource::RemovePin(CSourceStream* pin) {
    CAutoLock lock(&m_cStateLock);
    const auto found = std::find_if(m_paStreams.begin(), m_paStreams.end(),
                                    [pin](const auto& owned) { return owned.get() == pin; });
    if (found == m_paStreams.end()) return S_FALSE;
    // The pin is being destroyed by someone else; give up ownership without deleting.
    static_cast<void>(found->release());
    m_paStreams.erase(found);
    IncrementPinVersion();
    return S_OK;
}

int CSource::FindPinNumber(IPin* pin) {
    CAutoLock lock(&m_cStateLock);
    for (std::size_t i = 0; i < m_paStreams.size(); ++i)
        if (static_cast<IPin*>(m_paStreams[i].get()) == pin) return static_cast<int>(i);
    return -1;
}
