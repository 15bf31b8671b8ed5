#include "korvanta/core/language.h"

#include <algorithm>
#include <array>

#include "korvanta/core/ini_documents.h"

namespace {

constexpr std::array<NumberedText, 5> kMessages = {{
    {1, "DeleteMovie", MessageBoxButtons::YesNo},
    {2, "CaptureDeviceArrived", MessageBoxButtons::Ok},
    {3, "CaptureDeviceRemoved", MessageBoxButtons::Ok},
    {4, "CurrentCaptureDeviceRemoved", MessageBoxButtons::Ok},
    {5, "NewCaptureDeviceArrived", MessageBoxButtons::Ok},
}};

constexpr std::array<NumberedText, 6> kErrors = {{
    {1, "FixedDisk", MessageBoxButtons::Ok},
    {3, "NoDVCaptureDevice", MessageBoxButtons::Ok},
    {5, "CaptureGraphFailed", MessageBoxButtons::Ok},
    {7, "UnableToStart", MessageBoxButtons::Ok},
    {8, "NoDirectX", MessageBoxButtons::Ok},
    {9, "NonExistingCaptFolder", MessageBoxButtons::Ok},
}};

constexpr int kFirstMenuCommand = 1001;

// Keys of the context-menu commands 1001 to 1053, in command order.
constexpr std::array<std::string_view, 53> kMenuKeys = {
    "VideoPreview",     "MovieEdit",        "DVDAuthor",        "Settings",
    "About",            "Help",             "VPRCapture",       "VPRMuteAll",
    "VPRStopAll",       "VPRSelectFolder",  "VPRPlayBack",      "VPRPlay",
    "VPRPause",         "VPRStop",          "VPRCaptureFrame",  "VPRMute",
    "VPRDelete",        "CAPPlayBack",      "CAPPlay",          "CAPPause",
    "CAPStop",          "CAPFastBack",      "CAPSlowBack",      "CAPStepBack",
    "CAPStepForw",      "CAPSlowForw",      "CAPFastForw",      "CAPMute",
    "CAPTimeDiff",      "CAPScDiffCustom",  "CAPScDiffNoScene", "CAPScDiff1Sec",
    "CAPScDiff1Min",    "CAPScDiff15Min",   "CAPScDiff30Min",   "CAPScDiff1Hour",
    "CAPScDiff4Hours",  "CAPScDiff8Hours",  "CAPScDiff12Hours", "CAPScDiff16Hours",
    "CAPScDiff1Day",    "CAPScDiff2Days",   "CAPScDiff7Days",   "CAPScDiff14Days",
    "CAPScDiff30Days",  "CAPCapture",       "CAPStartNow",      "CAPStartOnScene",
    "CAPStartOnDefinedScene", "CAPStopNow", "CAPStopOnScene",   "CAPStopOnDefinedScene",
    "CAPSelectFolder",
};

std::string Text(std::string_view section, std::string_view key) {
    std::string text;
    LanguageDocument().ReadText(section, key, text, "");
    return text;
}

std::string MultiLineText(std::string_view section, std::string_view key) {
    std::string text;
    LanguageDocument().ReadMultiLineText(section, key, text, "");
    return text;
}

const NumberedText* FindNumbered(std::span<const NumberedText> table, int n) {
    const auto found = std::find_if(table.begin(), table.end(), [n](const NumberedText& t) { return t.number == n; });
    return found == table.end() ? nullptr : &*found;
}

}  // namespace

std::string TooltipText(std::string_view key) { return MultiLineText("ToolTips", key); }
std::string LabelText(std::string_view key) { return Text("Labels", key); }
std::string MessageText(std::string_view key) { return MultiLineText("Messages", key); }
std::string ErrorText(std::string_view key) { return MultiLineText("Errors", key); }

std::string_view ContextMenuKey(int commandId) {
    const int index = commandId - kFirstMenuCommand;
    return index >= 0 && index < static_cast<int>(kMenuKeys.size()) ? kMenuKeys[static_cast<std::size_t>(index)]
                                                                     : std::string_view();
}

std::string ContextMenuText(int commandId) {
    const std::string_view key = ContextMenuKey(commandId);
    return key.empty() ? std::string() : Text("ContextMenu", key);
}

MessageBoxResult ShowMessage(int n) {
    const NumberedText* message = FindNumbered(kMessages, n);
    if (!message) return MessageBoxResult::Ok;
    return ShowMessageBox(MessageText(message->key), message->buttons);
}

MessageBoxResult ShowError(int n) {
    const NumberedText* error = FindNumbered(kErrors, n);
    if (!error) return MessageBoxResult::Ok;
    return ShowMessageBox(ErrorText(error->key), MessageBoxButtons::Ok);
}

MessageBoxResult ShowErrorText(std::string_view key, std::string_view extra) {
    std::string text = ErrorText(key);
    text += extra;
    return ShowMessageBox(text, MessageBoxButtons::Ok);
}

std::span<const NumberedText> MessageTable() { return kMessages; }
std::span<const NumberedText> ErrorTable() { return kErrors; }
