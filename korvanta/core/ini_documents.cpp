#include "korvanta/core/ini_documents.h"

#include <string>
#include <system_error>

#include "platform/system/program_folder.h"

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
    ApplicationDocument().Load(folder / "korvanta.ini");
    SettingsDocument().Load(folder / NamedFile("settings", "Settings.ini"));

    const std::filesystem::path language = NamedFile("language", "Language.ini");
    std::filesystem::path languagePath = folder / language;
    std::error_code error;
    const std::filesystem::path programFolder = ProgramFolder();
    if (language.is_relative() && !programFolder.empty() && !std::filesystem::exists(languagePath, error)) {
        const std::filesystem::path installed = programFolder / language;
        if (std::filesystem::exists(installed, error)) languagePath = installed;
    }
    LanguageDocument().Load(languagePath);
}

bool SaveSettingsDocument() {
    return SettingsDocument().Save();
}
