#include "capture_child.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <fstream>
#include <iterator>
#include <thread>

extern char** environ;

namespace kvtest {

namespace {

std::string ReadWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

CaptureChild::CaptureChild(const std::vector<std::string>& arguments, const std::filesystem::path& workDir)
    : outFile_(workDir / "capture.out"), errFile_(workDir / "capture.err") {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    // The program reads its settings and language from its working folder.
    posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errFile_.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const auto& argument : arguments) argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    if (::posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ) != 0) pid_ = -1;
    posix_spawn_file_actions_destroy(&actions);
}

CaptureChild::~CaptureChild() {
    if (pid_ > 0 && !exitCode_) {
        ::kill(pid_, SIGKILL);
        Reap(true);
    }
}

bool CaptureChild::Reap(bool block) {
    int status = 0;
    pid_t got;
    while ((got = ::waitpid(pid_, &status, block ? 0 : WNOHANG)) < 0 && errno == EINTR) {
    }
    if (got != pid_) return false;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return true;
}

bool CaptureChild::Running() { return pid_ > 0 && !exitCode_ && !Reap(false); }

std::optional<int> CaptureChild::Wait(std::chrono::milliseconds limit) {
    if (pid_ <= 0) return std::nullopt;
    const auto end = std::chrono::steady_clock::now() + limit;
    while (Running()) {
        if (std::chrono::steady_clock::now() > end) {
            ::kill(pid_, SIGKILL);
            Reap(true);
            return std::nullopt;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return exitCode_;
}

std::string CaptureChild::Output() const { return ReadWhole(outFile_); }
std::string CaptureChild::Error() const { return ReadWhole(errFile_); }

}  // namespace kvtest
