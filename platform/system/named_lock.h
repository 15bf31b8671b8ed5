#pragma once
// A named lock: a file in the user's runtime folder ($XDG_RUNTIME_DIR, else
// the system's temporary folder) held open with a shared lock while the
// object lives. Any number of holders may share it; its being held tells
// other programs that one of them runs. The file stays behind when released,
// since another holder may still have it.
#include <filesystem>
#include <string>

#include "platform/com/unique_fd.h"

class NamedLock {
public:
    // Creates or opens the lock; failures leave it not held and are not reported.
    explicit NamedLock(const std::string& name);
    bool Held() const { return static_cast<bool>(fd_); }

private:
    UniqueFd fd_;
};

// Where the lock of that name lives.
std::filesystem::path NamedLockPath(const std::string& name);
// True while some process (this one included) holds the lock of that name.
bool NamedLockInUse(const std::string& name);
