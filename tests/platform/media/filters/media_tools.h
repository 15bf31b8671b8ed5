#pragma once
// Test helpers around tools no one here wrote: DV clips made by the `ffmpeg`
// command, files judged by `ffprobe` and `mediainfo`.
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "platform/com/wintypes.h"

namespace kvtest {

struct CommandResult {
    int exitCode = -1;
    std::string output;  // standard output only
};
CommandResult RunCommand(const std::string& command);

std::vector<BYTE> ReadFileBytes(const std::filesystem::path& path);
void WriteFileBytes(const std::filesystem::path& path, const std::vector<BYTE>& bytes);

// A raw DV clip made by ffmpeg's DV encoder: a moving test pattern and a stereo
// tone. ffmpeg encodes 48, 44.1 and 32 kHz for 625/50 and 48 kHz for 525/60.
struct DvClipSpec {
    bool pal = true;
    int sampleRate = 48000;
    int frames = 10;
    bool wide = false;  // 16:9
};
std::filesystem::path MakeDvClip(const std::filesystem::path& folder, const DvClipSpec& recipe);

// The frames of a raw DV file.
std::vector<std::vector<BYTE>> SplitDvFrames(const std::vector<BYTE>& clip, std::size_t frameBytes);

// What ffprobe says of one stream ("v:0", "a:0"), packets counted: key=value pairs.
std::map<std::string, std::string> ProbeStream(const std::filesystem::path& file, const std::string& stream);
// The PCM of the first audio stream as ffmpeg extracts it (s16le).
std::vector<BYTE> FfmpegPcm(const std::filesystem::path& file);
// The DV frames of the first video stream as ffmpeg reads them from a file, unchanged.
std::vector<BYTE> FfmpegDvFrames(const std::filesystem::path& file);
// Frame `frame` of the first video stream as ffmpeg decodes it: BGRA, top row first.
std::vector<BYTE> FfmpegPicture(const std::filesystem::path& file, int frame);
// mediainfo's answer to one --Inform template, such as "Video;%FrameCount%".
std::string MediaInfo(const std::filesystem::path& file, const std::string& inform);

}  // namespace kvtest
