#pragma once
// A korvanta-capture run in a child process that the test can act on while it
// runs: its standard output and error go to files that are read as they
// grow, it can be sent a signal, and every wait for it is bounded; a child
// still running when the object goes is killed and reaped.
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace kvtest {

class CaptureRun {
public:
    // Starts arguments[0] with the rest as its arguments, in workDir; its
    // output files go into logDir.
    CaptureRun(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
               const std::filesystem::path& logDir);
    ~CaptureRun();
    CaptureRun(const CaptureRun&) = delete;
    CaptureRun& operator=(const CaptureRun&) = delete;

    bool Started() const { return pid_ > 0; }
    void Signal(int signal) const;
    // The exit code, -signal when a signal ended it, or nothing when it was
    // still running after limit (it is then killed).
    std::optional<int> Wait(std::chrono::milliseconds limit);
    // False once the child has ended (or never started).
    bool Running();
    // Waits until standard error holds text; false when the child ended or the time ran out first.
    bool WaitForError(const std::string& text, std::chrono::milliseconds limit);

    std::string Output() const;
    std::string Error() const;

private:
    bool Reap(bool block);

    std::filesystem::path outFile_, errFile_;
    pid_t pid_ = -1;
    std::optional<int> exitCode_;
};

}  // namespace kvtest
