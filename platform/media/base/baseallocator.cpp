#include "platform/media/base/baseallocator.h"

#include <algorithm>

CBaseAllocator::CBaseAllocator(const char* name, IUnknown* outer, HRESULT* phr) : CUnknown(name, outer, phr) {}

CBaseAllocator::~CBaseAllocator() = default;

HRESULT CBaseAllocator::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
    if (riid == IID_IMemAllocator) return GetInterface(static_cast<IMemAllocator*>(this), ppv);
    return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CBaseAllocator::SetProperties(ALLOCATOR_PROPERTIES* request, ALLOCATOR_PROPERTIES* actual) {
    if (!request || !actual) return E_POINTER;
    std::scoped_lock lock(m_cs);
    if (m_bCommitted) return VFW_E_ALREADY_COMMITTED;
    if (m_free.size() != m_samples.size()) return VFW_E_BUFFERS_OUTSTANDING;
    const LONG align = request->cbAlign;
    if (align <= 0 || (align & (align - 1)) != 0) return VFW_E_BADALIGN;
    if (request->cBuffers < 0 || request->cbBuffer < 0 || request->cbPrefix < 0) return E_INVALIDARG;
    m_bChanged = m_lCount != request->cBuffers || m_lSize != request->cbBuffer || m_lAlignment != align ||
                 m_lPrefix != request->cbPrefix;
    m_lCount = request->cBuffers;
    m_lSize = request->cbBuffer;
    m_lAlignment = align;
    m_lPrefix = request->cbPrefix;
    *actual = {m_lCount, m_lSize, m_lAlignment, m_lPrefix};
    return S_OK;
}

HRESULT CBaseAllocator::GetProperties(ALLOCATOR_PROPERTIES* props) {
    if (!props) return E_POINTER;
    std::scoped_lock lock(m_cs);
    *props = {m_lCount, m_lSize, m_lAlignment, m_lPrefix};
    return S_OK;
}

HRESULT CBaseAllocator::Commit() {
    std::scoped_lock lock(m_cs);
    if (m_bCommitted) return S_OK;
    if (m_lCount <= 0 || m_lSize <= 0) return VFW_E_SIZENOTSET;
    // A decommit still waiting for samples keeps its pool: take it back as it is.
    if (m_bDecommitInProgress) {
        m_bDecommitInProgress = false;
        m_bCommitted = true;
        return S_OK;
    }
    const HRESULT hr = Alloc();
    if (FAILED(hr)) return hr;
    m_bChanged = false;
    m_bCommitted = true;
    return S_OK;
}

HRESULT CBaseAllocator::Decommit() {
    {
        std::scoped_lock lock(m_cs);
        if (!m_bCommitted) return S_OK;
        m_bCommitted = false;
        if (m_free.size() == m_samples.size()) Free();
        else m_bDecommitInProgress = true;
    }
    m_freed.notify_all();
    return S_OK;
}

HRESULT CBaseAllocator::GetBuffer(IMediaSample** sample, REFERENCE_TIME* start, REFERENCE_TIME* end, DWORD flags) {
    if (!sample) return E_POINTER;
    *sample = nullptr;
    CMediaSample* taken = nullptr;
    {
        std::unique_lock lock(m_cs);
        for (;;) {
            if (!m_bCommitted) return VFW_E_NOT_COMMITTED;
            if (!m_free.empty()) break;
            if (flags & AM_GBF_NOWAIT) return VFW_E_TIMEOUT;
            m_freed.wait(lock);
        }
        taken = m_free.back();
        m_free.pop_back();
    }
    // Released in ReleaseBuffer, when the sample comes home.
    AddRef();
    taken->ResetRefCount(1);
    if (start) taken->SetTime(start, end);
    *sample = taken;
    return S_OK;
}

HRESULT CBaseAllocator::ReleaseBuffer(IMediaSample* sample) {
    if (!sample) return E_POINTER;
    {
        std::scoped_lock lock(m_cs);
        m_free.push_back(static_cast<CMediaSample*>(sample));
        if (m_bDecommitInProgress && m_free.size() == m_samples.size()) {
            m_bDecommitInProgress = false;
            Free();
        }
    }
    m_freed.notify_one();
    // May delete this allocator when the sample held the last reference.
    Release();
    return S_OK;
}

void CBaseAllocator::AddSample(std::unique_ptr<CMediaSample> sample) {
    m_free.push_back(sample.get());
    m_samples.push_back(std::move(sample));
}

void CBaseAllocator::DeleteSamples() {
    m_free.clear();
    m_samples.clear();
}
