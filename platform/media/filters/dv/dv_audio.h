#pragma once
// DV audio: the AAUX source pack of a frame and the de-shuffling of its first
// channel pair from the audio DIF blocks into interleaved 16-bit PCM, per
// IEC 61834-2 (shuffling) and IEC 61834-4 (AAUX packs). Sources: 16-bit
// linear at 48, 44.1 or 32 kHz, and 12-bit non-linear at 32 kHz.
#include <optional>
#include <span>
#include <vector>

#include "platform/com/hresult.h"

// What the AAUX source pack (pack 50h) says about a frame's audio.
struct DvAudioFormat {
    DWORD samplesPerSecond = 0;  // 48000, 44100 or 32000
    WORD sourceBits = 0;         // 16 (linear) or 12 (non-linear); output is always 16-bit
    DWORD samples = 0;           // sample frames in this frame: the minimum of the rate plus AF_SIZE
    bool locked = false;         // locked mode: the audio clock is tied to the video clock

    // The stream format is the same (the per-frame sample count may vary).
    bool SameStreamFormat(const DvAudioFormat& other) const {
        return samplesPerSecond == other.samplesPerSecond && sourceBits == other.sourceBits;
    }
};

// The first channel pair's source pack; none when the frame carries no audio
// we can play (no pack, an unknown rate or quantisation, a count past the
// frame's room).
std::optional<DvAudioFormat> ReadDvAudioFormat(std::span<const BYTE> frame);

// Appends the frame's first channel pair to `pcm` as interleaved stereo 16-bit
// little-endian samples (WAVE_FORMAT_PCM) and reports their format. S_FALSE and
// nothing appended when the frame carries no playable audio; E_INVALIDARG when
// the buffer is not a whole DV frame.
HRESULT ExtractDvAudio(std::span<const BYTE> frame, std::vector<BYTE>& pcm, DvAudioFormat* format);

// IEC 61834-2 12-bit non-linear code (two's complement in 12 bits) to a 16-bit
// sample. (The invalid-sample codes, 8000h and 800h, are turned to silence
// before this.)
SHORT ExpandDv12BitSample(WORD code);
