#pragma once
// IBasicAudio's volume scale: hundredths of a decibel of attenuation, from 0
// (as recorded) down to -10000 (silence).
#include "platform/com/wintypes.h"

inline constexpr LONG kVolumeFull = 0;
inline constexpr LONG kVolumeSilence = -10000;
inline constexpr LONG kBalanceLeft = -10000;
inline constexpr LONG kBalanceRight = 10000;

// The amplitude factor for a volume in range: 10^(volume / 2000), and exactly
// 0 at kVolumeSilence (-100 dB would still be a trace of sound).
double LinearVolume(LONG volume);
