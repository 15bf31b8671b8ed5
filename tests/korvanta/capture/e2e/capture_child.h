#pragma once
// A korvanta-capture run as a child process that the test can act on while
// it runs: standard output and standard error go to files, and every wait is
// bounded; a child still running when the object goes is killed and reaped.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvtest {

class CaptureChild {
public:
    // Starts arguments[0] with the rest as its arguments in workDir, which
    // also takes its output files.
    CaptureChild(const std::vector<std::string>& arguments, const std::filesystem::path& workDir);
    ~CaptureChild();
    CaptureChild(const CaptureChild&) = delete;
    CaptureChild& operator=(const CaptureChild&) = delete;

    bool Started() const { return pid_ > 0; }
    // The exit code, -1 when it did not exit normally, or nothing when it
    // still ran after limit (it is then killed).
    std::optional<int> Wait(std::chrono::milliseconds limit);
    bool Running();

    std::string Output() const;
    std::string Error() const;

private:
    bool Reap(bool block);

    std::filesystem::path outFile_, errFile_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

}  // namespace kvtest
