#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "platform/com/registry.h"
#include "platform/com/registry_key.h"
#include "tests/platform/com/scoped_registry.h"

namespace {

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

std::vector<std::string> ValueNames(HKEY key) {
    std::vector<std::string> names;
    char name[64];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof name;
        if (RegEnumValue(key, index, name, &nameSize, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
        names.emplace_back(name, nameSize);
    }
    return names;
}

class RegistryTest : public testing::Test {
protected:
    kvtest::ScopedRegistry registry_;
};

TEST_F(RegistryTest, ValuesRoundTripWithTheirTypesAndExactBytes) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, "CLSID\\{1}\\InprocServer32"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(nullptr, "/lib/\"odd\"\\path\n\xC3\xA9"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetDword("Merit", 0x00200000), ERROR_SUCCESS);
    const BYTE qword[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(RegSetValueEx(key.Get(), "Q", REG_QWORD, qword, sizeof qword), ERROR_SUCCESS);
    const BYTE oddString[] = {'a', 0, 'b'};  // REG_SZ without a single terminating zero keeps its bytes
    ASSERT_EQ(RegSetValueEx(key.Get(), "Odd", REG_SZ, oddString, sizeof oddString), ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueEx(key.Get(), "Empty", REG_BINARY, nullptr, 0), ERROR_SUCCESS);

    // A fresh handle reads the stored file, not anything kept in the first one.
    RegKey again;
    ASSERT_EQ(again.Open(HKEY_CLASSES_ROOT, "clsid\\{1}\\INPROCSERVER32"), ERROR_SUCCESS);
    std::string path;
    EXPECT_EQ(again.QueryString("", &path), ERROR_SUCCESS);
    EXPECT_EQ(path, "/lib/\"odd\"\\path\n\xC3\xA9");
    DWORD merit = 0;
    EXPECT_EQ(again.QueryDword("merit", &merit), ERROR_SUCCESS);
    EXPECT_EQ(merit, 0x00200000u);
    std::vector<BYTE> bytes;
    DWORD type = 0;
    EXPECT_EQ(again.QueryBinary("Q", &bytes, &type), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_QWORD);
    EXPECT_EQ(bytes, std::vector<BYTE>(qword, qword + 8));
    EXPECT_EQ(again.QueryBinary("Odd", &bytes, &type), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(bytes, std::vector<BYTE>(oddString, oddString + 3));
    EXPECT_EQ(again.QueryBinary("Empty", &bytes, &type), ERROR_SUCCESS);
    EXPECT_TRUE(bytes.empty());
    EXPECT_EQ(again.QueryDword("Q", &merit), ERROR_UNSUPPORTED_TYPE);
    EXPECT_EQ(again.QueryString("Missing", &path), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, QueryReportsSizesAndShortBuffers) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CURRENT_USER, "Software\\Korvanta"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("Name", "abc"), ERROR_SUCCESS);

    DWORD type = 0, size = 0;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Name", &type, nullptr, &size), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_SZ);
    EXPECT_EQ(size, 4u);  // with the terminating zero

    BYTE buffer[8] = {};
    size = 3;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Name", nullptr, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    size = sizeof buffer;
    EXPECT_EQ(RegQueryValueEx(key.Get(), "Name", nullptr, buffer, &size), ERROR_SUCCESS);
    EXPECT_EQ(size, 4u);
    EXPECT_STREQ(reinterpret_cast<char*>(buffer), "abc");

    char shortName[2];
    DWORD nameSize = sizeof shortName;
    EXPECT_EQ(RegEnumValue(key.Get(), 0, shortName, &nameSize, nullptr, nullptr, nullptr), ERROR_MORE_DATA);
    char name[16];
    nameSize = sizeof name;
    size = 2;
    EXPECT_EQ(RegEnumValue(key.Get(), 0, name, &nameSize, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(RegEnumKey(HKEY_CURRENT_USER, 0, shortName, sizeof shortName), ERROR_MORE_DATA);
    EXPECT_EQ(RegEnumKey(HKEY_CURRENT_USER, 1, name, sizeof name), ERROR_NO_MORE_ITEMS);
}

TEST_F(RegistryTest, EnumerationIsSortedWithoutRegardToCaseAndKeepsStoredCase) {
    for (const char* name : {"beta", "Alpha", "gamma", "Delta"}) {
        RegKey key;
        ASSERT_EQ(key.Create(HKEY_LOCAL_MACHINE, (std::string("Root\\") + name).c_str()), ERROR_SUCCESS);
    }
    RegKey created;
    ASSERT_EQ(created.Create(HKEY_LOCAL_MACHINE, "ROOT\\ALPHA"), ERROR_SUCCESS);  // the same key again
    RegKey root;
    ASSERT_EQ(root.Open(HKEY_LOCAL_MACHINE, "Root"), ERROR_SUCCESS);
    std::vector<std::string> names;
    ASSERT_EQ(root.SubKeyNames(&names), ERROR_SUCCESS);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Delta", "gamma"}));

    for (const char* name : {"z", "B", "a", ""}) ASSERT_EQ(root.SetDword(name, 1), ERROR_SUCCESS);
    ASSERT_EQ(root.SetDword("b", 2), ERROR_SUCCESS);  // replaces "B", keeps its spelling
    EXPECT_EQ(ValueNames(root.Get()), (std::vector<std::string>{"", "a", "B", "z"}));
}

TEST_F(RegistryTest, DeletingValuesKeysAndTrees) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, "CLSID\\{A}\\InprocServer32"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString("ThreadingModel", "Both"), ERROR_SUCCESS);
    RegKey sibling;
    ASSERT_EQ(sibling.Create(HKEY_CLASSES_ROOT, "CLSID\\{B}"), ERROR_SUCCESS);

    EXPECT_EQ(RegDeleteValue(key.Get(), "ThreadingModel"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteValue(key.Get(), "ThreadingModel"), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{A}"), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "CLSID\\{A}"), ERROR_FILE_NOT_FOUND);

    HKEY gone = nullptr;
    EXPECT_EQ(RegOpenKey(HKEY_CLASSES_ROOT, "CLSID\\{A}\\InprocServer32", &gone), ERROR_FILE_NOT_FOUND);
    // The open handle names a deleted key now.
    EXPECT_EQ(key.SetString("X", "y"), ERROR_KEY_DELETED);
    EXPECT_EQ(sibling.SetString(nullptr, "still here"), ERROR_SUCCESS);

    // No subkey: everything below the key goes, the key stays.
    RegKey clsid;
    ASSERT_EQ(clsid.Open(HKEY_CLASSES_ROOT, "CLSID"), ERROR_SUCCESS);
    ASSERT_EQ(clsid.SetDword("V", 1), ERROR_SUCCESS);
    EXPECT_EQ(RegDeleteTree(clsid.Get(), nullptr), ERROR_SUCCESS);
    std::vector<std::string> names;
    EXPECT_EQ(clsid.SubKeyNames(&names), ERROR_SUCCESS);
    EXPECT_TRUE(names.empty());
    EXPECT_TRUE(ValueNames(clsid.Get()).empty());
}

TEST_F(RegistryTest, BadArgumentsAndHandlesAreRefused) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKey(HKEY_CLASSES_ROOT, "Nothing", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, "Bad\nName", &key), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, "A", nullptr), ERROR_INVALID_PARAMETER);
    std::string deepPath = "K";
    for (int depth = 1; depth <= 512; ++depth) deepPath += "\\K";
    EXPECT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, deepPath.c_str(), &key), ERROR_INVALID_PARAMETER);
    const HKEY bogus = reinterpret_cast<HKEY>(std::uintptr_t{0x12345678});
    EXPECT_EQ(RegSetValueEx(bogus, "V", REG_DWORD, nullptr, 0), ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(bogus), ERROR_INVALID_HANDLE);

    ASSERT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, "A", &key), ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueEx(key, "V", REG_BINARY, nullptr, 4), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    EXPECT_EQ(RegCloseKey(key), ERROR_INVALID_HANDLE);  // a closed handle is not reused silently
    EXPECT_EQ(RegQueryValueEx(key, "V", nullptr, nullptr, nullptr), ERROR_INVALID_HANDLE);
}

