#include "platform/media/base/memallocator.h"

#include <cstdint>
#include <new>

CMemAllocator::CMemAllocator(const char* name, IUnknown* outer, HRESULT* phr) : CBaseAllocator(name, outer, phr) {}

CMemAllocator::~CMemAllocator() {
    std::scoped_lock lock(m_cs);
    DeleteSamples();
}

CUnknown* CMemAllocator::CreateInstance(IUnknown* outer, HRESULT* phr) {
    return new (std::nothrow) CMemAllocator("CMemAllocator", outer, phr);
}

HRESULT CMemAllocator::Alloc() {
    if (SamplesAllocated() && !m_bChanged) return S_OK;
    DeleteSamples();
    // Each buffer holds its prefix and data, rounded up to the alignment, so
    // the data of every buffer stays aligned once the first one is.
    const std::size_t align = static_cast<std::size_t>(m_lAlignment);
    const std::size_t stride = (static_cast<std::size_t>(m_lPrefix) + m_lSize + align - 1) / align * align;
    const std::size_t total = stride * static_cast<std::size_t>(m_lCount) + static_cast<std::size_t>(m_lPrefix) + align;
    try {
        m_block = std::make_unique_for_overwrite<BYTE[]>(total);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
    const auto base = reinterpret_cast<std::uintptr_t>(m_block.get()) + static_cast<std::uintptr_t>(m_lPrefix);
    const std::size_t skip = (align - base % align) % align;
    BYTE* data = m_block.get() + m_lPrefix + skip;
    for (LONG i = 0; i < m_lCount; ++i, data += stride) {
        HRESULT hr = S_OK;
        auto sample = std::make_unique<CMediaSample>("CMemAllocator sample", this, &hr, data, m_lSize);
        AddSample(std::move(sample));
    }
    return S_OK;
}

void CMemAllocator::Free() {
    // The memory stays for the next Commit; Alloc replaces it if the properties change.
}
