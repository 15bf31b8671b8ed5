#include "korvanta/mainwindow/unfinished_files.h"

#include "korvanta/core/language.h"
#include "korvanta/core/message_box.h"
#include "platform/media/filters/avi/avi_repair.h"

std::vector<std::string> UnfinishedFiles(const std::filesystem::path& folder, const std::vector<std::string>& names) {
    std::vector<std::string> unfinished;
    for (const std::string& name : names)
        if (CheckAviFile(folder / name).outcome == AviRepairOutcome::Repaired) unfinished.push_back(name);
    return unfinished;
}

int OfferRepair(const std::filesystem::path& folder, const std::vector<std::string>& names) {
    const std::vector<std::string> unfinished = UnfinishedFiles(folder, names);
    if (unfinished.empty()) return 0;
    std::string question = MessageText("RepairFiles");
    for (const std::string& name : unfinished) question += "\n" + name;
    if (ShowMessageBox(question, MessageBoxButtons::YesNo) != MessageBoxResult::Yes) return 0;
    int repaired = 0;
    for (const std::string& name : unfinished)
        if (RepairAviFile(folder / name).outcome == AviRepairOutcome::Repaired) ++repaired;
    return repaired;
}
