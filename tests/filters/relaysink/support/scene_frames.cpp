#include "scene_frames.h"

#include <cstdio>
#include <ctime>

#include "support/dv/dv_frame_builder.h"

namespace kvtest {

namespace {

std::uint8_t Bcd(int value) { return static_cast<std::uint8_t>(((value / 10) << 4) | (value % 10)); }

}  // namespace

std::vector<std::uint8_t> MakeSceneFrame(const SceneFrame& recipe) {
    auto frame = BlankDvFrame(recipe.system);
    const auto& tc = recipe.timeCode;
    const DvPack timeCode = recipe.badTimeCode ? DvPack{0x13, 0xFF, 0xFF, 0xFF, 0xFF}
                                             : DvPack{0x13, Bcd(tc.frames), Bcd(tc.seconds), Bcd(tc.minutes), Bcd(tc.hours)};
    PutSubcodePack(frame, 0, 0, 0, timeCode);
    if (recipe.badDate) {
        PutSubcodePack(frame, 0, 0, 1, {0x62, 0xFF, 0xFF, 0xFF, 0xFF});
        PutSubcodePack(frame, 0, 0, 2, {0x63, 0xFF, 0xFF, 0xFF, 0xFF});
    } else if (recipe.hasDate) {
        const auto& d = recipe.date;
        PutSubcodePack(frame, 0, 0, 1, {0x62, 0xFF, Bcd(d.day), Bcd(d.month), Bcd(d.year % 100)});
        PutSubcodePack(frame, 0, 0, 2, {0x63, 0xFF, Bcd(d.second), Bcd(d.minute), Bcd(d.hour)});
    }
    // Video source control: the display mode in the low bits of PC2 (2 = 16:9).
    PutVauxPack(frame, 0, 0, 0, {0x61, 0xFF, static_cast<std::uint8_t>(recipe.wide ? 0x02 : 0x00), 0xFF, 0xFF});
    return frame;
}

DvDateTime AddSeconds(const DvDateTime& date, std::int64_t seconds) {
    std::tm fields{};
    fields.tm_year = date.year - 1900;
    fields.tm_mon = date.month - 1;
    fields.tm_mday = date.day;
    fields.tm_hour = date.hour;
    fields.tm_min = date.minute;
    fields.tm_sec = date.second;
    const std::time_t moved = timegm(&fields) + seconds;
    std::tm out{};
    gmtime_r(&moved, &out);
    return {out.tm_year + 1900, out.tm_mon + 1, out.tm_mday, out.tm_hour, out.tm_min, out.tm_sec};
}

std::string TimeCodeOf(const DvFrameReader& frame) {
    std::int32_t hours = -1, minutes = -1, seconds = -1, frames = -1;
    frame.GetTimeCode(hours, minutes, seconds, frames);
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%02d", hours, minutes, seconds, frames);
    return text;
}

DrainedQueue Drain(FrameQueue& queue) {
    DrainedQueue drained;
    FrameQueue::ItemPtr item;
    while (queue.TakeFirst(item, false)) {
        switch (item->kind) {
            case QueueEndOfFile:
                drained.items.push_back("EOF");
                break;
            case QueueNewFile:
                drained.items.push_back("NEW " + item->name.utf8());
                drained.folders.push_back(item->folder.utf8());
                break;
            case QueueFrame:
                drained.items.push_back("FRAME");
                drained.frames.push_back(item);
                break;
        }
    }
    return drained;
}

}  // namespace kvtest
