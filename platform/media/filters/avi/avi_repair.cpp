#include "platform/media/filters/avi/avi_repair.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <optional>

#include "platform/media/filters/avi/avi_reader.h"
#include "platform/media/filters/avi/avi_writer.h"

using namespace avi;

namespace {

constexpr DWORD ERROR_FILE_NOT_FOUND = 2;
constexpr DWORD ERROR_READ_FAULT = 30;

DWORD Le32(const BYTE* p) { return DWORD(p[0]) | DWORD(p[1]) << 8 | DWORD(p[2]) << 16 | DWORD(p[3]) << 24; }

// Reads the chunks of a file the writer left, by their headers alone.
class ChunkScanner {
public:
    ChunkScanner(UniqueFd file, std::uint64_t size) : file_(std::move(file)), size_(size) {}

    // The identifier and size of the chunk at `at` whose data lie whole in the file.
    struct Chunk {
        DWORD id;
        DWORD size;
        std::uint64_t end;  // past its pad byte
    };
    std::optional<Chunk> WholeChunkAt(std::uint64_t at) {
        std::array<BYTE, 8> header{};
        if (!Read(at, header)) return std::nullopt;
        const DWORD size = Le32(&header[4]);
        const std::uint64_t end = at + RiffFile::ChunkBytes(size);
        if (end > size_) return std::nullopt;
        return Chunk{Le32(&header[0]), size, end};
    }
    std::optional<DWORD> Read32(std::uint64_t at) {
        std::array<BYTE, 4> bytes{};
        return Read(at, bytes) ? std::optional(Le32(bytes.data())) : std::nullopt;
    }
    bool failed() const { return failed_; }

private:
    template <std::size_t N>
    bool Read(std::uint64_t at, std::array<BYTE, N>& out) {
        if (at > size_ || size_ - at < N) return false;
        std::size_t done = 0;
        while (done < N) {
            const ssize_t got = ::pread(file_.Get(), out.data() + done, N - done, off_t(at + done));
            if (got < 0 && errno == EINTR) continue;
            if (got <= 0) {
                failed_ = true;
                return false;
            }
            done += std::size_t(got);
        }
        return true;
    }

    UniqueFd file_;
    const std::uint64_t size_;
    bool failed_ = false;
};

struct FoundFrame {
    std::uint64_t at;  // of its video chunk
    DWORD videoBytes;
    DWORD pcmBytes;    // 0: no audio chunk
};

// The whole frame whose video chunk begins at `at`: the video chunk and, in a
// file with sound, the audio chunk right after it. A file that ends right after
// a video chunk whose frames come with sound was cut between the two.
std::optional<FoundFrame> WholeFrameAt(ChunkScanner& scanner, std::uint64_t at, bool withSound,
                                       bool lastHadSound, std::uint64_t fileSize) {
    const auto video = scanner.WholeChunkAt(at);
    if (!video || video->id != kChunkVideo0 || video->size == 0) return std::nullopt;
    FoundFrame frame{at, video->size, 0};
    if (!withSound) return frame;
    if (video->end == fileSize) return lastHadSound ? std::nullopt : std::optional(frame);
    const auto audio = scanner.WholeChunkAt(video->end);
    if (audio && audio->id == kChunkAudio1) {
        frame.pcmBytes = audio->size;
        return frame;
    }
    const auto next = scanner.Read32(video->end);
    return next == kChunkAudio1 ? std::nullopt : std::optional(frame);  // its sound cut off
}

// The first frame of the RIFF that follows the one beginning at `riffStart`,
// when that RIFF was finished and another was begun.
std::optional<FoundFrame> FirstFrameOfNextRiff(ChunkScanner& scanner, std::uint64_t riffStart, bool withSound,
                                               std::uint64_t fileSize) {
    const auto riffSize = scanner.Read32(riffStart + 4);
    if (!riffSize) return std::nullopt;
    const std::uint64_t next = riffStart + 8 + *riffSize;
    if (scanner.Read32(next) != kRiff || scanner.Read32(next + 8) != kFormAvix ||
        scanner.Read32(next + 12) != kList || scanner.Read32(next + 20) != kListMovi)
        return std::nullopt;
    return WholeFrameAt(scanner, next + 24, withSound, false, fileSize);
}

HRESULT OpenFailure() { return errno == ENOENT ? HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) : E_ACCESSDENIED; }

