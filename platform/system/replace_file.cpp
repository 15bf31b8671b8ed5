#include "platform/system/replace_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <system_error>

namespace {

// Owns a file descriptor for the length of one write.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;

    int Get() const { return fd_; }
    bool Valid() const { return fd_ >= 0; }
    // Closing can report a delayed write error, so its result counts.
    bool Close() {
        if (fd_ < 0) return true;
        const bool closed = ::close(fd_) == 0;
        fd_ = -1;
        return closed;
    }

private:
    int fd_;
};

bool WriteAll(int fd, std::string_view data) {
    while (!data.empty()) {
        const ssize_t written = ::write(fd, data.data(), data.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        data.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

std::filesystem::path ResolveLinks(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path resolved = std::filesystem::canonical(path, error);
    return error ? path : resolved;
}

bool WriteInPlace(const std::filesystem::path& path, std::string_view data) {
    FileDescriptor file(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666));
    return file.Valid() && WriteAll(file.Get(), data) && ::fsync(file.Get()) == 0 && file.Close();
}

}  // namespace

bool ReplaceFileContents(const std::filesystem::path& requested, std::string_view data) {
    const std::filesystem::path path = ResolveLinks(requested);

    // The temporary file is created with 0666 so the umask applies to a new
    // file as it would to any other; an old file's permissions are copied.
    std::string temporaryName;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporaryName = path.string() + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
        fd = ::open(temporaryName.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    FileDescriptor temporary(fd);
    if (!temporary.Valid()) {
        // A folder that allows no new files may still hold a writable file.
        if (errno == EACCES || errno == EPERM || errno == EROFS) return WriteInPlace(path, data);
        return false;
    }

    struct stat old {};
    const bool keepMode = ::stat(path.c_str(), &old) == 0;
    const bool stored = (!keepMode || ::fchmod(temporary.Get(), old.st_mode & 07777) == 0) &&
                        WriteAll(temporary.Get(), data) && ::fsync(temporary.Get()) == 0 && temporary.Close() &&
                        ::rename(temporaryName.c_str(), path.c_str()) == 0;
    if (!stored) {
        temporary.Close();
        ::unlink(temporaryName.c_str());
    }
    return stored;
}
