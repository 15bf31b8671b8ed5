#include "platform/media/base/dllsetup.h"

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/server_registration.h"
#include "platform/media/uuids.h"

namespace {

HRESULT RegisterFilter(IFilterMapper2* mapper, const AMOVIESETUP_FILTER& setup) {
    REGFILTER2 data{};
    data.dwVersion = 1;
    data.dwMerit = setup.dwMerit;
    data.cPins = setup.nPins;
    data.rgPins = setup.lpPin;
    return mapper->RegisterFilter(*setup.clsID, setup.strName, nullptr, &CLSID_LegacyAmFilterCategory, nullptr,
                                  &data);
}

HRESULT RegisterAll() {
    ComPtr<IFilterMapper2> mapper;
    for (int i = 0; i < g_cTemplates; ++i) {
        const CFactoryTemplate& row = g_Templates[i];
        HRESULT hr = AMovieSetupRegisterServer(*row.m_ClsID, row.m_Name);
        if (FAILED(hr)) return hr;
        if (!row.m_pAMovieSetup_Filter) continue;
        if (!mapper) {
            hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.GetVoidAddress());
            if (FAILED(hr)) return hr;
        }
        hr = RegisterFilter(mapper.Get(), *row.m_pAMovieSetup_Filter);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT UnregisterAll() {
    ComPtr<IFilterMapper2> mapper;
    const HRESULT created = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                             mapper.GetVoidAddress());
    HRESULT first = S_OK;
    const auto keep = [&first](HRESULT hr) {
        if (FAILED(hr) && SUCCEEDED(first)) first = hr;
    };
    for (int i = 0; i < g_cTemplates; ++i) {
        const CFactoryTemplate& row = g_Templates[i];
        if (const AMOVIESETUP_FILTER* setup = row.m_pAMovieSetup_Filter) {
            if (mapper) keep(mapper->UnregisterFilter(&CLSID_LegacyAmFilterCategory, nullptr, *setup->clsID));
            else keep(created);
        }
        keep(AMovieSetupUnregisterServer(*row.m_ClsID));
    }
    return first;
}

}  // namespace

HRESULT AMovieDllRegisterServer2(BOOL doRegister) { return doRegister ? RegisterAll() : UnregisterAll(); }
