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

// Peeks, and removes the head only when handles(kind) says this taker owns
// it. Returns once the queue is empty after done was set.
template <class Handles>
std::vector<std::uint64_t> RunTaker(FrameQueue& queue, const std::atomic<bool>& done, Handles handles) {
    std::vector<std::uint64_t> removed;
    for (;;) {
        const bool finished = done;  // read first: every push happened before done was set
        FrameQueue::ItemPtr head;
        if (!queue.TakeFirst(head, true)) {
            if (finished) return removed;
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

class Pusher {
public:
    explicit Pusher(FrameQueue& queue) : queue_(queue) {}

    std::uint64_t PushNewFile() {
        EXPECT_TRUE(queue_.PushEndOfFile());
        EXPECT_TRUE(queue_.PushNewFile(bstr_t("/tapes"), bstr_t(std::to_string(sequence_))));
        return sequence_++;
    }
    std::uint64_t PushFrame() {
        std::uint8_t payload[16] = {};
        std::memcpy(payload, &sequence_, sizeof sequence_);
        DvFrameReader reader;
        reader.Attach(payload, sizeof payload);
        EXPECT_TRUE(queue_.PushFrame(reader));
        return sequence_++;
    }
    std::uint64_t Pushed() const { return sequence_; }

private:
    FrameQueue& queue_;
    std::uint64_t sequence_ = 0;
};

TEST(FrameQueueThreads, PusherTwoTakersAndClearAllRace) {
    FrameQueue queue;
    Pusher pusher(queue);
    std::atomic<bool> pushing{true};
    std::atomic<bool> done{false};

    std::thread capture([&] {
        for (std::uint64_t file = 0; file < kFiles; ++file) {
            pusher.PushNewFile();
            for (std::uint64_t f = 0; f < kFramesPerFile; ++f) pusher.PushFrame();
        }
        pushing = false;
    });
    std::thread clearer([&] {
        while (pushing) {
            std::this_thread::sleep_for(std::chrono::microseconds(300));
            queue.ClearAll();
        }
    });
    std::vector<std::uint64_t> frames;
    std::vector<std::uint64_t> boundaries;
    std::thread frameClient([&] {
        frames = RunTaker(queue, done, [](FrameQueueItemKind kind) { return kind == QueueFrame; });
    });
    std::thread program([&] {
        boundaries = RunTaker(queue, done, [](FrameQueueItemKind kind) { return kind != QueueFrame; });
    });
    capture.join();
    clearer.join();
    // A last file after the clearing stopped must reach the takers whole.
    const std::uint64_t lastFile = pusher.PushNewFile();
    const std::uint64_t lastFrame = pusher.PushFrame();
    done = true;
    frameClient.join();
    program.join();

    EXPECT_EQ(queue.Count(), 0u);
    ASSERT_FALSE(frames.empty());
    ASSERT_FALSE(boundaries.empty());
    EXPECT_EQ(frames.back(), lastFrame);
    EXPECT_EQ(boundaries.back(), lastFile);
    // Each taker removed items in push order and none twice.
    for (const auto* taken : {&frames, &boundaries}) {
        for (std::size_t i = 1; i < taken->size(); ++i) EXPECT_LT((*taken)[i - 1], (*taken)[i]);
    }
    EXPECT_LE(frames.size() + boundaries.size(), pusher.Pushed());
}

}  // namespace
