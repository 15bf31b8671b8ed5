#pragma once
// Hand-made DV frames for the scene tests: a recording date and time, a time
// code and a 16:9 flag where a camcorder puts them, and helpers that read
// back what the frame server queued.
#include <cstdint>
#include <string>
#include <vector>

#include "dvshared/frame_queue.h"
#include "support/dv/dv_clips.h"

namespace kvtest {

struct SceneFrame {
    DvDateTime date;
    DvTimeCode timeCode;
    bool wide = false;
    bool hasDate = true;        // without date packs the frame keeps no date of its own
    bool badDate = false;       // date packs of 0xFF bytes (day 45, month 25, year 2065)
    bool badTimeCode = false;   // a time code pack of 0xFF bytes (45:85:85.45)
    DvSystem system = DvSystem::Pal625;
};

std::vector<std::uint8_t> MakeSceneFrame(const SceneFrame& recipe);

// The date moved by seconds on a plain calendar (no time zone involved).
DvDateTime AddSeconds(const DvDateTime& date, std::int64_t seconds);

// The time code a frame carries, as "hh:mm:ss.ff".
std::string TimeCodeOf(const DvFrameReader& frame);

// The queue's items from the head, taken out of it: "EOF", "NEW <name>" or
// "FRAME", and the frames themselves.
struct DrainedQueue {
    std::vector<std::string> items;
    std::vector<FrameQueue::ItemPtr> frames;
    std::vector<std::string> folders;  // of the new-file items
};
DrainedQueue Drain(FrameQueue& queue);

}  // namespace kvtest
