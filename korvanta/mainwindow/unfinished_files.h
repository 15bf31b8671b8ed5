#pragma once
// Files of a preview folder that a capture began and never closed (a crash,
// a power cut): the user is asked once for all of them whether they should
// be repaired, and they are repaired only on Yes.
#include <filesystem>
#include <string>
#include <vector>

// The names among names that a repair would make whole.
std::vector<std::string> UnfinishedFiles(const std::filesystem::path& folder, const std::vector<std::string>& names);
// Asks the "RepairFiles" question naming the files and repairs them on Yes;
// returns how many were repaired.
int OfferRepair(const std::filesystem::path& folder, const std::vector<std::string>& names);
