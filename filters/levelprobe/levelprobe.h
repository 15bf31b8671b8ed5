#pragma once
// LevelProbeFilter: the sound meter. An in-place transform on an 8- or 16-bit
// PCM stream that passes every sample on untouched and, on one buffer in
// nine, measures the peak level of each channel for the program's meter.
#include <mutex>

#include "filters/levelprobe/ilevelprobe.h"
#include "filters/levelprobe/peak_levels.h"
#include "platform/media/base/transinplacefilter.h"

class LevelProbeFilter final : public CTransInPlaceFilter, public ILevelProbe {
public:
    // The factory template's creation function.
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // ILevelProbe; any thread.
    HRESULT GetLevels(double* first, double* second) override;

    // Connection thread: audio only; a WAVEFORMATEX format must be 8- or
    // 16-bit PCM and is recorded; a type without a format block is accepted
    // and keeps what was recorded before.
    HRESULT CheckInputType(const CMediaType* mt) override;
    // Only when this filter supplies the allocator: one buffer of at least 32000 bytes.
    HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
    // Streaming thread: measures one buffer in nine (and every discontinuity); always S_OK.
    HRESULT Transform(IMediaSample* sample) override;

private:
    LevelProbeFilter(IUnknown* outer, HRESULT* phr);

    std::mutex levelLock_;
    PcmLayout format_;   // guarded by levelLock_
    PeakLevels levels_;  // guarded by levelLock_
    // Buffers still to pass before the next measurement; streaming thread only.
    // Neither it nor the levels are reset by stopping, so the last pair stays readable.
    int countdown_;
};
