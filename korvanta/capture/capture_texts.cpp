#include "korvanta/capture/capture_texts.h"

#include <cinttypes>
#include <cstdio>
#include <ctime>

#include "platform/system/locale_text.h"

namespace {

constexpr const char* kNoTimecodeText = "--:--:--.--";
constexpr const char* kNoDateText = "--  --";

int Byte(BcdTimecode timecode, int shift) { return static_cast<int>((timecode >> shift) & 0xFF); }

// The value of a BCD byte, or -1 when a nibble is above 9.
int BcdValue(int byte) {
    const int tens = byte >> 4;
    const int units = byte & 0x0F;
    return tens > 9 || units > 9 ? -1 : tens * 10 + units;
}

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

}  // namespace

std::string TimecodeText(BcdTimecode timecode) {
    char text[16];
    std::snprintf(text, sizeof text, "%.2x:%.2x:%.2x.%.2x", Byte(timecode, 24), Byte(timecode, 16), Byte(timecode, 8),
                  Byte(timecode, 0));
    return text;
}

bool IsValidTimecode(BcdTimecode timecode) {
    const int hours = BcdValue(Byte(timecode, 24));
    const int minutes = BcdValue(Byte(timecode, 16));
    const int seconds = BcdValue(Byte(timecode, 8));
    const int frames = BcdValue(Byte(timecode, 0));
    return hours >= 0 && minutes >= 0 && seconds >= 0 && frames >= 0 && hours < 4 && minutes < 60 && seconds < 60 &&
           frames < 31;
}

std::string TimecodeFieldsText(int hours, int minutes, int seconds, int frames) {
    if (hours < 0 || hours >= 26 || minutes < 0 || minutes >= 60 || seconds < 0 || seconds >= 60 || frames < 0 ||
        frames >= 31)
        return kNoTimecodeText;
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02d", hours, minutes, seconds, frames);
    return text;
}

std::string FrameCountText(std::uint64_t frameCount, int frameTimeMs) {
    // A negative frame time is no frame time either.
    if (frameTimeMs <= 0) return {};
    // 128 bits: no frame count, however large, wraps the milliseconds.
    const unsigned __int128 ms = static_cast<unsigned __int128>(frameCount) * static_cast<unsigned>(frameTimeMs);
    const auto hours = static_cast<std::uint64_t>(ms / 3600000);
    const auto minutes = static_cast<int>(ms % 3600000 / 60000);
    const auto seconds = static_cast<int>(ms % 60000 / 1000);
    const auto frame = static_cast<int>(ms % 1000 / static_cast<unsigned>(frameTimeMs));
    char text[48];
    std::snprintf(text, sizeof text, "%02" PRIu64 ":%02d:%02d.%02d", hours, minutes, seconds, frame);
    return text;
}

bool IsRecordingDateTime(int year, int month, int day, int hour, int minute, int second) {
    return year >= 100 && year <= 9999 && month >= 1 && month <= 12 && day >= 1 && day <= DaysInMonth(year, month) &&
           hour >= 0 && hour <= 23 && minute >= 0 && minute <= 59 && second >= 0 && second <= 59;
}

std::string RecordingDateText(int year, int month, int day, int hour, int minute, int second) {
    if (!IsRecordingDateTime(year, month, day, hour, minute, second)) return kNoDateText;
    const bool midnight = hour == 0 && minute == 0 && second == 0;
    return LocaleDateTimeText(year, month, day, hour, minute, second, midnight);
}

std::string RecordingStampText(int year, int month, int day, int hour, int minute, int second, int tcHours,
                               int tcMinutes, int tcSeconds, int tcFrames) {
    if (!IsRecordingDateTime(year, month, day, hour, minute, second)) return kNoDateText;
    std::tm time{};
    time.tm_year = year - 1900;
    time.tm_mon = month - 1;
    time.tm_mday = day;
    time.tm_hour = hour;
    time.tm_min = minute;
    time.tm_sec = second;
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y%m%d %H%M%S", &time);
    std::snprintf(text + length, sizeof text - length, " %02d%02d%02d%02d", tcHours, tcMinutes, tcSeconds, tcFrames);
    return text;
}

std::string TapePositionText(const TapeTextState& state) {
    std::string text;
    if (!state.vcrMode) {
        // A negative count is no count.
        if (state.frameCount >= 0) text = FrameCountText(static_cast<std::uint64_t>(state.frameCount), state.frameTimeMs);
    } else if (state.timecodeValid) {
        text = TimecodeText(state.timecode);
    }
    return text.empty() ? kNoTimecodeText : text;
}