TEST_F(RegistryTest, FilesLiveWhereKorvantaRegistryPoints) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, "CLSID\\{C}"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(nullptr, "Named"), ERROR_SUCCESS);
    const auto text = ReadFile(registry_.folder() / "HKEY_CLASSES_ROOT.reg");
    EXPECT_NE(text.find("[CLSID\\{C}]\n@=sz:\"Named\"\n"), std::string::npos) << text;
    EXPECT_FALSE(std::filesystem::exists(registry_.folder() / "HKEY_CURRENT_USER.reg"));

    // Another folder is another registry.
    kvtest::ScopedRegistry other;
    HKEY missing = nullptr;
    EXPECT_EQ(RegOpenKey(HKEY_CLASSES_ROOT, "CLSID\\{C}", &missing), ERROR_FILE_NOT_FOUND);
}

TEST_F(RegistryTest, DamagedFileIsReportedAndNeverOverwritten) {
    RegKey key;
    ASSERT_EQ(key.Create(HKEY_CLASSES_ROOT, "CLSID\\{D}"), ERROR_SUCCESS);
    const auto file = registry_.folder() / "HKEY_CLASSES_ROOT.reg";
    const std::string damaged = ReadFile(file) + "@=dword:12\n\x01\x02 not a line\n";
    WriteFile(file, damaged);

    HKEY opened = nullptr;
    EXPECT_EQ(RegOpenKey(HKEY_CLASSES_ROOT, "CLSID\\{D}", &opened), ERROR_BADDB);
    EXPECT_EQ(RegCreateKey(HKEY_CLASSES_ROOT, "CLSID\\{E}", &opened), ERROR_BADDB);
    EXPECT_EQ(key.SetString(nullptr, "x"), ERROR_BADDB);
    EXPECT_EQ(RegDeleteTree(HKEY_CLASSES_ROOT, "CLSID"), ERROR_BADDB);
    char name[64];
    EXPECT_EQ(RegEnumKey(HKEY_CLASSES_ROOT, 0, name, sizeof name), ERROR_BADDB);
    EXPECT_EQ(ReadFile(file), damaged);

    // The other roots are separate files and keep working.
    RegKey user;
    EXPECT_EQ(user.Create(HKEY_CURRENT_USER, "Software"), ERROR_SUCCESS);
}

