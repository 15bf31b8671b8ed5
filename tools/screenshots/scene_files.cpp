// The recorded scenes the preview pictures show: test patterns made by the
// `ffmpeg` command with a recording date and time code in every frame.
#include <QString>

#include <array>
#include <cstdlib>
#include <string>

#include "tools/screenshots/scene.h"

namespace {

struct SceneFile {
    const char* name;
    const char* source;
    const char* size;
    const char* aspect;
    const char* recorded;
    const char* timecode;
};

// The DV stream muxer writes the time code and recording date into every
// frame; the frames then go into an AVI file unchanged.
bool MakeFile(const QString& path, const SceneFile& file) {
    const bool pal = std::string(file.size).ends_with("576");
    const std::string dv = path.toStdString() + ".dv";
    const std::string make = std::string("ffmpeg -nostdin -v error -y -f lavfi -i ") + file.source + "=size=" +
                             file.size + ":rate=" + (pal ? "25" : "30000/1001") +
                             " -f lavfi -i sine=frequency=440 -t 2.4 -c:v dvvideo -pix_fmt " +
                             (pal ? "yuv420p" : "yuv411p") + " -aspect " + file.aspect +
                             " -metadata creation_time=" + file.recorded + " -timecode " + file.timecode +
                             " -c:a pcm_s16le -ar 48000 -ac 2 -f dv '" + dv + "'";
    const std::string wrap = "ffmpeg -nostdin -v error -y -i '" + dv + "' -c:v copy -c:a pcm_s16le '" +
                             path.toStdString() + "'";
    return std::system(make.c_str()) == 0 && std::system(wrap.c_str()) == 0;
}

}  // namespace

std::vector<std::string> MakeSceneFiles(const QString& folder) {
    static constexpr std::array<SceneFile, 3> kFiles = {{
        {"2026-08-14 10.31.05.avi", "testsrc", "720x576", "4:3", "2026-08-14T10:31:05", "00:14:03:00"},
        {"2026-08-14 10.42.51.avi", "smptehdbars", "720x480", "16:9", "2026-08-14T10:42:51", "00:21:40:12"},
        {"2026-08-15 16.07.18.avi", "mandelbrot", "720x576", "4:3", "2026-08-15T16:07:18", "00:37:12:08"},
    }};
    std::vector<std::string> names;
    for (const SceneFile& file : kFiles) {
        if (!MakeFile(folder + "/" + file.name, file)) return {};
        names.emplace_back(file.name);
    }
    return names;
}
