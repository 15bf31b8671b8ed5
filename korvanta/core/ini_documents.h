#pragma once
// The program's four INI documents. They live for the whole process: created
// empty on first use, loaded at start-up and destroyed after the program ends.
#include <filesystem>

#include "korvanta/core/ini_file.h"

IniFile& SettingsDocument();     // the user's settings; saved once, at exit
IniFile& LanguageDocument();     // every text the program shows; never written
IniFile& ApplicationDocument();  // korvanta.ini, which names the other two files
IniFile& TransientDocument();    // values that live for one run; no file

// Loads korvanta.ini from folder, then the settings and language files it
// names in section "App" ("settings", default "Settings.ini"; "language",
// default "Language.ini"). With korvanta.ini, relative names are taken from
// folder; a language file that is not there is taken from the program's own
// files (ProgramDataFolder), where the program is installed with its
// translation. Without korvanta.ini, the settings are Settings.ini in the
// user's configuration folder (ProgramConfigFolder) and the texts come from
// the program's own Language.ini. Missing files give empty documents.
void LoadProgramDocuments(const std::filesystem::path& folder);

// Saves the settings document to the file it was loaded from, creating its folder.
bool SaveSettingsDocument();
