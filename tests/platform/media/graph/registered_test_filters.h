#pragma once
// Makes test filters known to the framework the way platform filters are:
// creatable by CLSID (built-in classes) and listed by the filter mapper in
// the test's private registry, so intelligent connect and rendering can
// find them.
#include <gtest/gtest.h>

#include "platform/com/class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/media/strmif.h"

namespace kvtest {

// Registers the class once per process and (again) in this test's registry,
// with a version-1 REGFILTER2 made from the setup data and the given merit.
inline void RegisterTestFilter(const CFactoryTemplate& row, DWORD merit) {
    CoRegisterBuiltinClass(*row.m_ClsID, ComPtr<IClassFactory>(new CClassFactory(&row)).Get());
    const AMOVIESETUP_FILTER& setup = *row.m_pAMovieSetup_Filter;
    REGFILTER2 data{};
    data.dwVersion = 1;
    data.dwMerit = merit;
    data.cPins = setup.nPins;
    data.rgPins = setup.lpPin;
    ComPtr<IFilterMapper2> mapper;
    ASSERT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                               mapper.GetVoidAddress()),
              S_OK);
    ASSERT_EQ(mapper->RegisterFilter(*row.m_ClsID, setup.strName, nullptr, nullptr, nullptr, &data), S_OK);
}

inline void UnregisterTestFilter(const CFactoryTemplate& row) {
    ComPtr<IFilterMapper2> mapper;
    if (SUCCEEDED(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                   mapper.GetVoidAddress())))
        mapper->UnregisterFilter(nullptr, nullptr, *row.m_ClsID);
}

}  // namespace kvtest
