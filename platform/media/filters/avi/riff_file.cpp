#include "platform/media/filters/avi/riff_file.h"

#include <sys/uio.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>

namespace {

constexpr DWORD ERROR_WRITE_FAULT = 29;
constexpr DWORD ERROR_READ_FAULT = 30;
constexpr DWORD ERROR_DISK_FULL = 112;
constexpr DWORD ERROR_FILE_TOO_LARGE = 223;

}  // namespace

HRESULT HResultFromWriteErrno(int error) {
    switch (error) {
    case ENOSPC:
    case EDQUOT:
        return HRESULT_FROM_WIN32(ERROR_DISK_FULL);
    case EFBIG:
        return HRESULT_FROM_WIN32(ERROR_FILE_TOO_LARGE);
    default:
        return HRESULT_FROM_WIN32(ERROR_WRITE_FAULT);
    }
}

RiffFile RiffFile::OverExisting(UniqueFd file, bool dryRun) {
    RiffFile over(std::move(file));
    over.overExisting_ = true;
    over.dryRun_ = dryRun;
    return over;
}

HRESULT RiffFile::Append(std::span<const BYTE> bytes) {
    std::vector<iovec> pieces = {{const_cast<BYTE*>(bytes.data()), bytes.size()}};
    return AppendGathered(pieces);
}

HRESULT RiffFile::AppendChunks(std::span<const Chunk> chunks) {
    static constexpr BYTE kPad[1] = {0};
    std::vector<std::array<BYTE, 8>> headers(chunks.size());
    std::vector<iovec> pieces;
    for (std::size_t i = 0; i < chunks.size(); ++i) {
        const DWORD id = chunks[i].id;
        const DWORD size = DWORD(chunks[i].data.size());
        headers[i] = {BYTE(id), BYTE(id >> 8), BYTE(id >> 16), BYTE(id >> 24),
                      BYTE(size), BYTE(size >> 8), BYTE(size >> 16), BYTE(size >> 24)};
        pieces.push_back({headers[i].data(), headers[i].size()});
        pieces.push_back({const_cast<BYTE*>(chunks[i].data.data()), size});
        if (size % 2 != 0) pieces.push_back({const_cast<BYTE*>(kPad), 1});
    }
    return AppendGathered(pieces);
}

HRESULT RiffFile::AppendGathered(std::vector<iovec>& pieces) {
    if (!file_) return E_UNEXPECTED;
    if (overExisting_) {
        std::vector<BYTE> bytes;
        for (const iovec& piece : pieces) {
            const BYTE* data = static_cast<const BYTE*>(piece.iov_base);
            bytes.insert(bytes.end(), data, data + piece.iov_len);
        }
        HoldBack(size_, bytes);
        size_ += bytes.size();
        return S_OK;
    }
    std::uint64_t total = 0;
    for (const iovec& piece : pieces) total += piece.iov_len;
    std::uint64_t done = 0;
    std::size_t first = 0;
    while (done < total) {
        const int count = int(std::min<std::size_t>(pieces.size() - first, IOV_MAX));
        const ssize_t written = ::pwritev(file_.Get(), &pieces[first], count, off_t(size_ + done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) {
            const HRESULT hr = HResultFromWriteErrno(written < 0 ? errno : ENOSPC);
            // Leave no partial chunk behind: the file ends where the last whole append
            // ended. Should even that fail, the size fields still stop readers there.
            [[maybe_unused]] const int cut = ::ftruncate(file_.Get(), off_t(size_));
            return hr;
        }
        done += std::uint64_t(written);
        // Step past the pieces written in full and trim the one written in part.
        std::size_t left = std::size_t(written);
        while (first < pieces.size() && left >= pieces[first].iov_len) left -= pieces[first++].iov_len;
        if (first < pieces.size()) {
            pieces[first].iov_base = static_cast<BYTE*>(pieces[first].iov_base) + left;
            pieces[first].iov_len -= left;
        }
    }
    size_ += total;
    return S_OK;
}

HRESULT RiffFile::WriteAt(std::uint64_t offset, std::span<const BYTE> bytes) {
    if (!file_) return E_UNEXPECTED;
    if (overExisting_) {
        HoldBack(offset, bytes);
        return S_OK;
    }
    return WriteThrough(offset, bytes);
}

HRESULT RiffFile::WriteThrough(std::uint64_t offset, std::span<const BYTE> bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::pwrite(file_.Get(), bytes.data() + done, bytes.size() - done, off_t(offset + done));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return HResultFromWriteErrno(written < 0 ? errno : ENOSPC);
        done += std::size_t(written);
    }
    return S_OK;
}

