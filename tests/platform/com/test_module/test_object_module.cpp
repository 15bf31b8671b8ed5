// A plain COM module for the runtime tests: one class whose IPersist reports
// its CLSID, registered and served through the module helpers.
#include "platform/com/module_exports.h"
#include "tests/platform/com/test_module/test_module_ids.h"

namespace {

class CTestObject : public CUnknown, public IPersist {
public:
    explicit CTestObject(IUnknown* outer) : CUnknown("Test object", outer) {}

    static CUnknown* CreateInstance(IUnknown* outer, HRESULT*) { return new CTestObject(outer); }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IPersist) return GetInterface(static_cast<IPersist*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    HRESULT GetClassID(CLSID* clsid) override {
        if (!clsid) return E_POINTER;
        *clsid = CLSID_KvTestObject;
        return S_OK;
    }
};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {u"Korvanta test object", &CLSID_KvTestObject, CTestObject::CreateInstance, nullptr, nullptr},
};
int g_cTemplates = sizeof(g_Templates) / sizeof(g_Templates[0]);

KV_COM_MODULE_EXPORTS();
