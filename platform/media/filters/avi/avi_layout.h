#pragma once
// Constants of the AVI RIFF form (Microsoft AVI RIFF reference, aviriff.h) and
// of its OpenDML extension (OpenDML AVI File Format Extensions 1.02), shared
// by the writer and the reader of DV AVI files.
#include <cstdint>

#include "platform/com/wintypes.h"

namespace avi {

// A four-character code as it reads in the file: the first letter is the lowest byte.
constexpr DWORD FourCC(const char (&code)[5]) {
    return DWORD(BYTE(code[0])) | DWORD(BYTE(code[1])) << 8 | DWORD(BYTE(code[2])) << 16 |
           DWORD(BYTE(code[3])) << 24;
}

// Chunk and list identifiers.
inline constexpr DWORD kRiff = FourCC("RIFF");
inline constexpr DWORD kList = FourCC("LIST");
inline constexpr DWORD kJunk = FourCC("JUNK");
inline constexpr DWORD kFormAvi = FourCC("AVI ");    // the first RIFF of a file
inline constexpr DWORD kFormAvix = FourCC("AVIX");   // every further RIFF (OpenDML)
inline constexpr DWORD kListHdrl = FourCC("hdrl");
inline constexpr DWORD kListStrl = FourCC("strl");
inline constexpr DWORD kListOdml = FourCC("odml");
inline constexpr DWORD kListMovi = FourCC("movi");
inline constexpr DWORD kAvih = FourCC("avih");
inline constexpr DWORD kStrh = FourCC("strh");
inline constexpr DWORD kStrf = FourCC("strf");
inline constexpr DWORD kIndx = FourCC("indx");
inline constexpr DWORD kDmlh = FourCC("dmlh");
inline constexpr DWORD kIdx1 = FourCC("idx1");

// Stream types and the DV handler.
inline constexpr DWORD kStreamVideo = FourCC("vids");
inline constexpr DWORD kStreamAudio = FourCC("auds");
inline constexpr DWORD kStreamInterleaved = FourCC("iavs");  // DV type 1: video and audio in one stream
inline constexpr DWORD kHandlerDvsd = FourCC("dvsd");

// Data chunk identifiers: two stream digits and a two-letter kind.
inline constexpr DWORD kChunkVideo0 = FourCC("00dc");  // stream 0, compressed video (both DV types)
inline constexpr DWORD kChunkAudio1 = FourCC("01wb");  // stream 1, wave bytes (type 2)
inline constexpr DWORD kStdIndex0 = FourCC("ix00");    // standard index of stream 0
inline constexpr DWORD kStdIndex1 = FourCC("ix01");    // standard index of stream 1

// avih dwFlags.
inline constexpr DWORD AVIF_HASINDEX = 0x00000010;
inline constexpr DWORD AVIF_ISINTERLEAVED = 0x00000100;
inline constexpr DWORD AVIF_TRUSTCKTYPE = 0x00000800;
// idx1 entry dwFlags.
inline constexpr DWORD AVIIF_KEYFRAME = 0x00000010;

// OpenDML index chunks.
inline constexpr BYTE AVI_INDEX_OF_INDEXES = 0x00;  // bIndexType of the super index 'indx'
inline constexpr BYTE AVI_INDEX_OF_CHUNKS = 0x01;   // bIndexType of a standard index 'ix##'
inline constexpr DWORD kStdIndexDeltaFrame = 0x80000000;  // dwSize bit: the chunk is not a key frame

// Byte sizes of the fixed structures.
inline constexpr DWORD kMainHeaderSize = 56;     // MainAVIHeader
inline constexpr DWORD kStreamHeaderSize = 56;   // AVIStreamHeader
inline constexpr DWORD kDmlhSize = 248;          // ODMLExtendedAVIHeader: total frames + reserved words
inline constexpr DWORD kSuperIndexHeader = 24;   // AVISUPERINDEX up to its first entry
inline constexpr DWORD kSuperIndexEntry = 16;    // qwOffset, dwSize, dwDuration
inline constexpr DWORD kStdIndexHeader = 24;     // AVISTDINDEX up to its first entry
inline constexpr DWORD kStdIndexEntry = 8;       // dwOffset, dwSize
inline constexpr DWORD kIdx1Entry = 16;          // ckid, dwFlags, dwChunkOffset, dwChunkLength

// The limit OpenDML readers expect of the first RIFF and of each AVIX.
inline constexpr std::uint64_t kOpenDmlRiffLimit = 1ull << 30;

}  // namespace avi
