#pragma once
// CPosPassThru: IMediaSeeking for a filter that does not seek itself; every
// call goes to the pin connected to the given input pin (upstream), which
// passes it further until a source answers. Without a connected upstream pin
// that seeks, calls fail with E_NOTIMPL (VFW_E_NOT_CONNECTED when unconnected).
// It is meant to be aggregated: outer is the filter or pin that exposes it.
#include "platform/com/com_ptr.h"
#include "platform/com/combase.h"
#include "platform/media/strmif.h"

class CPosPassThru : public CUnknown, public IMediaSeeking {
public:
    // pin: our input pin, kept without a reference (it lives as long as the outer object).
    CPosPassThru(const char* name, IUnknown* outer, HRESULT* phr, IPin* pin);

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

private:
    // The upstream pin's IMediaSeeking.
    HRESULT GetPeerSeeking(ComPtr<IMediaSeeking>* seeking);
    template <class Call>
    HRESULT Forward(Call call);

    IPin* const pin_;
};
