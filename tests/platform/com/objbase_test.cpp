#include <gtest/gtest.h>

#include <fstream>

#include "platform/com/class_factory.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/registry_key.h"
#include "tests/platform/com/scoped_registry.h"

namespace {

constexpr CLSID CLSID_BuiltinThing = MakeGuid("{3E1A0B7C-5D42-4F19-9A86-0C2B7E4D1F55}");
constexpr CLSID CLSID_Unregistered = MakeGuid("{3E1A0B7C-5D42-4F19-9A86-0C2B7E4D1F56}");

class BuiltinThing : public CUnknown, public IPersist {
public:
    explicit BuiltinThing(IUnknown* outer) : CUnknown("Builtin thing", outer) {}
    static CUnknown* Create(IUnknown* outer, HRESULT*) { return new BuiltinThing(outer); }

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
        if (riid == IID_IPersist) return GetInterface(static_cast<IPersist*>(this), ppv);
        return CUnknown::NonDelegatingQueryInterface(riid, ppv);
    }
    HRESULT GetClassID(CLSID* clsid) override {
        *clsid = CLSID_BuiltinThing;
        return S_OK;
    }
};

const CFactoryTemplate kBuiltinTemplate{u"Builtin thing", &CLSID_BuiltinThing, BuiltinThing::Create, nullptr, nullptr};

void RegisterBuiltinOnce() {
    static const bool registered = [] {
        ComPtr<IClassFactory> factory(new CClassFactory(&kBuiltinTemplate));
        return SUCCEEDED(CoRegisterBuiltinClass(CLSID_BuiltinThing, factory.Get()));
    }();
    ASSERT_TRUE(registered);
}

void RegisterServerPath(const CLSID& clsid, const std::string& path) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidToString(clsid) + "\\InprocServer32").c_str()),
              ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(nullptr, path), ERROR_SUCCESS);
}

class ObjectCreationTest : public testing::Test {
protected:
    void SetUp() override { RegisterBuiltinOnce(); }
    kvtest::ScopedRegistry registry_;
};

TEST_F(ObjectCreationTest, BuiltinClassIsCreatedWithoutRegistrationAndWinsOverTheRegistry) {
    // A registration of the same CLSID is never consulted.
    RegisterServerPath(CLSID_BuiltinThing, "/nonexistent/libthing.so");
    ComPtr<IPersist> persist;
    ASSERT_EQ(CoCreateInstance(CLSID_BuiltinThing, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist,
                               persist.GetVoidAddress()),
              S_OK);
    CLSID clsid{};
    EXPECT_EQ(persist->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_BuiltinThing);

    ComPtr<IClassFactory> factory;
    EXPECT_EQ(CoGetClassObject(CLSID_BuiltinThing, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                               factory.GetVoidAddress()),
              S_OK);
    EXPECT_EQ(CoCreateInstance(CLSID_BuiltinThing, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist, nullptr), E_POINTER);
}

TEST_F(ObjectCreationTest, AggregationFollowsTheComRules) {
    BuiltinThing outer(nullptr);
    outer.NonDelegatingAddRef();
    void* object = reinterpret_cast<void*>(1);
    EXPECT_EQ(CoCreateInstance(CLSID_BuiltinThing, outer.GetOwner(), CLSCTX_INPROC_SERVER, IID_IPersist, &object),
              CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);

    // Asked for IUnknown, the inner object is made and answers through the outer one.
    ComPtr<IUnknown> inner;
    ASSERT_EQ(CoCreateInstance(CLSID_BuiltinThing, outer.GetOwner(), CLSCTX_INPROC_SERVER, IID_IUnknown,
                               inner.GetVoidAddress()),
              S_OK);
    // The inner IUnknown is non-delegating: its QueryInterface reaches the inner object itself.
    auto* nonDelegating = reinterpret_cast<INonDelegatingUnknown*>(inner.Get());
    IPersist* persist = nullptr;
    ASSERT_EQ(nonDelegating->NonDelegatingQueryInterface(IID_IPersist, reinterpret_cast<void**>(&persist)), S_OK);
    IUnknown* owner = nullptr;
    EXPECT_EQ(persist->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&owner)), S_OK);
    EXPECT_EQ(owner, outer.GetOwner());
    owner->Release();
    persist->Release();
}

TEST_F(ObjectCreationTest, UnregisteredAndUnloadableClassesFailWithTheirCodes) {
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.GetVoidAddress()),
              REGDB_E_CLASSNOTREG);

    RegKey classOnly;
    ASSERT_EQ(classOnly.Create(HKEY_CLASSES_ROOT, ("CLSID\\" + GuidToString(CLSID_Unregistered)).c_str()),
              ERROR_SUCCESS);
    EXPECT_EQ(CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.GetVoidAddress()),
              REGDB_E_CLASSNOTREG);

    RegisterServerPath(CLSID_Unregistered, "/nonexistent/libmissing.so");
    EXPECT_EQ(CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.GetVoidAddress()),
              CO_E_DLLNOTFOUND);

    RegisterServerPath(CLSID_Unregistered, KVTEST_NO_EXPORTS_MODULE);
    EXPECT_EQ(CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.GetVoidAddress()),
              CO_E_ERRORINDLL);
}

TEST_F(ObjectCreationTest, DamagedRegistryFailsCreationCleanly) {
    std::filesystem::create_directories(registry_.folder());
    std::ofstream(registry_.folder() / "HKEY_CLASSES_ROOT.reg") << "korvanta-registry 1\n[CLSID\n";
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(CLSID_Unregistered, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.GetVoidAddress()),
              REGDB_E_READREGDB);
}

TEST(ComInitializationTest, IsCountedAndOptional) {
    EXPECT_EQ(CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    CoUninitialize();
    CoUninitialize();
    CoUninitialize();  // one too many does no harm
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    CoUninitialize();
}

}  // namespace
