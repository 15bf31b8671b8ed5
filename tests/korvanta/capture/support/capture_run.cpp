#include "tests/korvanta/capture/support/capture_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/com/unique_fd.h"

extern char** environ;

namespace kvtest {

namespace {

std::string ReadAll(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

CaptureRun::CaptureRun(const std::vector<std::string>& arguments, const std::filesystem::path& workDir,
                       const std::filesystem::path& logDir)
    : outFile_(logDir / "stdout.txt"), errFile_(logDir / "stderr.txt") {
    const UniqueFd out(::open(outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    const UniqueFd err(::open(errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!out || !err || arguments.empty()) return;

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out.Get(), STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, err.Get(), STDERR_FILENO);
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    std::vector<char*> argv;
    for (const std::string& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    pid_t pid = -1;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) pid_ = pid;
    posix_spawn_file_actions_destroy(&actions);
}

CaptureRun::~CaptureRun() {
    if (pid_ <= 0 || exitCode_) return;
    ::kill(pid_, SIGKILL);
    Reap(true);
}

void CaptureRun::Signal(int signal) const {
    if (pid_ > 0 && !exitCode_) ::kill(pid_, signal);
}

bool CaptureRun::Reap(bool block) {
    if (exitCode_) return true;
    int status = 0;
    pid_t got = 0;
    do {
        got = ::waitpid(pid_, &status, block ? 0 : WNOHANG);
    } while (got < 0 && errno == EINTR);
    if (got != pid_) return false;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -WTERMSIG(status);
    return true;
}

bool CaptureRun::Running() { return pid_ > 0 && !Reap(false); }

std::optional<int> CaptureRun::Wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return std::nullopt;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (!Reap(false)) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid_, SIGKILL);
            Reap(true);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exitCode_;
}

bool CaptureRun::WaitForError(const std::string& text, std::chrono::milliseconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Error().find(text) == std::string::npos) {
        if (pid_ <= 0 || Reap(false) || std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

std::string CaptureRun::Output() const { return ReadAll(outFile_); }
std::string CaptureRun::Error() const { return ReadAll(errFile_); }

}  // namespace kvtest
