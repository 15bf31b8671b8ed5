#include "filters/relaysink/scene_file_name.h"

#include "filters/relaysink/recording_clock.h"

#include <ctime>
#include <string>

namespace {

constexpr char kNoDateText[] = "--  --";

bool IsLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static constexpr int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

bool IsValidDateTime(const DvFrameInfo& info) {
    if (info.recYear < 100 || info.recYear > 9999) return false;
    if (info.recMonth < 1 || info.recMonth > 12) return false;
    if (info.recDay < 1 || info.recDay > DaysInMonth(info.recYear, info.recMonth)) return false;
    return info.recHour >= 0 && info.recHour <= 23 && info.recMinute >= 0 && info.recMinute <= 59 &&
           info.recSecond >= 0 && info.recSecond <= 59;
}

// The date text holds only digits, spaces and dashes, so it never carries a
// character that a path could not hold.
std::string DateText(const DvFrameInfo& info) {
    if (!IsValidDateTime(info)) return kNoDateText;
    const std::tm fields = RecordingFields(info);
    char text[32] = {};
    std::strftime(text, sizeof text, "%Y%m%d %H%M%S", &fields);
    return text;
}

}  // namespace

bstr_t SceneFileName(const bstr_t& prefix, const DvFrameInfo& info) {
    return bstr_t(prefix.utf8() + " " + DateText(info) + ".avi");
}
