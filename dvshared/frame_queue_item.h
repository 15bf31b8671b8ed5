#pragma once
// FrameQueueItem: one entry of the frame relay queue: a file boundary or a
// recorded frame.
#include <cstdint>
#include <memory>

#include "dvshared/dv_frame_reader.h"
#include "platform/com/bstr.h"

enum FrameQueueItemKind : std::int32_t {
    QueueEndOfFile = 1,  // close the current output file (taken by the program)
    QueueNewFile = 2,    // open folder/name as the next output file (taken by the program)
    QueueFrame = 3,      // deliver frame as the next sample (taken by the frame client)
};

struct FrameQueueItem {
    FrameQueueItemKind kind = QueueEndOfFile;
    // QueueFrame: a reader owning a private copy of the frame; otherwise null.
    std::unique_ptr<DvFrameReader> frame;
    // QueueNewFile: the new file's name and folder, sharing their text with
    // the frame server's strings; otherwise empty.
    bstr_t name;
    bstr_t folder;
};
