#include "media_tools.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <memory>
#include <sstream>
#include <stdexcept>

#include <sys/wait.h>

namespace kvtest {

namespace {

std::string Quote(const std::filesystem::path& path) {
    std::string quoted = "'";
    quoted += path.string();
    quoted += '\'';
    return quoted;
}

}  // namespace

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[65536];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, got);
    const int status = ::pclose(pipe);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}

std::vector<BYTE> ReadFileBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFileBytes(const std::filesystem::path& path, const std::vector<BYTE>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

std::filesystem::path MakeDvClip(const std::filesystem::path& folder, const DvClipSpec& recipe) {
    const std::string size = recipe.pal ? "720x576" : "720x480";
    const std::string rate = recipe.pal ? "25" : "30000/1001";
    const std::filesystem::path clip = folder / ((recipe.pal ? "pal_" : "ntsc_") + std::to_string(recipe.sampleRate) +
                                                 "_" + std::to_string(recipe.frames) + (recipe.wide ? "_wide" : "") + ".dv");
    if (std::filesystem::exists(clip)) return clip;
    std::ostringstream command;
    command << "ffmpeg -nostdin -v error -y -f lavfi -i testsrc=size=" << size << ":rate=" << rate
            << " -f lavfi -i 'sine=frequency=440:beep_factor=3:sample_rate=" << recipe.sampleRate << "'"
            << " -t " << (recipe.frames + 0.5) * (recipe.pal ? 1.0 / 25 : 1001.0 / 30000) << " -pix_fmt " << (recipe.pal ? "yuv420p" : "yuv411p")
            << (recipe.wide ? " -aspect 16:9" : "") << " -c:v dvvideo -c:a pcm_s16le -ac 2 -ar " << recipe.sampleRate
            << " -f dv " << Quote(clip);
    const std::size_t frameBytes = recipe.pal ? 144000 : 120000;
    if (RunCommand(command.str()).exitCode != 0 ||
        std::filesystem::file_size(clip) != frameBytes * std::size_t(recipe.frames))
        throw std::runtime_error("ffmpeg could not make " + clip.string());
    return clip;
}

std::vector<std::vector<BYTE>> SplitDvFrames(const std::vector<BYTE>& clip, std::size_t frameBytes) {
    std::vector<std::vector<BYTE>> frames;
    for (std::size_t at = 0; at + frameBytes <= clip.size(); at += frameBytes)
        frames.emplace_back(clip.begin() + std::ptrdiff_t(at), clip.begin() + std::ptrdiff_t(at + frameBytes));
    return frames;
}

std::map<std::string, std::string> ProbeStream(const std::filesystem::path& file, const std::string& stream) {
    const CommandResult probe = RunCommand("ffprobe -v error -count_packets -select_streams " + stream +
                                           " -show_streams -of default=nw=1 " + Quote(file));
    std::map<std::string, std::string> fields;
    std::istringstream lines(probe.output);
    for (std::string line; std::getline(lines, line);) {
        const auto equals = line.find('=');
        if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
    }
    return fields;
}

namespace {

std::vector<BYTE> FfmpegExtract(const std::filesystem::path& file, const std::string& what) {
    const CommandResult out = RunCommand("ffmpeg -nostdin -v error -i " + Quote(file) + " " + what + " -");
    return {out.output.begin(), out.output.end()};
}

}  // namespace

std::vector<BYTE> FfmpegPcm(const std::filesystem::path& file) { return FfmpegExtract(file, "-map 0:a:0 -f s16le"); }

std::vector<BYTE> FfmpegDvFrames(const std::filesystem::path& file) {
    return FfmpegExtract(file, "-map 0:v:0 -c copy -f rawvideo");
}

std::vector<BYTE> FfmpegPicture(const std::filesystem::path& file, int frame) {
    return FfmpegExtract(file, "-map 0:v:0 -sws_flags bilinear+accurate_rnd -vf 'select=eq(n\\," + std::to_string(frame) +
                                   ")' -fps_mode passthrough -frames:v 1 -f rawvideo -pix_fmt bgra");
}

std::string MediaInfo(const std::filesystem::path& file, const std::string& inform) {
    std::string answer = RunCommand("mediainfo '--Inform=" + inform + "' " + Quote(file)).output;
    while (!answer.empty() && (answer.back() == '\n' || answer.back() == '\r')) answer.pop_back();
    return answer;
}

}  // namespace kvtest
