#pragma once
// Peak level measurement over a buffer of 8- or 16-bit PCM.
#include "platform/com/wintypes.h"

// The sample layout of an accepted PCM format; zero fields mean no format is known.
struct PcmLayout {
    int bytesPerSample = 0;  // 1: unsigned 8-bit, silence at 128; 2: signed 16-bit little-endian
    int channels = 0;
};

// Peak magnitudes as fractions of full scale (128 for 8-bit, 32768 for 16-bit).
struct PeakLevels {
    double first = 0.0;
    double second = 0.0;  // equals first for mono
};

// Examines every sixteenth sample frame of data[0, length) and returns the
// largest magnitude of each channel. Only whole frames inside the buffer are
// read. Layouts other than 1 or 2 bytes and 1 or 2 channels, a null buffer and
// an empty one all read as silence.
PeakLevels MeasurePeakLevels(const BYTE* data, LONG length, PcmLayout layout);
