#include "support/dv/dv_clips.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>

extern char** environ;

namespace kvtest {
namespace {

std::string TwoDigits(int value) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d", value);
    return text;
}

std::string IsoDateTime(const DvDateTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02dT%02d:%02d:%02dZ", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

std::string TimeCodeText(const DvTimeCode& tc) {
    return TwoDigits(tc.hours) + ":" + TwoDigits(tc.minutes) + ":" + TwoDigits(tc.seconds) + ":" +
           TwoDigits(tc.frames);
}

// A readable cache name that differs for every parameter.
std::string ClipFileName(const DvClipSpec& recipe) {
    std::string name = recipe.system == DvSystem::Pal625 ? "pal" : "ntsc";
    name += recipe.wide ? "-16x9-" : "-4x3-";
    std::string when = IsoDateTime(recipe.creationTime);
    std::erase_if(when, [](char c) { return c == ':' || c == '-' || c == 'Z'; });
    std::string tc = TimeCodeText(recipe.startTimeCode);
    std::erase(tc, ':');
    name += when + "-tc" + tc + "-" + std::to_string(recipe.frames) + "f";
    if (recipe.sound && recipe.sampleRate != 48000) {
        name += '-';
        name += std::to_string(recipe.sampleRate);
        name += "hz";
    }
    name += recipe.sound ? "-sound.dv" : "-mute.dv";
    return name;
}

std::vector<std::string> FfmpegArguments(const DvClipSpec& recipe, const std::filesystem::path& output) {
    const bool pal = recipe.system == DvSystem::Pal625;
    std::vector<std::string> args = {
        "ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y",
        "-f", "lavfi", "-i", std::string("testsrc=size=") + (pal ? "720x576:rate=25" : "720x480:rate=30000/1001")};
    if (recipe.sound) {
        // The muxer needs sound for every frame it writes: give it half a
        // second more than the picture; the picture's end ends the clip.
        const double frameSeconds = pal ? 1.0 / 25 : 1001.0 / 30000;
        const double seconds = recipe.frames * frameSeconds + 0.5;
        args.insert(args.end(), {"-f", "lavfi", "-i",
                                 "sine=frequency=1000:sample_rate=" + std::to_string(recipe.sampleRate) +
                                     ":duration=" + std::to_string(seconds)});
    }
    // trim, not -frames:v, so the sound queued for the last frames is still written.
    args.insert(args.end(), {"-vf", "trim=end_frame=" + std::to_string(recipe.frames),
                             "-pix_fmt", pal ? "yuv420p" : "yuv411p",
                             "-c:v", "dvvideo", "-aspect", recipe.wide ? "16:9" : "4:3"});
    if (recipe.sound) {
        args.insert(args.end(), {"-c:a", "pcm_s16le", "-ac", "2", "-ar", std::to_string(recipe.sampleRate)});
    }
    args.insert(args.end(), {"-metadata", "creation_time=" + IsoDateTime(recipe.creationTime),
                             "-timecode", TimeCodeText(recipe.startTimeCode),
                             "-f", "dv", output.string()});
    return args;
}

std::string CommandText(const std::vector<std::string>& args) {
    std::string command;
    for (const auto& arg : args) command += arg + " ";
    return command;
}

void RunCommand(const std::vector<std::string>& args) {
    std::vector<char*> argv;
    for (const auto& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawnp(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        throw std::runtime_error("cannot start ffmpeg");
    int status = 0;
    if (waitpid(pid, &status, 0) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0)
        throw std::runtime_error("ffmpeg failed: " + CommandText(args));
}

}  // namespace

std::filesystem::path MakeDvClip(const DvClipSpec& recipe) {
    const std::filesystem::path folder = KV_DVCLIPS_CACHE_DIR;
    const std::filesystem::path clip = folder / ClipFileName(recipe);
    if (std::filesystem::exists(clip)) return clip;
    std::filesystem::create_directories(folder);
    // Several test processes may ask for the same clip at once: each writes
    // its own file and renames it into place, which is atomic.
    const std::filesystem::path partial = clip.string() + ".part" + std::to_string(getpid()) + ".dv";
    const auto args = FfmpegArguments(recipe, partial);
    RunCommand(args);
    // The muxer can report a failure in its trailer and still exit with 0: check what it wrote.
    const std::uintmax_t frameBytes = recipe.system == DvSystem::Pal625 ? 144000 : 120000;
    if (std::filesystem::file_size(partial) != frameBytes * static_cast<std::uintmax_t>(recipe.frames)) {
        std::filesystem::remove(partial);
        throw std::runtime_error("ffmpeg wrote a clip of the wrong length: " + CommandText(args));
    }
    std::filesystem::rename(partial, clip);
    return clip;
}

std::vector<std::vector<std::uint8_t>> ReadDvFrames(const std::filesystem::path& clip) {
    std::ifstream in(clip, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + clip.string());
    const std::vector<std::uint8_t> bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    std::vector<std::vector<std::uint8_t>> frames;
    std::size_t at = 0;
    // Byte 3 of each frame's header block says 625/50 (bit 7 set) or 525/60.
    while (at + 4 <= bytes.size()) {
        const std::size_t size = (bytes[at + 3] & 0x80) ? 144000 : 120000;
        if (at + size > bytes.size()) break;
        frames.emplace_back(bytes.begin() + static_cast<std::ptrdiff_t>(at),
                            bytes.begin() + static_cast<std::ptrdiff_t>(at + size));
        at += size;
    }
    return frames;
}

std::vector<std::vector<std::uint8_t>> MakeDvFrames(const DvClipSpec& recipe) {
    return ReadDvFrames(MakeDvClip(recipe));
}

}  // namespace kvtest
