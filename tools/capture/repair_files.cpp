#include "repair_files.h"

#include <filesystem>
#include <ostream>

#include "platform/media/filters/avi/avi_repair.h"

int RepairFiles(const std::vector<std::string>& files, std::ostream& out, std::ostream& errors) {
    int exitCode = 0;
    for (const std::string& file : files) {
        std::error_code ignored;
        const std::filesystem::path path = std::filesystem::absolute(file, ignored);
        const AviRepairResult result = RepairAviFile(path);
        switch (result.outcome) {
        case AviRepairOutcome::Repaired:
            out << "repaired: " << path.string() << " frames: " << result.frames << "\n";
            continue;
        case AviRepairOutcome::AlreadyWhole:
            out << "whole: " << path.string() << " frames: " << result.frames << "\n";
            continue;
        case AviRepairOutcome::NotOurs:
            errors << "korvanta-capture: " << file << ": not a DV AVI file written by Korvanta; left unchanged\n";
            break;
        case AviRepairOutcome::NoWholeFrame:
            errors << "korvanta-capture: " << file << ": holds no whole frame; left unchanged\n";
            break;
        case AviRepairOutcome::Failed:
            errors << "korvanta-capture: " << file << ": cannot be read or written (error 0x" << std::hex
                   << unsigned(result.error) << std::dec << "); left as it was\n";
            break;
        }
        exitCode = 1;
    }
    out.flush();
    return exitCode;
}
