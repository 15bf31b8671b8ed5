#pragma once
// The command line of korvanta-capture.
#include <optional>
#include <string>
#include <vector>

#include "korvanta/capture/scene_threshold.h"

enum class StartWhen { Now, Scene, DefinedScene };
enum class StopWhen { End, Scene, DefinedScene, After };

struct CaptureOptions {
    bool help = false;
    bool listDevices = false;
    std::optional<std::string> device;         // display name as listed
    std::optional<SceneThreshold> threshold;   // seconds; -1 no splitting
    std::optional<std::string> customText;     // the "ddd hh mm ss" form, when given so
    StartWhen start = StartWhen::Now;
    StopWhen stop = StopWhen::End;
    double stopAfterSeconds = 0;
    std::optional<std::string> folder;
    std::optional<std::string> prefix;
    std::optional<int> fileType;  // 1 or 2
    bool play = false;
    bool rewind = false;
    std::vector<std::string> repair;  // files to repair instead of capturing
    std::optional<std::string> input;  // a raw DV file to capture instead of a tape
    // Set by the program, not the command line: the device by its identifier
    // (the input file's deck), whose frames wait for the capture.
    std::optional<std::string> deviceId;
    std::string waitingDeck;
};

// Parses arguments (without the program name). On a mistake, error says
// what is wrong and the result is empty.
std::optional<CaptureOptions> ParseCaptureOptions(const std::vector<std::string>& arguments, std::string& error);

// A threshold as the command takes it: "none", whole seconds, or the custom
// form "ddd hh mm ss" (also written "000d 00h 01m 00s"). Empty when malformed.
struct ThresholdArgument {
    SceneThreshold seconds = 0;
    std::optional<std::string> customText;  // the masked text, for the custom form
};
std::optional<ThresholdArgument> ParseThresholdArgument(const std::string& text);

const char* CaptureUsageText();
