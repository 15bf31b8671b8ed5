#include "platform/media/filters/avi/riff_builder.h"

#include "platform/media/filters/avi/avi_layout.h"

void RiffBuilder::Put16(WORD value) {
    Put8(BYTE(value));
    Put8(BYTE(value >> 8));
}

void RiffBuilder::Put32(DWORD value) {
    Put16(WORD(value));
    Put16(WORD(value >> 16));
}

void RiffBuilder::Put64(ULONGLONG value) {
    Put32(DWORD(value));
    Put32(DWORD(value >> 32));
}

std::size_t RiffBuilder::BeginChunk(DWORD id) {
    const std::size_t header = bytes_.size();
    Put32(id);
    Put32(0);  // chunk size, set by EndChunk
    return header;
}

std::size_t RiffBuilder::BeginList(DWORD listType, DWORD chunkId) {
    const std::size_t header = BeginChunk(chunkId);
    Put32(listType);
    return header;
}

void RiffBuilder::EndChunk(std::size_t header) {
    Patch32(header + 4, DWORD(bytes_.size() - header - 8));
    if (bytes_.size() % 2 != 0) Put8(0);
}

void RiffBuilder::Patch32(std::size_t at, DWORD value) {
    for (int i = 0; i < 4; ++i) bytes_[at + i] = BYTE(value >> (8 * i));
}
