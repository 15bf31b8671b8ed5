#pragma once
// The program's desktop entry "korvanta.desktop" in the user's applications
// folder, which takes the place of the video-camera AutoPlay handler: the
// desktop lists the program and starts it with no arguments. It is written
// with the handler's rule: only when it is missing or its Name differs (byte
// for byte) from "Korvanta"; otherwise it is left as it is, so a moved
// program keeps the old path until the Name differs.
#include <filesystem>

// $XDG_DATA_HOME/applications, else ~/.local/share/applications; empty when
// neither variable is set.
std::filesystem::path UserApplicationsFolder();

// Applies the rule in folder for the program file. Failures are not reported;
// returns true when the entry was written.
bool RegisterDesktopEntry(const std::filesystem::path& folder, const std::filesystem::path& programFile);
