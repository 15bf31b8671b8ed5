// FrameQueue under the load of a capture: the frame server pushing, the
// frame client taking frames, the program taking file boundaries and
// clearing the queue, all at once. Run under the sanitizers (and in a
// ThreadSanitizer build) this catches races and use of freed items.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "dvshared/frame_queue.h"

namespace {

constexpr std::uint64_t kFiles = 200;
constexpr std::uint64_t kFramesPerFile = 20;

// Frames carry their push number in their bytes, new-file items in their
// name; end-of-file items carry nothing and are not numbered.
std::optional<std::uint64_t> SequenceOf(const FrameQueueItem& item) {
    if (item.kind == QueueFrame) {
        std::uint64_t sequence = 0;
        std::memcpy(&sequence, item.frame->Data(), sizeof sequence);
        return sequence;
    }
    if (item.kind == QueueNewFile) return std::stoull(item.name.utf8());
    return std::nullopt;
}

// Peeks, and removes the head only when handles(kind) says this taker owns it.
template <class Handles>
std::vector<std::uint64_t> RunTaker(FrameQueue& queue, const std::atomic<bool>& done, Handles handles) {
    std::vector<std::uint64_t> removed;
    for (;;) {
        FrameQueue::ItemPtr head;
        if (!queue.TakeFirst(head, true)) {
            if (done) return removed;
            std::this_thread::yield();
            continue;
        }
        // Reading a peeked item must stay safe even when ClearAll has freed the queue's reference.
        const auto sequence = SequenceOf(*head);
        if (handles(head->kind) && queue.RemoveFirstIf(head)) {
            if (sequence) removed.push_back(*sequence);
        } else {
            std::this_thread::yield();
        }
    }
}

TEST(FrameQueueThreads, PusherTwoTakersAndClearAllRace) {
    FrameQueue queue;
    std::atomic<bool> pushing{true};
    std::atomic<bool> done{false};
    std::atomic<std::uint64_t> pushed{0};

    std::thread pusher([&] {
        std::uint64_t sequence = 0;
        DvFrameReader reader;
        std::uint8_t payload[16] = {};
        for (std::uint64_t file = 0; file < kFiles; ++file) {
            EXPECT_TRUE(queue.PushEndOfFile());
            EXPECT_TRUE(queue.PushNewFile(bstr_t("/tapes"), bstr_t(std::to_string(sequence++))));
            for (std::uint64_t f = 0; f < kFramesPerFile; ++f) {
                std::memcpy(payload, &sequence, sizeof sequence);
                ++sequence;
                reader.Attach(payload, sizeof payload);
                EXPECT_TRUE(queue.PushFrame(reader));
            }
        }
        pushed = sequence;
        pushing = false;
    });
    std::thread clearer([&] {
        while (pushing) {
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            queue.ClearAll();
        }
        queue.ClearAll();
        done = true;
    });
    std::vector<std::uint64_t> frames;
    std::vector<std::uint64_t> boundaries;
    std::thread frameClient([&] {
        frames = RunTaker(queue, done, [](FrameQueueItemKind kind) { return kind == QueueFrame; });
    });
    std::thread program([&] {
        boundaries = RunTaker(queue, done, [](FrameQueueItemKind kind) { return kind != QueueFrame; });
    });
    pusher.join();
    clearer.join();
    frameClient.join();
    program.join();

    EXPECT_EQ(queue.Count(), 0u);
    // Each taker removed items in push order, none twice, and only of its own kinds.
    for (const auto* taken : {&frames, &boundaries}) {
        for (std::size_t i = 1; i < taken->size(); ++i) EXPECT_LT((*taken)[i - 1], (*taken)[i]);
    }
    EXPECT_LE(frames.size() + boundaries.size(), pushed.load());
    EXPECT_FALSE(frames.empty());
    EXPECT_FALSE(boundaries.empty());
}

}  // namespace
