#pragma once
// The shutter sound: a short mechanical click as a WAV file.
#include <cstdint>
#include <vector>

// 16-bit mono PCM at 44100 Hz, about 90 ms: a sharp first click (the shutter
// opening) and a softer second one (closing).
std::vector<std::uint8_t> MakeClickWav();
