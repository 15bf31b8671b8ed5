#include "platform/devices/tape_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>

namespace {

constexpr std::size_t kDifBlockBytes = 80;
constexpr std::size_t kHeaderBytes = 6 * kDifBlockBytes;  // header, 2 subcode, 3 VAUX blocks

// Section type: the top three bits of the first byte of a DIF block (IEC 61834-2).
enum SectionType : std::uint8_t { kHeader = 0, kSubcode = 1, kVaux = 2 };
std::uint8_t SectionOf(std::span<const std::uint8_t> frame, std::size_t block) {
    return frame[block * kDifBlockBytes] >> 5;
}

// Reads exactly out.size() bytes at offset; false on a short read or an error.
bool ReadAt(int fd, std::int64_t offset, std::span<std::uint8_t> out) {
    std::size_t done = 0;
    while (done < out.size()) {
        const ssize_t got = ::pread(fd, out.data() + done, out.size() - done, offset + static_cast<off_t>(done));
        if (got <= 0) return false;
        done += static_cast<std::size_t>(got);
    }
    return true;
}

}  // namespace

bool TapeFile::LooksLikeDvFrame(std::span<const std::uint8_t> frame) {
    if (frame.size() < kHeaderBytes) return false;
    return SectionOf(frame, 0) == kHeader && SectionOf(frame, 1) == kSubcode && SectionOf(frame, 2) == kSubcode &&
           SectionOf(frame, 3) == kVaux && SectionOf(frame, 4) == kVaux && SectionOf(frame, 5) == kVaux;
}

HRESULT TapeFile::Open(const std::filesystem::path& path) {
    fd_.Reset();
    frameCount_ = 0;
    UniqueFd fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!fd || ::fstat(fd.Get(), &info) != 0 || !S_ISREG(info.st_mode))
        return STG_E_FILENOTFOUND;

    std::array<std::uint8_t, kHeaderBytes> head{};
    if (info.st_size < static_cast<off_t>(head.size()) || !ReadAt(fd.Get(), 0, head)) return VFW_E_FILE_TOO_SHORT;
    if (!LooksLikeDvFrame(head)) return VFW_E_INVALID_FILE_FORMAT;

    is625_ = (head[3] & 0x80) != 0;  // DSF bit of the header block: 1 = 625/50
    const std::int64_t frames = info.st_size / FrameBytes();
    if (frames == 0) return VFW_E_FILE_TOO_SHORT;
    frameCount_ = frames;
    fd_ = std::move(fd);
    return S_OK;
}

bool TapeFile::ReadFrame(std::int64_t index, std::span<std::uint8_t> out) const {
    if (!fd_ || index < 0 || index >= frameCount_ || out.size() < FrameBytes()) return false;
    return ReadAt(fd_.Get(), index * FrameBytes(), out.first(FrameBytes()));
}
