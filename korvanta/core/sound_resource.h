#pragma once
// Playing one of the program's own sounds.

// The shutter sound of a still export.
inline constexpr int kShutterSound = 163;

// Starts the compiled-in WAV sound of that number and returns at once; false
// when there is no such sound. On a machine without a sound output nothing is
// heard.
bool PlaySoundResource(int id);
