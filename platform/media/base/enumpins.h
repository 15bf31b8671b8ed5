#pragma once
// CEnumPins: IEnumPins over a filter's GetPin/GetPinCount. It holds the
// filter; when the filter's pin set changes under it (GetPinVersion), Next
// and Skip answer VFW_E_ENUM_OUT_OF_SYNC until Reset.
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

class CBaseFilter;

class CEnumPins : public CUnknown, public IEnumPins {
public:
    // copyFrom: an enumerator whose position this one starts at (Clone), or null.
    CEnumPins(CBaseFilter* filter, const CEnumPins* copyFrom);
    ~CEnumPins() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Next(ULONG count, IPin** pins, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumPins** clone) override;

private:
    bool OutOfSync() const;

    CBaseFilter* const filter_;  // holds a reference
    // The enumerator's state; one client thread at a time, as for every COM enumerator.
    int position_ = 0;
    LONG version_;
};
