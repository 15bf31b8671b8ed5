// A real module registered by the real korvanta-regsvr in a child process,
// then created by CLSID here.
#include <dlfcn.h>
#include <fstream>
#include <gtest/gtest.h>

#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/registry_key.h"
#include "tests/platform/com/child_process.h"
#include "tests/platform/com/scoped_registry.h"
#include "tests/platform/com/test_module/test_module_ids.h"

namespace {

using kvtest::RunChild;

const std::string kRegsvr = KVTEST_REGSVR;
const std::string kModule = KVTEST_OBJECT_MODULE;
const std::string kNoExports = KVTEST_NO_EXPORTS_MODULE;

// The module's own DllCanUnloadNow, from the copy CoCreateInstance loaded.
HRESULT ModuleCanUnloadNow() {
    void* module = ::dlopen(kModule.c_str(), RTLD_NOW | RTLD_NOLOAD);
    if (!module) return E_UNEXPECTED;
    const auto canUnload = reinterpret_cast<DllCanUnloadNowFn>(::dlsym(module, "DllCanUnloadNow"));
    const HRESULT hr = canUnload ? canUnload() : E_UNEXPECTED;
    ::dlclose(module);  // drops only the reference taken just above
    return hr;
}

class ServerModuleTest : public testing::Test {
protected:
    kvtest::ScopedRegistry registry_;
};

TEST_F(ServerModuleTest, RegisteredModuleIsCreatedByClsidUntilUnregistered) {
    const auto registered = RunChild({kRegsvr, kModule});
    ASSERT_EQ(registered.exitCode, 0) << registered.output;

    RegKey server;
    const std::string serverKey = "CLSID\\" + GuidToString(CLSID_KvTestObject) + "\\InprocServer32";
    ASSERT_EQ(server.Open(HKEY_CLASSES_ROOT, serverKey.c_str()), ERROR_SUCCESS);
    std::string path, threadingModel;
    EXPECT_EQ(server.QueryString(nullptr, &path), ERROR_SUCCESS);
    EXPECT_EQ(path, std::filesystem::canonical(kModule).string());
    EXPECT_EQ(server.QueryString("ThreadingModel", &threadingModel), ERROR_SUCCESS);
    EXPECT_EQ(threadingModel, "Both");

    const auto listed = RunChild({kRegsvr, "--list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_EQ(listed.output, GuidToString(CLSID_KvTestObject) + "\t" + kKvTestObjectName + "\t" + path + "\n");

    {
        ComPtr<IPersist> object;
        ASSERT_EQ(CoCreateInstance(CLSID_KvTestObject, nullptr, CLSCTX_INPROC_SERVER, IID_IPersist,
                                   object.GetVoidAddress()),
                  S_OK);
        CLSID clsid{};
        EXPECT_EQ(object->GetClassID(&clsid), S_OK);
        EXPECT_EQ(clsid, CLSID_KvTestObject);
        EXPECT_EQ(ModuleCanUnloadNow(), S_FALSE);

        // The module's factory refuses aggregation for anything but IUnknown.
        ComPtr<IClassFactory> factory;
        ASSERT_EQ(CoGetClassObject(CLSID_KvTestObject, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   factory.GetVoidAddress()),
                  S_OK);
        void* aggregated = nullptr;
        EXPECT_EQ(factory->CreateInstance(object.Get(), IID_IPersist, &aggregated), CLASS_E_NOAGGREGATION);
        EXPECT_EQ(factory->LockServer(TRUE), S_OK);
        object.Reset();
        factory.Reset();
        EXPECT_EQ(ModuleCanUnloadNow(), S_FALSE);  // the server lock still holds it
        ASSERT_EQ(CoGetClassObject(CLSID_KvTestObject, CLSCTX_INPROC_SERVER, nullptr, IID_IClassFactory,
                                   factory.GetVoidAddress()),
                  S_OK);
        EXPECT_EQ(factory->LockServer(FALSE), S_OK);
    }
    EXPECT_EQ(ModuleCanUnloadNow(), S_OK);

    const auto unregistered = RunChild({kRegsvr, "-u", kModule});
    ASSERT_EQ(unregistered.exitCode, 0) << unregistered.output;
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(CLSID_KvTestObject, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                               object.GetVoidAddress()),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(RunChild({kRegsvr, "--list"}).output, "");
}

TEST_F(ServerModuleTest, ListShowsCategoryInstancesAsStored) {
    RegKey instance;
    ASSERT_EQ(instance.Create(HKEY_CLASSES_ROOT, "CLSID\\{CAT}\\Instance\\{FILTER}"), ERROR_SUCCESS);
    ASSERT_EQ(instance.SetString("FriendlyName", "Stamp"), ERROR_SUCCESS);
    ASSERT_EQ(instance.SetString("CLSID", "{FILTER}"), ERROR_SUCCESS);
    ASSERT_EQ(instance.SetDword("Merit", 0x00200000), ERROR_SUCCESS);
    RegKey category;
    ASSERT_EQ(category.Open(HKEY_CLASSES_ROOT, "CLSID\\{CAT}"), ERROR_SUCCESS);
    ASSERT_EQ(category.SetString("FriendlyName", "Test filters"), ERROR_SUCCESS);

    const auto listed = RunChild({kRegsvr, "--list"});
    EXPECT_EQ(listed.exitCode, 0) << listed.output;
    EXPECT_EQ(listed.output, "category {CAT}\tTest filters\n  {FILTER}\tStamp\tmerit 0x00200000\n");
}

TEST_F(ServerModuleTest, FailuresExitNonZeroWithAMessage) {
    const auto missing = RunChild({kRegsvr, "/nonexistent/libnothing.so"});
    EXPECT_NE(missing.exitCode, 0);
    EXPECT_NE(missing.output.find("/nonexistent/libnothing.so: no such file"), std::string::npos) << missing.output;

    const auto noExports = RunChild({kRegsvr, kNoExports});
    EXPECT_NE(noExports.exitCode, 0);
    EXPECT_NE(noExports.output.find("no DllRegisterServer export"), std::string::npos) << noExports.output;

    const auto notALibrary = RunChild({kRegsvr, std::string(KORVANTA_SOURCE_DIR) + "/CMakeLists.txt"});
    EXPECT_NE(notALibrary.exitCode, 0);
    EXPECT_NE(notALibrary.output.find("not a loadable library"), std::string::npos) << notALibrary.output;

    const auto usage = RunChild({kRegsvr});
    EXPECT_NE(usage.exitCode, 0);
    EXPECT_NE(usage.output.find("usage:"), std::string::npos);

    // The registry cannot be written (its lock is a folder): the module's own failure code is shown.
    std::filesystem::create_directories(registry_.folder() / "registry.lock");
    const auto failing = RunChild({kRegsvr, kModule});
    EXPECT_NE(failing.exitCode, 0);
    EXPECT_NE(failing.output.find("DllRegisterServer failed with 0x80040201"), std::string::npos) << failing.output;
}

TEST_F(ServerModuleTest, DamagedRegistryIsReportedNotReplaced) {
    const auto file = registry_.folder() / "HKEY_CLASSES_ROOT.reg";
    std::ofstream(file) << "not a registry\n";
    for (const auto& arguments : {std::vector<std::string>{kRegsvr, kModule}, {kRegsvr, "--list"}}) {
        const auto result = RunChild(arguments);
        EXPECT_NE(result.exitCode, 0);
        EXPECT_NE(result.output.find("is damaged"), std::string::npos) << result.output;
    }
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    EXPECT_EQ(line, "not a registry");
}

}  // namespace
