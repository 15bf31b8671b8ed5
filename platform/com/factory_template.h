#pragma once
// CFactoryTemplate: one row of a module's class table. Each in-process server
// module defines its own table,
//
//     CFactoryTemplate g_Templates[] = {
//         {u"Stamp", &CLSID_Stamp, CStamp::CreateInstance, nullptr, &sudStamp},
//     };
//     int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);
//
// and expands KV_MODULE_EXPORTS (platform/com/module_exports.h) once. The
// exported DllGetClassObject hands out a CClassFactory for the matching row.
#include "platform/com/combase.h"

// Filter registration data; only the media framework looks inside it.
struct AMOVIESETUP_FILTER;

// Creates a new object (reference count zero); sets *phr on failure.
using LPFNNewCOMObject = CUnknown* (*)(IUnknown* outer, HRESULT* phr);
// Called once with loading = TRUE before the module first hands out a class
// factory. Modules stay loaded for the life of the process, so it is never
// called with FALSE.
using LPFNInitRoutine = void (*)(BOOL loading, const CLSID* clsid);

class CFactoryTemplate {
public:
    const WCHAR* m_Name;                                  // the class's display name
    const CLSID* m_ClsID;
    LPFNNewCOMObject m_lpfnNew;
    LPFNInitRoutine m_lpfnInit;                           // may be null
    const AMOVIESETUP_FILTER* m_pAMovieSetup_Filter;      // null for a plain COM class

    BOOL IsClassID(REFCLSID clsid) const { return *m_ClsID == clsid ? TRUE : FALSE; }
    CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr) const { return m_lpfnNew(outer, phr); }
};

// Defined by every module (see above).
extern CFactoryTemplate g_Templates[];
extern int g_cTemplates;
