#pragma once
// AudioOutput: where the sound renderer sends PCM bytes. Write and Drain
// block the streaming thread at the pace the sound is played; Abort, from
// any thread, releases them at once and makes every later call return at
// once, so that stopping or flushing the graph never waits for sound.
#include <cstddef>

#include "platform/media/formats.h"

class AudioOutput {
public:
    virtual ~AudioOutput() = default;

    // Queues the bytes, waiting while the output already holds enough; false once aborted.
    virtual bool Write(const BYTE* data, std::size_t size) = 0;
    // Waits until everything written has been played, or the output is aborted.
    virtual void Drain() = 0;
    virtual void Abort() = 0;
    // Paused, nothing more is heard at once and what is held waits (Write and
    // Drain wait with it); resumed, it plays on from there.
    virtual void SetPaused(bool paused) = 0;
    // 0 (silence) to 1 (as recorded).
    virtual void SetVolume(double linear) = 0;
};
