// Start-up and shutdown through the real program object: documents, the
// runtime check, the named lock, the desktop entry and module registration.
#include <gtest/gtest.h>

#include <sys/inotify.h>
#include <unistd.h>

#include <QApplication>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>

#include "korvanta/core/desktop_entry.h"
#include "korvanta/core/ini_documents.h"
#include "korvanta/core/language.h"
#include "korvanta/core/program_application.h"
#include "korvanta/core/program_help.h"
#include "platform/com/registry_key.h"
#include "platform/com/unique_fd.h"
#include "platform/system/named_lock.h"
#include "support/temp_dir.h"
#include "tools/regsvr/module_registration.h"

namespace fs = std::filesystem;

namespace {

std::string FileText(const fs::path& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

void WriteFile(const fs::path& path, const std::string& text) {
    std::ofstream(path) << text;
}

// Counts the times a file of the folder is completed: written and closed, or
// renamed into place.
class FileWrites {
public:
    explicit FileWrites(const fs::path& folder) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
        inotify_add_watch(fd_.Get(), folder.c_str(), IN_CLOSE_WRITE | IN_MOVED_TO);
    }
    int Count(const std::string& name) {
        alignas(inotify_event) char buffer[8192];
        for (ssize_t got; (got = read(fd_.Get(), buffer, sizeof buffer)) > 0;)
            for (char* at = buffer; at < buffer + got;) {
                const auto* event = reinterpret_cast<const inotify_event*>(at);
                if (event->len) ++counts_[event->name];
                at += sizeof(inotify_event) + event->len;
            }
        return counts_[name];
    }

private:
    UniqueFd fd_;
    std::map<std::string, int> counts_;
};

class RecordingPresenter final : public MessageBoxPresenter {
public:
    MessageBoxResult Show(std::string_view text, std::string_view, MessageBoxButtons) override {
        texts.emplace_back(text);
        return MessageBoxResult::Ok;
    }
    std::vector<std::string> texts;
};

class ProgramStartTest : public testing::Test {
protected:
    ProgramStartTest() {
        fs::create_directory(dir_ / "run");
        setenv("XDG_RUNTIME_DIR", (dir_ / "run").c_str(), 1);
        places_ = {dir_.path(), dir_ / "korvanta", {}, dir_ / "apps"};
    }
    kvtest::TempDir dir_;
    ProgramPlaces places_;
};

TEST_F(ProgramStartTest, SettingsFileNamedInKorvantaIniIsReadAndSavedOnceWhileASecondCopyRuns) {
    WriteFile(dir_ / "korvanta.ini", "[App]\nsettings = Mine.ini\n");
    WriteFile(dir_ / "Mine.ini", "[Preview]\nMaxPlay = 2\n");
    FileWrites writes(dir_.path());
    bool secondRan = false;
    ProgramApplication program(places_);
    const bool result = program.InitInstance([&] {
        std::string value;
        SettingsDocument().ReadText("Preview", "MaxPlay", value);
        EXPECT_EQ(value, "2");
        EXPECT_TRUE(NamedLockInUse("korvanta"));
        ProgramApplication second(places_);
        second.InitInstance([&] { secondRan = true; });
        SettingsDocument().WriteText("Preview", "MaxPlay", "3");
    });
    EXPECT_FALSE(result);
    EXPECT_TRUE(secondRan);
    EXPECT_EQ(writes.Count("Mine.ini"), 0);
    program.ExitInstance();
    EXPECT_EQ(writes.Count("Mine.ini"), 1);
    EXPECT_NE(FileText(dir_ / "Mine.ini").find("MaxPlay = 3"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir_ / "Settings.ini"));
    EXPECT_FALSE(NamedLockInUse("korvanta"));
    EXPECT_TRUE(fs::exists(dir_ / "apps" / "korvanta.desktop"));
    // Help finds the manual where the program is installed.
    EXPECT_TRUE(fs::exists(HelpFilePath()));
}

TEST_F(ProgramStartTest, MissingOrOldMediaRuntimeShowsNoDirectXAndStillSavesOnce) {
    // korvanta.ini keeps the settings in the folder watched here.
    WriteFile(dir_ / "korvanta.ini", "[App]\nsettings = Settings.ini\n");
    for (const std::uint32_t installed : {0u, 0x00040007u}) {
        WriteFile(dir_ / "Settings.ini", "[General]\nShowTooltips = 1\n");
        FileWrites writes(dir_.path());
        RecordingPresenter presenter;
        ScopedMessageBoxPresenter showing(presenter);
        ProgramApplication program(places_, [&](std::uint32_t* version, std::uint32_t* revision) {
            *version = installed;
            *revision = 0;
            return installed != 0;
        });
        bool ran = false;
        EXPECT_FALSE(program.InitInstance([&] { ran = true; }));
        program.ExitInstance();
        EXPECT_FALSE(ran);
        ASSERT_EQ(presenter.texts.size(), 1u);
        // The text comes from the installed language file.
        EXPECT_EQ(presenter.texts[0], ErrorText("NoDirectX"));
        EXPECT_NE(presenter.texts[0].find("FFmpeg"), std::string::npos);
        EXPECT_EQ(writes.Count("Settings.ini"), 1);
        EXPECT_FALSE(fs::exists(dir_ / "apps"));
    }
}

TEST(DesktopEntry, WrittenWhenMissingOrNamedOtherwiseAndOtherwiseLeftAlone) {
    kvtest::TempDir dir;
    const fs::path folder = dir / "applications";
    const fs::path entry = folder / "korvanta.desktop";
    ASSERT_TRUE(RegisterDesktopEntry(folder, "/opt/my \"video\"/korvanta"));
    const std::string written = FileText(entry);
    EXPECT_NE(written.find("\nName=Korvanta\n"), std::string::npos);
    EXPECT_NE(written.find("Exec=\"/opt/my \\\\\"video\\\\\"/korvanta\"\n"), std::string::npos) << written;

    WriteFile(entry, "[Desktop Entry]\nName[de]=Korvanta\nName=Other player\nExec=other\n");
    EXPECT_TRUE(RegisterDesktopEntry(folder, "/usr/bin/korvanta"));
    EXPECT_NE(FileText(entry).find("Exec=\"/usr/bin/korvanta\""), std::string::npos);

    // The Name alone decides: a moved program keeps the old path.
    const std::string current = "[Desktop Entry]\nName=Korvanta\nExec=/old/place/korvanta\n";
    WriteFile(entry, current);
    EXPECT_FALSE(RegisterDesktopEntry(folder, "/usr/bin/korvanta"));
    EXPECT_EQ(FileText(entry), current);
}

TEST(ModuleSetup, FreshRegistryGetsEveryModuleAndThePlatformFiltersOnce) {
    kvtest::TempDir registry;
    const std::string previous = std::getenv("KORVANTA_REGISTRY");
    setenv("KORVANTA_REGISTRY", registry.path().c_str(), 1);

    EXPECT_FALSE(PlatformFiltersRegistered());
    EXPECT_TRUE(RegisterMissingModules(KORVANTA_MODULE_DIR).empty());
    EXPECT_TRUE(PlatformFiltersRegistered());
    std::set<std::string> named;
    RegKey classes;
    std::vector<std::string> clsids;
    ASSERT_EQ(classes.Open(HKEY_CLASSES_ROOT, "CLSID"), ERROR_SUCCESS);
    ASSERT_EQ(classes.SubKeyNames(&clsids), ERROR_SUCCESS);
    for (const std::string& clsid : clsids) {
        RegKey server;
        std::string path;
        if (server.Open(HKEY_CLASSES_ROOT, ("CLSID\\" + clsid + "\\InprocServer32").c_str()) == ERROR_SUCCESS &&
            server.QueryString(nullptr, &path) == ERROR_SUCCESS)
            named.insert(fs::path(path).filename().string());
    }
    for (const char* module :
         {"libdvstamp.so", "liblevelprobe.so", "librelaysink.so", "librelaysource.so", "libstillgrab.so"})
        EXPECT_TRUE(named.contains(module)) << module;

    // The next start finds everything in place and writes nothing.
    FileWrites writes(registry.path());
    EXPECT_TRUE(RegisterMissingModules(KORVANTA_MODULE_DIR).empty());
    EXPECT_EQ(writes.Count("HKEY_CLASSES_ROOT.reg"), 0);
    EXPECT_EQ(writes.Count("HKEY_LOCAL_MACHINE.reg"), 0);
    setenv("KORVANTA_REGISTRY", previous.c_str(), 1);
}

}  // namespace
