// FrameQueue: order, keep/take semantics, ownership of taken items, ClearAll.
#include <gtest/gtest.h>

#include "dvshared/frame_queue.h"
#include "support/dv/dv_frame_builder.h"

namespace {

using kvtest::BlankDvFrame;
using kvtest::DvSystem;

TEST(FrameQueue, EmptyQueueGivesNullAndFalse) {
    FrameQueue queue;
    FrameQueue::ItemPtr item = std::make_shared<FrameQueueItem>();
    EXPECT_FALSE(queue.TakeFirst(item, true));
    EXPECT_EQ(item, nullptr);
    item = std::make_shared<FrameQueueItem>();
    EXPECT_FALSE(queue.TakeFirst(item, false));
    EXPECT_EQ(item, nullptr);
    EXPECT_FALSE(queue.HasItems());
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(queue.RemoveFirstIf(nullptr));
}

TEST(FrameQueue, KeepPeeksTheSameItemAndTakeMovesOn) {
    FrameQueue queue;
    auto frame = BlankDvFrame(DvSystem::Pal625);
    DvFrameReader reader;
    reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    ASSERT_TRUE(queue.PushEndOfFile());
    ASSERT_TRUE(queue.PushNewFile(bstr_t("/tapes"), bstr_t("Tape 20240315 134556.avi")));
    ASSERT_TRUE(queue.PushFrame(reader));
    EXPECT_EQ(queue.Count(), 3u);

    FrameQueue::ItemPtr first;
    FrameQueue::ItemPtr again;
    ASSERT_TRUE(queue.TakeFirst(first, true));
    ASSERT_TRUE(queue.TakeFirst(again, true));
    EXPECT_EQ(first, again);
    EXPECT_EQ(first->kind, QueueEndOfFile);
    EXPECT_EQ(first->frame, nullptr);
    EXPECT_TRUE(first->name.empty());
    EXPECT_EQ(queue.Count(), 3u);

    FrameQueue::ItemPtr taken;
    ASSERT_TRUE(queue.TakeFirst(taken, false));
    EXPECT_EQ(taken, first);
    ASSERT_TRUE(queue.TakeFirst(taken, false));
    EXPECT_EQ(taken->kind, QueueNewFile);
    EXPECT_EQ(taken->folder.utf8(), "/tapes");
    EXPECT_EQ(taken->name.utf8(), "Tape 20240315 134556.avi");
    EXPECT_EQ(taken->frame, nullptr);
    ASSERT_TRUE(queue.TakeFirst(taken, false));
    EXPECT_EQ(taken->kind, QueueFrame);
    ASSERT_NE(taken->frame, nullptr);
    EXPECT_EQ(taken->frame->Size(), 144000u);
    EXPECT_FALSE(queue.HasItems());
}

TEST(FrameQueue, NewFileItemSharesTheCallersStrings) {
    FrameQueue queue;
    const bstr_t folder("/tapes");
    const bstr_t name("Tape.avi");
    ASSERT_TRUE(queue.PushNewFile(folder, name));
    EXPECT_EQ(folder.use_count(), 2);
    EXPECT_EQ(name.use_count(), 2);
    queue.ClearAll();
    EXPECT_EQ(folder.use_count(), 1);
    EXPECT_EQ(name.use_count(), 1);
}

TEST(FrameQueue, QueuedFrameIsAPrivateCopy) {
    FrameQueue queue;
    auto buffer = BlankDvFrame(DvSystem::Ntsc525);
    kvtest::PutSubcodePack(buffer, 0, 0, 0, {0x13, 0x05, 0x00, 0x00, 0x00});
    DvFrameReader sample;
    sample.Attach(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    ASSERT_TRUE(queue.PushFrame(sample));
    // The sample buffer is reused for the next frame.
    std::fill(buffer.begin(), buffer.end(), 0x00);

    FrameQueue::ItemPtr item;
    ASSERT_TRUE(queue.TakeFirst(item, false));
    EXPECT_TRUE(item->frame->OwnsData());
    DvFrameInfo info;
    ASSERT_TRUE(item->frame->FillInfo(info));
    EXPECT_EQ(info.is625, 0);
    EXPECT_EQ(info.tcFrames, 5);
}

TEST(FrameQueue, ClearAllEmptiesTheQueueAndKeepsPeekedItemsAlive) {
    FrameQueue queue;
    auto buffer = BlankDvFrame(DvSystem::Pal625);
    DvFrameReader sample;
    sample.Attach(buffer.data(), static_cast<std::uint32_t>(buffer.size()));
    ASSERT_TRUE(queue.PushEndOfFile());
    ASSERT_TRUE(queue.PushNewFile(bstr_t("/a"), bstr_t("b.avi")));
    for (int i = 0; i < 5; ++i) ASSERT_TRUE(queue.PushFrame(sample));

    FrameQueue::ItemPtr peeked;
    ASSERT_TRUE(queue.TakeFirst(peeked, true));
    queue.ClearAll();
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(queue.HasItems());
    // The peeked item is still readable, and is no longer first.
    EXPECT_EQ(peeked->kind, QueueEndOfFile);
    EXPECT_FALSE(queue.RemoveFirstIf(peeked));
    queue.ClearAll();  // on an empty queue
    EXPECT_EQ(queue.Count(), 0u);
}

// A taker that peeked one item never removes a different one that took its place.
TEST(FrameQueue, RemoveFirstIfRemovesOnlyThePeekedItem) {
    FrameQueue queue;
    ASSERT_TRUE(queue.PushEndOfFile());
    FrameQueue::ItemPtr peeked;
    ASSERT_TRUE(queue.TakeFirst(peeked, true));
    queue.ClearAll();
    ASSERT_TRUE(queue.PushNewFile(bstr_t("/a"), bstr_t("b.avi")));
    EXPECT_FALSE(queue.RemoveFirstIf(peeked));
    EXPECT_EQ(queue.Count(), 1u);

    FrameQueue::ItemPtr head;
    ASSERT_TRUE(queue.TakeFirst(head, true));
    EXPECT_TRUE(queue.RemoveFirstIf(head));
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_EQ(head->kind, QueueNewFile);
}

TEST(FrameQueue, EmptyReaderQueuesAnEmptyFrame) {
    FrameQueue queue;
    DvFrameReader empty;
    ASSERT_TRUE(queue.PushFrame(empty));
    FrameQueue::ItemPtr item;
    ASSERT_TRUE(queue.TakeFirst(item, false));
    EXPECT_EQ(item->kind, QueueFrame);
    EXPECT_EQ(item->frame->Size(), 0u);
}

}  // namespace
