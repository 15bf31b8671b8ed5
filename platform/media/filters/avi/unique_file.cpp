#include "platform/media/filters/avi/unique_file.h"

#include <fcntl.h>

#include <cerrno>
#include <string>

namespace {

constexpr DWORD ERROR_PATH_NOT_FOUND = 3;
constexpr DWORD ERROR_FILE_EXISTS = 80;
constexpr DWORD ERROR_CANNOT_MAKE = 82;

HRESULT HResultFromCreateErrno(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return HRESULT_FROM_WIN32(ERROR_PATH_NOT_FOUND);
    case EACCES:
    case EPERM:
    case EROFS:
        return E_ACCESSDENIED;
    case EEXIST:
        return HRESULT_FROM_WIN32(ERROR_FILE_EXISTS);
    default:
        return HRESULT_FROM_WIN32(ERROR_CANNOT_MAKE);
    }
}

}  // namespace

std::filesystem::path NumberedName(const std::filesystem::path& wanted, int n) {
    if (n <= 1) return wanted;
    std::filesystem::path numbered = wanted;
    numbered.replace_filename(wanted.stem().string() + " (" + std::to_string(n) + ")" +
                              wanted.extension().string());
    return numbered;
}

HRESULT CreateNewFile(const std::filesystem::path& wanted, NewFile& created) {
    if (wanted.empty() || !wanted.has_filename()) return E_INVALIDARG;
    for (int n = 1; n <= kMaxNumberedName; ++n) {
        std::filesystem::path candidate = NumberedName(wanted, n);
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            created.file = UniqueFd(fd);
            created.path = std::move(candidate);
            return S_OK;
        }
        if (errno != EEXIST) return HResultFromCreateErrno(errno);
    }
    return HResultFromCreateErrno(EEXIST);
}
