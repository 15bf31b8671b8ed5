#include "capture_options.h"

#include <charconv>
#include <cmath>
#include <regex>

namespace {

bool ParseWhole(const std::string& text, long long& value) {
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

}  // namespace

std::optional<ThresholdArgument> ParseThresholdArgument(const std::string& text) {
    if (text == "none") return ThresholdArgument{kNoSceneSplitting, std::nullopt};
    long long seconds = 0;
    if (ParseWhole(text, seconds)) {
        if (seconds < 0 || seconds > INT32_MAX) return std::nullopt;
        return ThresholdArgument{static_cast<SceneThreshold>(seconds), std::nullopt};
    }
    // "ddd hh mm ss", with or without the unit letters of the masked field.
    static const std::regex custom(R"(^\s*(\d{1,3})d?\s+(\d{1,2})h?\s+(\d{1,2})m?\s+(\d{1,2})s?\s*$)");
    std::smatch match;
    if (!std::regex_match(text, match, custom)) return std::nullopt;
    const int minutes = std::stoi(match[3]), secs = std::stoi(match[4]);
    if (minutes > 59 || secs > 59) return std::nullopt;
    char masked[64];
    std::snprintf(masked, sizeof masked, "%03dd %02dh %02dm %02ds", std::stoi(match[1]), std::stoi(match[2]), minutes,
                  secs);
    const CustomThreshold parsed = ParseCustomThreshold(masked);
    return ThresholdArgument{parsed.seconds, parsed.correctedText};
}

std::optional<CaptureOptions> ParseCaptureOptions(const std::vector<std::string>& arguments, std::string& error) {
    CaptureOptions options;
    for (std::size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        std::string name = argument, value;
        bool hasValue = false;
        if (const auto equals = argument.find('='); argument.starts_with("--") && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            hasValue = true;
        }
        const auto takeValue = [&]() -> bool {
            if (hasValue) return true;
            if (i + 1 >= arguments.size()) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = arguments[++i];
            return true;
        };
        if (name == "--help" || name == "-h") {
            options.help = true;
        } else if (name == "--list-devices") {
            options.listDevices = true;
        } else if (name == "--play") {
            options.play = true;
        } else if (name == "--rewind") {
            options.rewind = true;
        } else if (name == "--repair") {
            // Every argument after it is a file.
            options.repair.assign(arguments.begin() + std::ptrdiff_t(i) + 1, arguments.end());
            if (options.repair.empty()) {
                error = "option --repair needs at least one file";
                return std::nullopt;
            }
            break;
        } else if (name == "--input") {
            if (!takeValue()) return std::nullopt;
            options.input = value;
        } else if (name == "--device") {
            if (!takeValue()) return std::nullopt;
            options.device = value;
        } else if (name == "--threshold") {
            if (!takeValue()) return std::nullopt;
            const auto threshold = ParseThresholdArgument(value);
            if (!threshold) {
                error = "invalid threshold '" + value + "' (none, seconds, or \"ddd hh mm ss\")";
                return std::nullopt;
            }
            options.threshold = threshold->seconds;
            options.customText = threshold->customText;
        } else if (name == "--start") {
            if (!takeValue()) return std::nullopt;
            if (value == "now") options.start = StartWhen::Now;
            else if (value == "scene") options.start = StartWhen::Scene;
            else if (value == "defined-scene") options.start = StartWhen::DefinedScene;
            else {
                error = "invalid --start '" + value + "' (now, scene or defined-scene)";
                return std::nullopt;
            }
        } else if (name == "--stop") {
            if (!takeValue()) return std::nullopt;
            if (value == "end") options.stop = StopWhen::End;
            else if (value == "scene") options.stop = StopWhen::Scene;
            else if (value == "defined-scene") options.stop = StopWhen::DefinedScene;
            else if (value.starts_with("after=")) {
                char* end = nullptr;
                const std::string number = value.substr(6);
                const double seconds = std::strtod(number.c_str(), &end);
                if (number.empty() || *end != '\0' || !std::isfinite(seconds) || seconds <= 0) {
                    error = "invalid --stop '" + value + "' (after= needs a positive number of seconds)";
                    return std::nullopt;
                }
                options.stop = StopWhen::After;
                options.stopAfterSeconds = seconds;
            } else {
                error = "invalid --stop '" + value + "' (end, scene, defined-scene or after=SECONDS)";
                return std::nullopt;
            }
        } else if (name == "--folder") {
            if (!takeValue()) return std::nullopt;
            options.folder = value;
        } else if (name == "--prefix") {
            if (!takeValue()) return std::nullopt;
            options.prefix = value;
        } else if (name == "--type") {
            if (!takeValue()) return std::nullopt;
            if (value != "1" && value != "2") {
                error = "invalid --type '" + value + "' (1 or 2)";
                return std::nullopt;
            }
            options.fileType = value == "1" ? 1 : 2;
        } else {
            error = "unknown option '" + argument + "'";
            return std::nullopt;
        }
    }
    return options;
}

const char* CaptureUsageText() {
    return R"(Usage: korvanta-capture [OPTION]...
       korvanta-capture --list-devices
       korvanta-capture --input FILE.dv [OPTION]...
       korvanta-capture --repair FILE...
Capture a DV tape from a camcorder into one DV AVI file per scene.

Options:
  --list-devices           list the DV camcorders (name, tab, identifier) and exit
  --device NAME            capture from the camcorder NAME: its name or identifier as
                           --list-devices prints them, or its own name (default: the first)
  --threshold VALUE        scene threshold: none, a number of seconds, or
                           "ddd hh mm ss" (days, hours, minutes, seconds);
                           default: the threshold of the settings file
  --start WHEN             now (default), scene (at the next scene change), or
                           defined-scene (at the next change larger than the threshold)
  --stop WHEN              end (default: when the tape stops), scene, defined-scene,
                           or after=SECONDS (seconds after recording began)
  --folder DIR             where the files go (default: the settings' capture folder)
  --prefix TEXT            file names begin with TEXT (default: the settings' file naming)
  --type 1|2               DV AVI type 1 or type 2 (default: the settings' file type)
  --play                   start the tape playing (otherwise press play on the camcorder)
  --rewind                 rewind the tape to its start first
  --input FILE.dv          capture a raw DV file on disk instead of a tape, as fast
                           as the files can be written; the same files as from the tape
  --repair FILE...         repair DV AVI files a capture left unfinished (a crash,
                           a power cut): their indexes and headers are rewritten,
                           their frames kept as they are; then exit
  -h, --help               show this help and exit

Progress goes to standard error. When the capture ends, standard output has
one line per file written:
  file: FULL-PATH frames: N

A repair writes one line per file: "repaired: FULL-PATH frames: N", or
"whole: FULL-PATH frames: N" for a file that needed none.

Exit status: 0 when the capture ran, 1 when it could not run or was cut
short (the message says why), 2 for a mistake on the command line. A repair
exits with 1 when a file could not be repaired (it is left as it was).
)";
}
