#pragma once
// Short raw DV clips made by the ffmpeg command, so tests decode frames that
// no code of ours wrote. ffmpeg's DV muxer writes the creation time (taken as
// UTC) into the recording date and time packs of every frame, advancing with
// the frames, and the start time code into the time code pack.
//
// Clips are cached in the build tree by their parameters, so each is made once.
#include <cstdint>
#include <filesystem>
#include <vector>

namespace kvtest {

enum class DvSystem { Pal625, Ntsc525 };

struct DvDateTime {
    int year = 2024;
    int month = 3;
    int day = 15;
    int hour = 13;
    int minute = 45;
    int second = 56;
};

struct DvTimeCode {
    int hours = 0;
    int minutes = 0;
    int seconds = 0;
    int frames = 0;
};

struct DvClipSpec {
    DvSystem system = DvSystem::Pal625;
    bool wide = false;              // 16:9 instead of 4:3
    DvDateTime creationTime;        // recording date and time of the first frame (UTC)
    DvTimeCode startTimeCode;       // time code of the first frame (non-drop)
    int frames = 3;
    bool sound = true;              // a stereo tone
    int sampleRate = 48000;         // of the tone: 48000, 44100 or 32000 (16-bit)
};

// Path of the clip, made with ffmpeg on first use. Throws std::runtime_error
// when ffmpeg fails or is missing.
std::filesystem::path MakeDvClip(const DvClipSpec& recipe);

// The frames of a raw DV file, each cut at the frame size its own header
// announces. A trailing partial frame is dropped.
std::vector<std::vector<std::uint8_t>> ReadDvFrames(const std::filesystem::path& clip);

// Convenience: the frames of MakeDvClip(recipe).
std::vector<std::vector<std::uint8_t>> MakeDvFrames(const DvClipSpec& recipe);

}  // namespace kvtest
