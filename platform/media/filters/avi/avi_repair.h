#pragma once
// Repair of DV AVI files the writer began and never closed (a crash, a power
// cut, a killed capture): the file gets the indexes and headers it would have
// had, had the writer closed it after its last whole frame. No frame is
// touched; what lies after the last whole frame (half a frame, half an index,
// a RIFF just begun) is cut off. A file already whole is left as it is, and
// so is a file that is not a DV AVI written by this program.
//
// The program's window asks CheckAviFile before it offers a repair, and
// repairs with RepairAviFile only once the user agrees.
#include <cstdint>
#include <filesystem>

#include "platform/com/hresult.h"
#include "platform/media/filters/avi/avi_layout.h"

enum class AviRepairOutcome {
    Repaired,      // the file was unfinished and is whole now (from CheckAviFile: would be)
    AlreadyWhole,  // nothing to change
    NotOurs,       // not a DV AVI written by this program: left as it is
    NoWholeFrame,  // ours, but not one whole frame in it: left as it is
    Failed,        // the file could not be read or written: `error` says why
};

struct AviRepairResult {
    AviRepairOutcome outcome = AviRepairOutcome::Failed;
    std::uint64_t frames = 0;  // whole frames in the file
    HRESULT error = S_OK;
};

// Whether RepairAviFile would change the file; the file is only read.
AviRepairResult CheckAviFile(const std::filesystem::path& path, std::uint64_t riffLimit = avi::kOpenDmlRiffLimit);
// Repairs the file in place. `riffLimit` is the writer's; tests lower it.
AviRepairResult RepairAviFile(const std::filesystem::path& path, std::uint64_t riffLimit = avi::kOpenDmlRiffLimit);
