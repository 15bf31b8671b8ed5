#include "platform/media/base/builtin_filters.h"

#include "platform/com/class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"

HRESULT RegisterBuiltinFilterClasses(std::span<const CFactoryTemplate> rows) {
    for (const CFactoryTemplate& row : rows) {
        const ComPtr<IClassFactory> factory(new CClassFactory(&row));
        if (const HRESULT hr = CoRegisterBuiltinClass(*row.m_ClsID, factory.Get()); FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT RegisterBuiltinFilterData(std::span<const CFactoryTemplate> rows, bool doRegister) {
    ComPtr<IFilterMapper2> mapper;
    HRESULT hr = CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                  mapper.GetVoidAddress());
    if (FAILED(hr)) return hr;
    for (const CFactoryTemplate& row : rows) {
        if (!doRegister) {
            mapper->UnregisterFilter(nullptr, nullptr, *row.m_ClsID);
            continue;
        }
        const AMOVIESETUP_FILTER& setup = *row.m_pAMovieSetup_Filter;
        REGFILTER2 data{};
        data.dwVersion = 1;
        data.dwMerit = setup.dwMerit;
        data.cPins = setup.nPins;
        data.rgPins = setup.lpPin;
        if (FAILED(hr = mapper->RegisterFilter(*row.m_ClsID, setup.strName, nullptr, nullptr, nullptr, &data)))
            return hr;
    }
    return S_OK;
}
