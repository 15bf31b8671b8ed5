#include "korvanta/core/ini_documents.h"

#include <string>
#include <system_error>

#include "platform/system/program_folder.h"
#include "platform/system/user_folders.h"

IniFile& SettingsDocument() {
    static IniFile document;
    return document;
}

IniFile& LanguageDocument() {
    static IniFile document;
    return document;
}

IniFile& ApplicationDocument() {
    static IniFile document;
    return document;
}

IniFile& TransientDocument() {
    static IniFile document;
    return document;
}

namespace {

std::filesystem::path NamedFile(std::string_view key, std::string_view fallback) {
    std::string name;
    ApplicationDocument().ReadText("App", key, name);
    return name.empty() ? std::filesystem::path(fallback) : std::filesystem::path(name);
}

}  // namespace

void LoadProgramDocuments(const std::filesystem::path& folder) {
    std::error_code error;
    const std::filesystem::path application = folder / "korvanta.ini";
    const bool named = std::filesystem::exists(application, error);
    ApplicationDocument().Load(application);

    // Without korvanta.ini the settings are the user's own, in the XDG
    // configuration folder, wherever the program is started from.
    std::filesystem::path settingsFolder = named ? folder : ProgramConfigFolder();
    if (settingsFolder.empty()) settingsFolder = folder;
    SettingsDocument().Load(settingsFolder / NamedFile("settings", "Settings.ini"));

    // A language file named by korvanta.ini is taken from folder when it is
    // there; otherwise from the program's own files.
    const std::filesystem::path language = NamedFile("language", "Language.ini");
    std::filesystem::path languagePath = folder / language;
    const std::filesystem::path dataFolder = ProgramDataFolder();
    if (language.is_relative() && !dataFolder.empty() && (!named || !std::filesystem::exists(languagePath, error)))
        languagePath = dataFolder / language;
    LanguageDocument().Load(languagePath);
}

bool SaveSettingsDocument() {
    // The XDG configuration folder may not exist yet on a first run.
    std::error_code error;
    const std::filesystem::path folder = SettingsDocument().FileName().parent_path();
    if (!folder.empty()) std::filesystem::create_directories(folder, error);
    return SettingsDocument().Save();
}
