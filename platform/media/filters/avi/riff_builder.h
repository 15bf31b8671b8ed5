#pragma once
// RiffBuilder: assembles little-endian RIFF structures in memory (headers,
// index chunks) before they go to the file in one write, and remembers where
// each chunk's size field is so it can be filled in when the chunk ends.
#include <cstddef>
#include <span>
#include <vector>

#include "platform/com/wintypes.h"

class RiffBuilder {
public:
    void Put8(BYTE value) { bytes_.push_back(value); }
    void Put16(WORD value);
    void Put32(DWORD value);
    void Put64(ULONGLONG value);
    void PutBytes(std::span<const BYTE> data) { bytes_.insert(bytes_.end(), data.begin(), data.end()); }
    void PutZeros(std::size_t count) { bytes_.resize(bytes_.size() + count, 0); }

    // Starts a chunk: its identifier and a size filled in by EndChunk. Returns the
    // position of the chunk header.
    std::size_t BeginChunk(DWORD id);
    // Starts a RIFF or LIST: the chunk header and then the form or list type.
    std::size_t BeginList(DWORD listType, DWORD chunkId);
    // Fills in the size of the chunk begun at `header` and pads it to an even length,
    // as RIFF requires of every chunk.
    void EndChunk(std::size_t header);

    void Patch32(std::size_t at, DWORD value);
    std::size_t Size() const { return bytes_.size(); }
    std::span<const BYTE> Bytes() const { return bytes_; }

private:
    std::vector<BYTE> bytes_;
};
