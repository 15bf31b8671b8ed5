#pragma once
// CEnumMediaTypes: IEnumMediaTypes over a pin's GetMediaType positions. It
// holds the pin (and so its filter). Each type handed out is task memory the
// caller frees with DeleteMediaType.
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

class CBasePin;

class CEnumMediaTypes : public CUnknown, public IEnumMediaTypes {
public:
    // copyFrom: an enumerator whose position this one starts at (Clone), or null.
    CEnumMediaTypes(CBasePin* pin, const CEnumMediaTypes* copyFrom);
    ~CEnumMediaTypes() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT Next(ULONG count, AM_MEDIA_TYPE** types, ULONG* fetched) override;
    HRESULT Skip(ULONG count) override;
    HRESULT Reset() override;
    HRESULT Clone(IEnumMediaTypes** clone) override;

private:
    CBasePin* const pin_;  // holds a reference
    int position_ = 0;     // one client thread at a time
};
