// Filter module registration over the process's class table (the test
// filters): COM server keys plus the filter mapper entry, and their removal.
#include <gtest/gtest.h>

#include <string>

#include "platform/com/com_ptr.h"
#include "platform/com/guid.h"
#include "platform/com/objbase.h"
#include "platform/com/registry.h"
#include "platform/media/base/dllsetup.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/uuids.h"
#include "support/media/test_types.h"

namespace kvtest {
namespace {

bool ServerKeyExists(const CLSID& clsid) {
    const std::string path = "CLSID\\" + GuidToString(clsid) + "\\InprocServer32";
    HKEY key = nullptr;
    if (RegOpenKey(HKEY_CLASSES_ROOT, path.c_str(), &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
}

// The registered filters that take video of subtype TestA.
int FiltersTakingTestA() {
    ComPtr<IFilterMapper2> mapper;
    EXPECT_EQ(S_OK, CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                                     mapper.GetVoidAddress()));
    const GUID input[2] = {MEDIATYPE_Video, MEDIASUBTYPE_TestA};
    ComPtr<IEnumMoniker> found;
    EXPECT_EQ(S_OK, mapper->EnumMatchingFilters(found.GetAddressOf(), 0, TRUE, MERIT_DO_NOT_USE, TRUE, 1, input,
                                                nullptr, nullptr, FALSE, FALSE, 0, nullptr, nullptr, nullptr));
    int count = 0;
    ComPtr<IMoniker> moniker;
    while (found && found->Next(1, moniker.GetAddressOf(), nullptr) == S_OK) ++count;
    return count;
}

TEST(Registration, RegistersServersAndFiltersThenRemovesBoth) {
    ASSERT_EQ(S_OK, KvMediaRegisterPlatformClasses());
    EXPECT_EQ(0, FiltersTakingTestA());

    ASSERT_EQ(S_OK, AMovieDllRegisterServer2(TRUE));
    EXPECT_TRUE(ServerKeyExists(CLSID_TestConverter));
    EXPECT_TRUE(ServerKeyExists(CLSID_TestSink));
    EXPECT_EQ(1, FiltersTakingTestA());

    ASSERT_EQ(S_OK, AMovieDllRegisterServer2(FALSE));
    EXPECT_FALSE(ServerKeyExists(CLSID_TestConverter));
    EXPECT_FALSE(ServerKeyExists(CLSID_TestSink));
    EXPECT_EQ(0, FiltersTakingTestA());
}

}  // namespace
}  // namespace kvtest
