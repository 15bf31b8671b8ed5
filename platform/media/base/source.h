#pragma once
// CSource: a filter whose output pins (CSourceStream) each push samples from
// their own worker thread. The pins register themselves from their
// constructor (AddPin) and the filter owns them from then on, deleting them
// when it goes.
#include <memory>
#include <vector>

#include "platform/media/base/basefilter.h"

class CSourceStream;

class CSource : public CBaseFilter {
public:
    CSource(const char* name, IUnknown* outer, CLSID clsid, HRESULT* phr);
    CSource(const char* name, IUnknown* outer, CLSID clsid);
    ~CSource() override;

    int GetPinCount() override;
    CBasePin* GetPin(int n) override;

    // The filter lock. FillBuffer must not take it: Stop holds it while it
    // waits for the workers.
    CCritSec* pStateLock() { return &m_cStateLock; }

    // Called by the CSourceStream constructor and destructor.
    HRESULT AddPin(CSourceStream* pin);
    HRESULT RemovePin(CSourceStream* pin);
    // The number of the pin, or -1.
    int FindPinNumber(IPin* pin);

protected:
    CCritSec m_cStateLock;
    // guarded by m_cStateLock; changed only while stopped
    std::vector<std::unique_ptr<CSourceStream>> m_paStreams;
};
