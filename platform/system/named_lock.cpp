#include "platform/system/named_lock.h"

#include <fcntl.h>
#include <sys/file.h>

#include <cerrno>
#include <cstdlib>
#include <system_error>

std::filesystem::path NamedLockPath(const std::string& name) {
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    std::error_code error;
    std::filesystem::path folder = runtime && *runtime ? std::filesystem::path(runtime)
                                                       : std::filesystem::temp_directory_path(error);
    return folder / (name + ".lock");
}

NamedLock::NamedLock(const std::string& name) {
    UniqueFd fd(::open(NamedLockPath(name).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600));
    if (fd && ::flock(fd.Get(), LOCK_SH) == 0) fd_ = std::move(fd);
}

bool NamedLockInUse(const std::string& name) {
    UniqueFd fd(::open(NamedLockPath(name).c_str(), O_RDWR | O_CLOEXEC));
    if (!fd) return false;
    // A shared holder anywhere makes the exclusive try fail at once.
    return ::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0 && errno == EWOULDBLOCK;
}