AviRepairResult GoOver(const std::filesystem::path& path, std::uint64_t riffLimit, bool dryRun) {
    AviReader reader;
    if (const HRESULT hr = reader.Open(path); FAILED(hr)) {
        const bool unreadable = hr == E_ACCESSDENIED || hr == HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND) ||
                                hr == HRESULT_FROM_WIN32(ERROR_READ_FAULT) || hr == E_HANDLE;
        return {unreadable ? AviRepairOutcome::Failed : AviRepairOutcome::NotOurs, 0, hr};
    }
    DvAviFormat format;
    format.type = reader.Type();
    format.system = &reader.System();
    format.dvInfo = reader.DvInfo();
    format.audio = reader.Audio();
    const bool withSound = format.audio.has_value();

    UniqueFd forWriter(::open(path.c_str(), (dryRun ? O_RDONLY : O_RDWR) | O_CLOEXEC));
    UniqueFd forScan(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    struct stat info {};
    if (!forWriter || !forScan) return {AviRepairOutcome::Failed, 0, OpenFailure()};
    if (::fstat(forScan.Get(), &info) != 0) return {AviRepairOutcome::Failed, 0, E_HANDLE};
    const std::uint64_t fileSize = std::uint64_t(info.st_size);

    AviWriter writer(riffLimit);
    if (const HRESULT hr = writer.Resume(std::move(forWriter), format, dryRun); FAILED(hr))
        return {hr == E_INVALIDARG || hr == VFW_E_INVALID_FILE_FORMAT || hr == VFW_E_FILE_TOO_SHORT
                    ? AviRepairOutcome::NotOurs
                    : AviRepairOutcome::Failed,
                0, hr};
    ChunkScanner scanner(std::move(forScan), fileSize);
    const auto hdrlSize = scanner.Read32(16);
    if (!hdrlSize) return {AviRepairOutcome::NotOurs, 0, VFW_E_INVALID_FILE_FORMAT};

    // Each frame where the writer would have put it: next in its RIFF, or
    // first in the next one. A frame elsewhere means a file laid out by another writer.
    std::uint64_t frames = 0;
    std::uint64_t riffStart = 0;
    std::uint64_t next = 20 + std::uint64_t(*hdrlSize) + 12;
    bool lastHadSound = false;
    for (;;) {
        std::optional<FoundFrame> frame = WholeFrameAt(scanner, next, withSound, lastHadSound, fileSize);
        std::optional<std::uint64_t> newRiff;
        if (!frame && (frame = FirstFrameOfNextRiff(scanner, riffStart, withSound, fileSize)))
            newRiff = frame->at - 24;
        if (!frame) break;
        std::uint64_t placed = 0;
        if (const HRESULT hr = writer.SkipFrame(frame->videoBytes, frame->pcmBytes, placed); FAILED(hr))
            return {AviRepairOutcome::NotOurs, frames, hr};
        if (placed != frame->at) return {AviRepairOutcome::NotOurs, frames, VFW_E_INVALID_FILE_FORMAT};
        if (newRiff) riffStart = *newRiff;
        next = frame->at + RiffFile::ChunkBytes(frame->videoBytes) +
               (frame->pcmBytes ? RiffFile::ChunkBytes(frame->pcmBytes) : 0);
        lastHadSound = frame->pcmBytes != 0;
        ++frames;
    }
    if (scanner.failed()) return {AviRepairOutcome::Failed, frames, HRESULT_FROM_WIN32(ERROR_READ_FAULT)};
    if (frames == 0) return {AviRepairOutcome::NoWholeFrame, 0, S_OK};

    if (const HRESULT hr = writer.Close(); FAILED(hr))
        return {hr == VFW_E_INVALID_FILE_FORMAT ? AviRepairOutcome::NotOurs : AviRepairOutcome::Failed, frames, hr};
    return {writer.Changed() ? AviRepairOutcome::Repaired : AviRepairOutcome::AlreadyWhole, frames, S_OK};
}

}  // namespace

AviRepairResult CheckAviFile(const std::filesystem::path& path, std::uint64_t riffLimit) {
    return GoOver(path, riffLimit, true);
}

AviRepairResult RepairAviFile(const std::filesystem::path& path, std::uint64_t riffLimit) {
    return GoOver(path, riffLimit, false);
}
