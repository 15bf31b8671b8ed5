#pragma once
// UniqueFd: owns a POSIX file descriptor and closes it when it goes.
#include <unistd.h>

#include <utility>

class UniqueFd {
public:
    UniqueFd() = default;
    explicit UniqueFd(int fd) : fd_(fd) {}
    ~UniqueFd() { Reset(); }
    UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    UniqueFd& operator=(UniqueFd&& other) noexcept {
        if (this != &other) {
            Reset();
            fd_ = std::exchange(other.fd_, -1);
        }
        return *this;
    }
    UniqueFd(const UniqueFd&) = delete;
    UniqueFd& operator=(const UniqueFd&) = delete;

    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }

    void Reset() {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    }
    // Closes now and reports the result: a late write error shows up here.
    bool Close() {
        return fd_ < 0 || ::close(std::exchange(fd_, -1)) == 0;
    }

private:
    int fd_ = -1;
};
