#pragma once
// RiffFile: the output file of the AVI writer. Every append goes straight to
// the operating system (no buffer of our own), so whatever a crash leaves on
// disk ends on a whole chunk; an append that cannot be completed (disk full,
// file size limit) is cut back, so the file never ends in half a chunk.
//
// Over a file already written (a repair goes over it again) the writes are
// held back instead: Skip passes over bytes kept as they are, and only Close
// writes, and only the bytes that differ from the file's.
#include <sys/uio.h>

#include <cstdint>
#include <map>
#include <span>
#include <vector>

#include "platform/com/hresult.h"
#include "platform/com/unique_fd.h"

class RiffFile {
public:
    RiffFile() = default;
    // Takes an empty file opened for writing.
    explicit RiffFile(UniqueFd file) : file_(std::move(file)) {}
    // Takes a file already written, open for reading and writing; nothing is
    // written to it before Close, and nothing at all when dropped unclosed or
    // when `dryRun` (then Close only finds out whether it would change it).
    static RiffFile OverExisting(UniqueFd file, bool dryRun);

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
    // Over an existing file: passes over bytes that stay as they are.
    HRESULT Skip(std::uint64_t bytes);
    // Reads bytes of the file as it is on disk.
    HRESULT ReadAt(std::uint64_t offset, std::size_t size, std::vector<BYTE>& out) const;
    // Closes the file; a late write error of the system shows up here. Over an
    // existing file, first writes the bytes that differ and cuts it to Size().
    HRESULT Close();
    // Over an existing file: whether Close changed it (or would have, in a dry run).
    bool Changed() const { return changed_; }

private:
    HRESULT AppendGathered(std::vector<iovec>& pieces);
    HRESULT WriteThrough(std::uint64_t offset, std::span<const BYTE> bytes);
    void HoldBack(std::uint64_t offset, std::span<const BYTE> bytes);
    HRESULT WriteHeldBack();

    UniqueFd file_;
    std::uint64_t size_ = 0;  // bytes written so far: the offset of the next append
    bool overExisting_ = false;
    bool dryRun_ = false;
    // Over an existing file: the bytes to be written at Close, by offset, not overlapping.
    std::map<std::uint64_t, std::vector<BYTE>> heldBack_;
    bool changed_ = false;
};

// The HRESULT of a failed file operation: a full disk or a file grown past its
// limit say so, anything else is a write fault.
HRESULT HResultFromWriteErrno(int error);
