#pragma once
// CMemAllocator: the allocator of ordinary memory that pins create when
// nobody offers one. All buffers come from one block; each starts on the
// requested alignment after cbPrefix bytes the owner of the sample may use
// in front of it. The block is kept across decommits and reused by the next
// Commit unless the properties changed.
#include <memory>

#include "platform/media/base/baseallocator.h"

class CMemAllocator : public CBaseAllocator {
public:
    CMemAllocator(const char* name, IUnknown* outer, HRESULT* phr);
    ~CMemAllocator() override;

    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

protected:
    HRESULT Alloc() override;
    void Free() override;

private:
    // guarded by m_cs
    std::unique_ptr<BYTE[]> m_block;
};
