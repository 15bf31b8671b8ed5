#pragma once
// RiffFile: the output file of the AVI writer. Every append goes straight to
// the operating system (no buffer of our own), so whatever a crash leaves on
// disk ends on a whole chunk; an append that cannot be completed (disk full,
// file size limit) is cut back, so the file never ends in half a chunk.
#include <sys/uio.h>

#include <cstdint>
#include <span>
#include <vector>

#include "platform/com/hresult.h"
#include "platform/com/unique_fd.h"

class RiffFile {
public:
    RiffFile() = default;
    // Takes an empty file opened for writing.
    explicit RiffFile(UniqueFd file) : file_(std::move(file)) {}

    bool IsOpen() const { return bool(file_); }
    std::uint64_t Size() const { return size_; }

    // Appends the bytes at the end of the file: all of them, or none.
    HRESULT Append(std::span<const BYTE> bytes);
    // Appends data chunks (each a header, its data and a pad byte to an even
    // length) in one write: all of them, or none.
    struct Chunk {
        DWORD id;
        std::span<const BYTE> data;
    };
    HRESULT AppendChunks(std::span<const Chunk> chunks);
    // The bytes a chunk of `dataSize` takes in the file.
    static std::uint64_t ChunkBytes(std::uint64_t dataSize) { return 8 + dataSize + dataSize % 2; }
    // Overwrites bytes already written (sizes and counts filled in later).
    HRESULT WriteAt(std::uint64_t offset, std::span<const BYTE> bytes);
    HRESULT Write32At(std::uint64_t offset, DWORD value);
    // Cuts the file back to an earlier size, as after a frame that did not fit.
    HRESULT TruncateTo(std::uint64_t size);
    // Closes the file; a late write error of the system shows up here.
    HRESULT Close();

private:
    HRESULT AppendGathered(std::vector<iovec>& pieces);

    UniqueFd file_;
    std::uint64_t size_ = 0;  // bytes written so far: the offset of the next append
};

// The HRESULT of a failed file operation: a full disk or a file grown past its
// limit say so, anything else is a write fault.
HRESULT HResultFromWriteErrno(int error);