// Writers in several processes and threads change different keys at the
// same time; every change must survive the others' read-modify-write.
TEST_F(RegistryTest, ConcurrentWritersInProcessesAndThreadsLoseNothing) {
    constexpr int kWrites = 40;
    const auto writeKeys = [](const std::string& writer) {
        bool ok = true;
        for (int i = 0; i < kWrites; ++i) {
            RegKey key;
            ok &= key.Create(HKEY_CLASSES_ROOT, ("Writers\\" + writer + "\\" + std::to_string(i)).c_str()) ==
                  ERROR_SUCCESS;
            ok &= key.SetDword("Index", static_cast<DWORD>(i)) == ERROR_SUCCESS;
        }
        return ok;
    };

    std::vector<pid_t> children;
    for (const char* writer : {"ProcessA", "ProcessB"}) {
        const pid_t pid = ::fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) ::_exit(writeKeys(writer) ? 0 : 1);
        children.push_back(pid);
    }
    bool threadsOk[2] = {};
    std::thread first([&] { threadsOk[0] = writeKeys("ThreadA"); });
    std::thread second([&] { threadsOk[1] = writeKeys("ThreadB"); });
    first.join();
    second.join();
    for (const pid_t pid : children) {
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_TRUE(threadsOk[0] && threadsOk[1]);

    for (const char* writer : {"ProcessA", "ProcessB", "ThreadA", "ThreadB"}) {
        RegKey key;
        ASSERT_EQ(key.Open(HKEY_CLASSES_ROOT, (std::string("Writers\\") + writer).c_str()), ERROR_SUCCESS) << writer;
        std::vector<std::string> names;
        ASSERT_EQ(key.SubKeyNames(&names), ERROR_SUCCESS);
        EXPECT_EQ(names.size(), static_cast<std::size_t>(kWrites)) << writer;
        for (const auto& name : names) {
            RegKey entry;
            DWORD index = 0;
            ASSERT_EQ(entry.Open(key.Get(), name.c_str()), ERROR_SUCCESS);
            EXPECT_EQ(entry.QueryDword("Index", &index), ERROR_SUCCESS) << writer << "\\" << name;
            EXPECT_EQ(std::to_string(index), name);
        }
    }
}

}  // namespace
