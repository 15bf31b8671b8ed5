#pragma once
// korvanta-capture --repair: repairs the files a capture left unfinished, one
// line per file on `out`, a message on `errors` for each file left as it was.
#include <iosfwd>
#include <string>
#include <vector>

// The process's exit code: 0 when every file is whole now, 1 otherwise.
int RepairFiles(const std::vector<std::string>& files, std::ostream& out, std::ostream& errors);
