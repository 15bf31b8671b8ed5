#pragma once
// The program's entry: start-up prepares the process (INI documents, the
// media runtime check, the named lock, the desktop entry, the filter modules,
// the shared drawing resources), runs the main window until it closes, and
// shutdown saves the settings once and releases what start-up made.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>

#include "platform/system/named_lock.h"

// Where start-up finds and puts things.
struct ProgramPlaces {
    std::filesystem::path documentFolder;      // where korvanta.ini is read: the current folder
    std::filesystem::path programFile;         // the running program, named by the desktop entry
    std::filesystem::path moduleFolder;        // the filter modules installed with the program
    std::filesystem::path applicationsFolder;  // the user's desktop entries
};
// The places of the running program: its modules installed with it, or the build tree's.
ProgramPlaces InstalledProgramPlaces();

// The media runtime's version query: false when the runtime is missing.
using MediaRuntimeQuery = std::function<bool(std::uint32_t* version, std::uint32_t* revision)>;

class ProgramApplication {
public:
    // The oldest runtime version accepted (major 4, minor 8).
    static constexpr std::uint32_t kMinimumRuntimeVersion = 0x00040008;

    explicit ProgramApplication(ProgramPlaces places, MediaRuntimeQuery query = {});

    // Start-up: runs runMainWindow once everything is ready and it returns
    // when the window has closed. Returns false (the process then ends), also
    // when the runtime check failed and "NoDirectX" was shown.
    bool InitInstance(const std::function<void()>& runMainWindow);
    // Shutdown: saves the settings and releases the process-wide objects.
    // Called after InitInstance however far it got.
    void ExitInstance();

private:
    bool MediaRuntimeReady() const;

    ProgramPlaces places_;
    MediaRuntimeQuery query_;
    std::optional<NamedLock> lock_;
};

// The whole run as the program makes it: message boxes on screen, start-up
// with the installed places, runMainWindow, shutdown. Needs the QApplication.
int RunKorvanta(const std::function<void()>& runMainWindow);
