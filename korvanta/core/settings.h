#pragma once
// The program's persistent choices, read and written by a small numeric id.
// Each id maps to one section and key of the settings document (one, the
// selected duration, to the transient document), see settings.cpp.
#include <cstdint>
#include <string>

enum class SettingId : int {
    None = 0,
    PreviewFolder = 1,
    Tooltips = 2,
    SelectedDuration = 3,  // written as a signed difference, see SetSetting
    MuteAll = 4,
    FrameCaptureFolder = 5,
    FrameCaptureFileType = 6,
    FrameCaptureQuality = 7,
    CaptureFolder = 8,
    FileNaming = 9,
    // 10 is reserved: no setting has it.
    CapSceneDiff = 11,
    CapSceneDiffCustom = 12,
    UsedDevice = 13,
    MaxPlayback = 14,
    FileType = 15,
    VideoResolution = 16,
    ImageResolution = 17,
    CaptureResolution = 18,
};

// Text settings use text; boolean settings the number 0 or 1, integer
// settings its low 32 bits (signed) and the duration all 64 bits.
struct SettingValue {
    std::string text;
    std::int64_t number = 0;
};

// The stored setting, or an empty record (empty text, 0) when it is absent
// or the id names no setting.
SettingValue GetSetting(SettingId id);

// Stores the setting; when notify is set, NotifySettingChanged(id) follows
// whatever the outcome. Returns false for the reserved id 10 and ids above 18
// (nothing is written), and when the value cannot be stored as a line of the
// settings file (a text with a line break); id 0 writes nothing and returns
// true. SelectedDuration adds value.number to the stored total, which never
// drops below 0.
bool SetSetting(SettingId id, const SettingValue& value, bool notify);

// The command id of a resolution choice (Full 1000, Half 1001, Quarter 1002,
// Eighth 1003) for a stored resolution index 0 to 3; other values give Quarter.
int ResolutionCommand(std::int64_t resolutionIndex);
