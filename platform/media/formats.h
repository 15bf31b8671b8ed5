#pragma once
// Format blocks with their Windows layouts: BITMAPINFOHEADER and
// VIDEOINFOHEADER (FORMAT_VideoInfo), WAVEFORMATEX (FORMAT_WaveFormatEx).
#include "platform/media/strmif.h"

#pragma pack(push, 2)
struct WAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
};
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
inline constexpr WORD WAVE_FORMAT_PCM = 1;

struct BITMAPINFOHEADER {
    DWORD biSize;
    LONG biWidth;
    LONG biHeight;  // positive: bottom-up rows
    WORD biPlanes;
    WORD biBitCount;
    DWORD biCompression;
    DWORD biSizeImage;
    LONG biXPelsPerMeter;
    LONG biYPelsPerMeter;
    DWORD biClrUsed;
    DWORD biClrImportant;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);
inline constexpr DWORD BI_RGB = 0;
inline constexpr DWORD BI_BITFIELDS = 3;

struct RECT {
    LONG left;
    LONG top;
    LONG right;
    LONG bottom;
};

struct VIDEOINFOHEADER {
    RECT rcSource;
    RECT rcTarget;
    DWORD dwBitRate;
    DWORD dwBitErrorRate;
    REFERENCE_TIME AvgTimePerFrame;
    BITMAPINFOHEADER bmiHeader;
};
static_assert(sizeof(VIDEOINFOHEADER) == 88);

// Bytes in one DIB row: rows are padded to whole 32-bit words.
constexpr LONG DibWidthBytes(LONG width, WORD bitCount) { return ((width * bitCount + 31) & ~31) / 8; }
