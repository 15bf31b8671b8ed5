#include "platform/com/registry_store.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdlib>
#include <mutex>
#include <string>
#include <system_error>

#include "platform/com/registry.h"
#include "platform/com/registry_format.h"
#include "platform/com/unique_fd.h"

namespace kvreg {

namespace {

const char* FileName(Root root) {
    switch (root) {
        case Root::ClassesRoot: return "HKEY_CLASSES_ROOT.reg";
        case Root::CurrentUser: return "HKEY_CURRENT_USER.reg";
        case Root::LocalMachine: return "HKEY_LOCAL_MACHINE.reg";
    }
    return "";
}

std::filesystem::path HomeFolder() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    if (const passwd* user = getpwuid(getuid()); user && user->pw_dir) return user->pw_dir;
    return {};
}

// The last tree parsed for each root, with the text it came from. A run of
// reads (an enumeration, a class lookup) then costs one file read and a
// comparison instead of a parse each. Comparing the text itself, rather than
// a file's inode and times, cannot mistake a new version for the old, and
// stays right when the registry folder changes: equal text, equal tree.
class ParsedCache {
public:
    static ParsedCache& Instance() {
        static ParsedCache cache;
        return cache;
    }
    std::shared_ptr<const RegNode> Find(Root root, const std::string& text) {
        std::scoped_lock lock(mutex_);
        const Entry& entry = entries_[static_cast<std::size_t>(root)];
        return entry.tree && entry.text == text ? entry.tree : nullptr;
    }
    void Store(Root root, std::string text, std::shared_ptr<const RegNode> tree) {
        std::scoped_lock lock(mutex_);
        entries_[static_cast<std::size_t>(root)] = {std::move(text), std::move(tree)};
    }

private:
    struct Entry {
        std::string text;
        std::shared_ptr<const RegNode> tree;
    };
    std::mutex mutex_;
    std::array<Entry, 3> entries_;  // by Root; guarded by mutex_
};

LONG ErrorFromErrno(int error, LONG otherwise) {
    return error == EACCES || error == EPERM || error == EROFS ? ERROR_ACCESS_DENIED : otherwise;
}

bool ReadAll(int fd, std::string* text) {
    char buffer[16384];
    while (true) {
        const ssize_t got = ::read(fd, buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text->append(buffer, static_cast<std::size_t>(got));
    }
}

bool WriteAll(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd, text.data(), text.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(put));
    }
    return true;
}

LONG LoadFile(Root root, const std::filesystem::path& file, std::shared_ptr<const RegNode>* tree) {
    UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) {
        if (errno != ENOENT) return ErrorFromErrno(errno, ERROR_CANTREAD);
        *tree = std::make_shared<const RegNode>();
        return ERROR_SUCCESS;
    }
    std::string text;
    if (!ReadAll(fd.Get(), &text)) return ERROR_CANTREAD;
    if (auto cached = ParsedCache::Instance().Find(root, text)) {
        *tree = std::move(cached);
        return ERROR_SUCCESS;
    }
    auto parsed = ParseTree(text);
    if (!parsed) return ERROR_BADDB;
    auto shared = std::make_shared<const RegNode>(std::move(*parsed));
    ParsedCache::Instance().Store(root, std::move(text), shared);
    *tree = std::move(shared);
    return ERROR_SUCCESS;
}

// Holds the writers' lock of a registry folder for its lifetime.
class WriterLock {
public:
    explicit WriterLock(const std::filesystem::path& folder)
        : fd_(::open((folder / "registry.lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644)) {
        if (!fd_) return;
        while (::flock(fd_.Get(), LOCK_EX) != 0) {
            if (errno != EINTR) {
                fd_.Reset();
                return;
            }
        }
    }
    // The lock is released when the descriptor closes.
    bool Held() const { return static_cast<bool>(fd_); }

private:
    UniqueFd fd_;
};

LONG StoreFile(const std::filesystem::path& file, const RegNode& tree) {
    auto temporary = file;
    temporary += ".tmp";
    UniqueFd fd(::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
    if (!fd) return ErrorFromErrno(errno, ERROR_CANTWRITE);
    const bool written = WriteAll(fd.Get(), SerializeTree(tree)) && ::fsync(fd.Get()) == 0 && fd.Close();
    if (!written || ::rename(temporary.c_str(), file.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return ERROR_CANTWRITE;
    }
    return ERROR_SUCCESS;
}

}  // namespace

std::filesystem::path RegistryFolder() {
    if (const char* folder = std::getenv("KORVANTA_REGISTRY"); folder && *folder) return folder;
    // XDG asks to ignore a relative XDG_CONFIG_HOME.
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/')
        return std::filesystem::path(config) / "korvanta" / "registry";
    const auto home = HomeFolder();
    if (home.empty()) return {};
    return home / ".config" / "korvanta" / "registry";
}

LONG ReadRoot(Root root, std::shared_ptr<const RegNode>* tree) {
    const auto folder = RegistryFolder();
    if (folder.empty()) return ERROR_ACCESS_DENIED;
    return LoadFile(root, folder / FileName(root), tree);
}

LONG ModifyRoot(Root root, const std::function<LONG(RegNode&)>& change) {
    const auto folder = RegistryFolder();
    if (folder.empty()) return ERROR_ACCESS_DENIED;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return ErrorFromErrno(error.value(), ERROR_CANTWRITE);

    const WriterLock lock(folder);
    if (!lock.Held()) return ErrorFromErrno(errno, ERROR_CANTWRITE);
    const auto file = folder / FileName(root);
    std::shared_ptr<const RegNode> current;
    if (const LONG status = LoadFile(root, file, &current); status != ERROR_SUCCESS) return status;
    RegNode tree = *current;
    if (const LONG status = change(tree); status != ERROR_SUCCESS) return status;
    return StoreFile(file, tree);
}

}  // namespace kvreg
