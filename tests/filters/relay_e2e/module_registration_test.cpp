// Both relay modules registered by the real korvanta-regsvr into the test's
// private registry, created by CLSID, their filter data in the filter
// mapper, and removed again.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>

#include "filters/relaysink/irelaysink.h"
#include "filters/relaysource/irelaysource.h"
#include "platform/com/com_ptr.h"
#include "platform/com/module_exports.h"
#include "platform/com/objbase.h"
#include "platform/com/registry_key.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/strmif.h"
#include "platform/media/uuids.h"
#include "relay_modules.h"

namespace {

struct RelayModule {
    const char* path;
    CLSID clsid;
    IID iid;
    const char* displayName;
};

const RelayModule kModules[] = {
    {KVTEST_RELAYSINK_MODULE, CLSID_RelaySink, IID_IRelaySink, "Tarvik DV Frame Server"},
    {KVTEST_RELAYSOURCE_MODULE, CLSID_RelaySource, IID_IRelaySource, "Tarvik DV Frame Client"},
};

std::string ServerKey(const RelayModule& module) { return "CLSID\\" + GuidToString(module.clsid); }

std::string FilterKey(const RelayModule& module) {
    return "CLSID\\" + GuidToString(CLSID_LegacyAmFilterCategory) + "\\Instance\\" + GuidToString(module.clsid);
}

class RelayModuleRegistration : public testing::TestWithParam<RelayModule> {};

TEST_P(RelayModuleRegistration, RegsvrRegistersTheServerWhichIsThenCreatedByClsidUntilUnregistered) {
    const RelayModule& module = GetParam();
    const auto registered = kvtest::RunRegsvr(module.path);
    ASSERT_EQ(registered.exitCode, 0) << registered.output;
    RegKey filterEntry;
    EXPECT_EQ(filterEntry.Open(HKEY_CLASSES_ROOT, FilterKey(module).c_str()), ERROR_SUCCESS);

    RegKey server;
    ASSERT_EQ(server.Open(HKEY_CLASSES_ROOT, ServerKey(module).c_str()), ERROR_SUCCESS);
    std::string name;
    EXPECT_EQ(server.QueryString(nullptr, &name), ERROR_SUCCESS);
    EXPECT_EQ(name, module.displayName);
    RegKey inproc;
    ASSERT_EQ(inproc.Open(HKEY_CLASSES_ROOT, (ServerKey(module) + "\\InprocServer32").c_str()), ERROR_SUCCESS);
    std::string path, threading;
    EXPECT_EQ(inproc.QueryString(nullptr, &path), ERROR_SUCCESS);
    EXPECT_EQ(path, std::filesystem::canonical(module.path).string());
    EXPECT_EQ(inproc.QueryString("ThreadingModel", &threading), ERROR_SUCCESS);
    EXPECT_EQ(threading, "Both");

    {
        ComPtr<IUnknown> custom;
        ASSERT_EQ(CoCreateInstance(module.clsid, nullptr, CLSCTX_INPROC_SERVER, module.iid, custom.GetVoidAddress()),
                  S_OK);
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(QueryInterfaceFor(custom.Get(), filter.GetAddressOf()), S_OK);
        CLSID clsid{};
        EXPECT_EQ(filter->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, module.clsid);
    }

    const auto unregistered = kvtest::RunRegsvr(module.path, true);
    EXPECT_EQ(unregistered.exitCode, 0) << unregistered.output;
    EXPECT_NE(server.Open(HKEY_CLASSES_ROOT, ServerKey(module).c_str()), ERROR_SUCCESS);
    EXPECT_NE(filterEntry.Open(HKEY_CLASSES_ROOT, FilterKey(module).c_str()), ERROR_SUCCESS);
    // Registered again for the other tests of this process.
    kvtest::RunRegsvr(module.path);
}

// The module's own DllRegisterServer, in this process where the filter
// mapper is built in: the filter's name, merit and pin data.
TEST_P(RelayModuleRegistration, FilterIsRegisteredWithItsNameAndDoNotUseMerit) {
    const RelayModule& module = GetParam();
    ASSERT_EQ(KvMediaRegisterPlatformClasses(), S_OK);
    void* library = ::dlopen(module.path, RTLD_NOW);
    ASSERT_NE(library, nullptr) << ::dlerror();
    const auto registerServer = reinterpret_cast<DllRegisterServerFn>(::dlsym(library, "DllRegisterServer"));
    ASSERT_NE(registerServer, nullptr);
    ASSERT_EQ(registerServer(), S_OK);

    RegKey filter;
    ASSERT_EQ(filter.Open(HKEY_CLASSES_ROOT, FilterKey(module).c_str()), ERROR_SUCCESS);
    std::string name;
    DWORD merit = 0;
    std::vector<BYTE> data;
    EXPECT_EQ(filter.QueryString("FriendlyName", &name), ERROR_SUCCESS);
    EXPECT_EQ(name, module.displayName);
    EXPECT_EQ(filter.QueryDword("Merit", &merit), ERROR_SUCCESS);
    EXPECT_EQ(merit, MERIT_DO_NOT_USE);
    EXPECT_EQ(filter.QueryBinary("FilterData", &data), ERROR_SUCCESS);
    EXPECT_FALSE(data.empty());
}

INSTANTIATE_TEST_SUITE_P(Modules, RelayModuleRegistration, testing::ValuesIn(kModules),
                         [](const auto& info) { return std::string(info.param.clsid == CLSID_RelaySink ? "Sink" : "Source"); });

}  // namespace
