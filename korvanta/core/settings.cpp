#include "korvanta/core/settings.h"

#include <array>
#include <limits>
#include <optional>
#include <string_view>

#include "korvanta/core/ini_documents.h"
#include "korvanta/core/settings_observer.h"

namespace {

enum class StoredAs { Text, Boolean, Integer, Count };

struct SettingPlace {
    bool transient;
    std::string_view section;
    std::string_view key;
    StoredAs type;
};

// Indexed by id; id 0 and the reserved id 10 have no place.
constexpr std::array<std::optional<SettingPlace>, 19> kPlaces = {{
    std::nullopt,
    SettingPlace{false, "Preview", "Folder", StoredAs::Text},
    SettingPlace{false, "General", "Tooltips", StoredAs::Boolean},
    SettingPlace{true, "Preview", "SelectedDuration", StoredAs::Count},
    SettingPlace{false, "General", "MuteAll", StoredAs::Boolean},
    SettingPlace{false, "Preview", "FrameCaptureFolder", StoredAs::Text},
    SettingPlace{false, "Preview", "FrameCaptureFileType", StoredAs::Text},
    SettingPlace{false, "Preview", "FrameCaptureQuality", StoredAs::Integer},
    SettingPlace{false, "Capture", "Folder", StoredAs::Text},
    SettingPlace{false, "Capture", "FileNaming", StoredAs::Text},
    std::nullopt,
    SettingPlace{false, "Capture", "CapSceneDiff", StoredAs::Integer},
    SettingPlace{false, "Capture", "CapSceneDiffCustom", StoredAs::Text},
    SettingPlace{false, "Capture", "UsedDevice", StoredAs::Text},
    SettingPlace{false, "Preview", "MaxPlayback", StoredAs::Integer},
    SettingPlace{false, "Capture", "FileType", StoredAs::Integer},
    SettingPlace{false, "Preview", "VideoResolution", StoredAs::Integer},
    SettingPlace{false, "Preview", "ImageResolution", StoredAs::Integer},
    SettingPlace{false, "Capture", "CaptureResolution", StoredAs::Integer},
}};

const SettingPlace* PlaceOf(SettingId id) {
    const auto index = static_cast<std::size_t>(id);
    return index < kPlaces.size() && kPlaces[index] ? &*kPlaces[index] : nullptr;
}

IniFile& DocumentOf(const SettingPlace& place) {
    return place.transient ? TransientDocument() : SettingsDocument();
}

std::int64_t SaturatingSum(std::int64_t a, std::int64_t b) {
    std::int64_t sum;
    if (!__builtin_add_overflow(a, b, &sum)) return sum;
    return b > 0 ? std::numeric_limits<std::int64_t>::max() : std::numeric_limits<std::int64_t>::min();
}

bool Store(const SettingPlace& place, const SettingValue& value) {
    IniFile& document = DocumentOf(place);
    switch (place.type) {
        case StoredAs::Text:
            return document.WriteText(place.section, place.key, value.text);
        case StoredAs::Boolean:
            return document.WriteBool(place.section, place.key, (value.number & 0xFF) != 0);
        case StoredAs::Integer:
            return document.WriteInt(place.section, place.key, static_cast<std::int32_t>(value.number));
        case StoredAs::Count: {
            std::int64_t total = 0;
            document.ReadCount(place.section, place.key, total, 0);
            return document.WriteCount(place.section, place.key, SaturatingSum(total, value.number));
        }
    }
    return false;
}

}  // namespace

SettingValue GetSetting(SettingId id) {
    SettingValue value;
    const SettingPlace* place = PlaceOf(id);
    if (!place) return value;
    const IniFile& document = DocumentOf(*place);
    switch (place->type) {
        case StoredAs::Text:
            document.ReadText(place->section, place->key, value.text, "");
            break;
        case StoredAs::Boolean: {
            bool flag = false;
            document.ReadBool(place->section, place->key, flag, false);
            value.number = flag ? 1 : 0;
            break;
        }
        case StoredAs::Integer: {
            int number = 0;
            document.ReadInt(place->section, place->key, number, 0);
            value.number = number;
            break;
        }
        case StoredAs::Count:
            document.ReadCount(place->section, place->key, value.number, 0);
            break;
    }
    return value;
}

bool SetSetting(SettingId id, const SettingValue& value, bool notify) {
    bool stored = false;
    if (id == SettingId::None) {
        stored = true;
    } else if (const SettingPlace* place = PlaceOf(id)) {
        stored = Store(*place, value);
    }
    if (notify) NotifySettingChanged(id);
    return stored;
}

int ResolutionCommand(std::int64_t resolutionIndex) {
    return resolutionIndex >= 0 && resolutionIndex <= 3 ? 1000 + static_cast<int>(resolutionIndex) : 1002;
}