HRESULT RiffFile::Write32At(std::uint64_t offset, DWORD value) {
    const std::array<BYTE, 4> bytes = {BYTE(value), BYTE(value >> 8), BYTE(value >> 16), BYTE(value >> 24)};
    return WriteAt(offset, bytes);
}

HRESULT RiffFile::TruncateTo(std::uint64_t size) {
    if (!file_) return E_UNEXPECTED;
    if (overExisting_) {
        HoldBack(size, {});
    } else if (::ftruncate(file_.Get(), off_t(size)) != 0) {
        return HResultFromWriteErrno(errno);
    }
    size_ = size;
    return S_OK;
}

HRESULT RiffFile::Skip(std::uint64_t bytes) {
    if (!file_ || !overExisting_) return E_UNEXPECTED;
    size_ += bytes;
    return S_OK;
}

HRESULT RiffFile::ReadAt(std::uint64_t offset, std::size_t size, std::vector<BYTE>& out) const {
    if (!file_) return E_UNEXPECTED;
    out.resize(size);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t got = ::pread(file_.Get(), out.data() + done, size - done, off_t(offset + done));
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
        if (got == 0) break;
        done += std::size_t(got);
    }
    out.resize(done);  // short at the end of the file
    return S_OK;
}

void RiffFile::HoldBack(std::uint64_t offset, std::span<const BYTE> bytes) {
    // Later writes win where they overlap earlier ones; a cut drops what lies past it.
    const std::uint64_t end = offset + bytes.size();
    std::uint64_t start = offset;
    std::vector<BYTE> merged(bytes.begin(), bytes.end());
    auto it = heldBack_.upper_bound(offset);
    if (it != heldBack_.begin()) --it;
    while (it != heldBack_.end() && (it->first < end || bytes.empty())) {
        const std::uint64_t heldStart = it->first;
        const std::uint64_t heldEnd = heldStart + it->second.size();
        if (heldEnd <= offset) {
            ++it;
            continue;
        }
        const auto& held = it->second;
        if (heldStart < offset) {
            merged.insert(merged.begin(), held.begin(), held.begin() + std::ptrdiff_t(offset - heldStart));
            start = heldStart;
        }
        if (heldEnd > end && !bytes.empty())
            merged.insert(merged.end(), held.begin() + std::ptrdiff_t(end - heldStart), held.end());
        it = heldBack_.erase(it);
    }
    if (!merged.empty()) heldBack_[start] = std::move(merged);
}

HRESULT RiffFile::WriteHeldBack() {
    for (const auto& [offset, bytes] : heldBack_) {
        std::vector<BYTE> onDisk;
        if (const HRESULT hr = ReadAt(offset, bytes.size(), onDisk); FAILED(hr)) return hr;
        if (std::equal(bytes.begin(), bytes.end(), onDisk.begin(), onDisk.end())) continue;
        changed_ = true;
        if (dryRun_) return S_OK;
        if (const HRESULT hr = WriteThrough(offset, bytes); FAILED(hr)) return hr;
    }
    heldBack_.clear();
    const off_t length = ::lseek(file_.Get(), 0, SEEK_END);
    if (length < 0) return HRESULT_FROM_WIN32(ERROR_READ_FAULT);
    if (std::uint64_t(length) != size_) {
        changed_ = true;
        if (!dryRun_ && ::ftruncate(file_.Get(), off_t(size_)) != 0) return HResultFromWriteErrno(errno);
    }
    return S_OK;
}

HRESULT RiffFile::Close() {
    if (!file_) return S_FALSE;
    const HRESULT written = overExisting_ ? WriteHeldBack() : S_OK;
    const bool closed = file_.Close();
    if (FAILED(written)) return written;
    return closed ? S_OK : HResultFromWriteErrno(errno);
}
