#include "filters/relaysink/recording_clock.h"

#include <ctime>

std::tm RecordingFields(const DvFrameInfo& info) {
    std::tm fields{};
    fields.tm_sec = info.recSecond;
    fields.tm_min = info.recMinute;
    fields.tm_hour = info.recHour;
    fields.tm_mday = info.recDay;
    fields.tm_mon = info.recMonth - 1;
    fields.tm_year = info.recYear - 1900;
    fields.tm_isdst = 0;
    return fields;
}

namespace {

// Calendar seconds of the recording date and time, or -1. mktime normalises
// fields out of range (day 45 becomes a day of the next month), so only
// dates beyond what time_t can hold fail.
std::time_t LocalStandardTime(const DvFrameInfo& info) {
    std::tm fields = RecordingFields(info);
    return std::mktime(&fields);
}

}  // namespace

bool RecordingDatesDiffer(const DvFrameInfo& a, const DvFrameInfo& b) {
    return a.recYear != b.recYear || a.recMonth != b.recMonth || a.recDay != b.recDay ||
           a.recHour != b.recHour || a.recMinute != b.recMinute || a.recSecond != b.recSecond;
}

std::int64_t RecordingSecondsBetween(const DvFrameInfo& a, const DvFrameInfo& b) {
    const std::time_t first = LocalStandardTime(a);
    const std::time_t second = LocalStandardTime(b);
    if (first == static_cast<std::time_t>(-1) || second == static_cast<std::time_t>(-1)) return kUnconvertibleDate;
    return static_cast<std::int64_t>(first) - static_cast<std::int64_t>(second);
}
