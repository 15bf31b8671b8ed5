// Graph manager: the event list, its handle and the notify window, driven
// through the graph's own event sink as filters drive it.
#include "graph_fixture.h"

#include <mutex>

#include "platform/media/base/event.h"
#include "platform/media/evcode.h"
#include "platform/media/graph/graph_notify.h"

namespace kvtest {
namespace {

constexpr OAHWND kWindow = 0x1234;
constexpr LONG kMessage = 0x8003;

struct Posted {
    OAHWND window;
    LONG message;
    WPARAM wParam;
    LPARAM lParam;
};

class GraphEventsTest : public GraphFixture {
protected:
    void SetUp() override {
        GraphFixture::SetUp();
        ASSERT_EQ(graph.As(&sink), S_OK);
        SetGraphNotifyPoster([this](OAHWND window, LONG message, WPARAM wParam, LPARAM lParam) {
            std::scoped_lock lock(mutex_);
            posted_.push_back({window, message, wParam, lParam});
        });
    }
    void TearDown() override { SetGraphNotifyPoster(nullptr); }

    std::vector<Posted> TakePosted() {
        std::scoped_lock lock(mutex_);
        return std::exchange(posted_, {});
    }

    ComPtr<IMediaEventSink> sink;
    std::mutex mutex_;
    std::vector<Posted> posted_;  // guarded by mutex_
};

TEST_F(GraphEventsTest, GetEventTimesOutWithAbortWhenNothingWaits) {
    LONG code = -1;
    LONG_PTR p1 = -1, p2 = -1;
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 0), E_ABORT);
    EXPECT_EQ(events->GetEvent(&code, &p1, &p2, 30), E_ABORT);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(events->GetEvent(nullptr, &p1, &p2, 0), E_POINTER);
    EXPECT_EQ(events->WaitForCompletion(10, &code), E_ABORT);
}

TEST_F(GraphEventsTest, EventsComeOutInOrderAndTheHandleFollowsThem) {
    OAEVENT handle = 0;
    ASSERT_EQ(events->GetEventHandle(&handle), S_OK);
    CAMEvent* waiting = CAMEvent::FromHandle(static_cast<HEVENT>(handle));
    EXPECT_FALSE(waiting->Check());

    ASSERT_EQ(sink->Notify(EC_USER + 1, 10, 20), S_OK);
    ASSERT_EQ(sink->Notify(EC_USER + 2, 30, 40), S_OK);
    EXPECT_TRUE(waiting->Check());
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    ASSERT_EQ(events->GetEvent(&code, &p1, &p2, 0), S_OK);
    EXPECT_EQ(code, EC_USER + 1);
    EXPECT_EQ(p1, 10);
    EXPECT_EQ(p2, 20);
    EXPECT_EQ(events->FreeEventParams(code, p1, p2), S_OK);
    EXPECT_TRUE(waiting->Check());
    EXPECT_EQ(NextEvent(0), EC_USER + 2);
    EXPECT_FALSE(waiting->Check());
}

TEST_F(GraphEventsTest, PostsToTheNotifyWindowWhileEventsWait) {
    ASSERT_EQ(events->SetNotifyWindow(kWindow, kMessage, 77), S_OK);
    ASSERT_EQ(sink->Notify(EC_USER, 0, 0), S_OK);
    // Once when events start waiting, not again for the second.
    ASSERT_EQ(sink->Notify(EC_USER, 0, 0), S_OK);
    auto posted = TakePosted();
    ASSERT_EQ(posted.size(), 1u);
    EXPECT_EQ(posted[0].window, kWindow);
    EXPECT_EQ(posted[0].message, kMessage);
    EXPECT_EQ(posted[0].wParam, 0u);
    EXPECT_EQ(posted[0].lParam, 77);

    // Again after GetEvent while one more waits; not after the last.
    EXPECT_EQ(NextEvent(0), EC_USER);
    EXPECT_EQ(TakePosted().size(), 1u);
    EXPECT_EQ(NextEvent(0), EC_USER);
    EXPECT_TRUE(TakePosted().empty());

    // No messages while the flag says so, or after the window is cleared.
    ASSERT_EQ(events->SetNotifyFlags(AM_MEDIAEVENT_NONOTIFY), S_OK);
    LONG flags = 0;
    EXPECT_EQ(events->GetNotifyFlags(&flags), S_OK);
    EXPECT_EQ(flags, AM_MEDIAEVENT_NONOTIFY);
    ASSERT_EQ(sink->Notify(EC_USER, 0, 0), S_OK);
    EXPECT_EQ(NextEvent(0), EC_USER);
    ASSERT_EQ(events->SetNotifyFlags(0), S_OK);
    ASSERT_EQ(events->SetNotifyWindow(0, 0, 0), S_OK);
    ASSERT_EQ(sink->Notify(EC_USER, 0, 0), S_OK);
    EXPECT_TRUE(TakePosted().empty());
    EXPECT_EQ(events->SetNotifyFlags(0x100), E_INVALIDARG);
}

TEST_F(GraphEventsTest, NamingTheWindowLateStillAnnouncesWaitingEvents) {
    ASSERT_EQ(sink->Notify(EC_USER, 0, 0), S_OK);
    EXPECT_TRUE(TakePosted().empty());
    ASSERT_EQ(events->SetNotifyWindow(kWindow, kMessage, 5), S_OK);
    EXPECT_EQ(TakePosted().size(), 1u);
}

TEST_F(GraphEventsTest, CompleteWithOwnHandlingCancelledPassesEachRendererThrough) {
    // Stopped, with default handling: an end of stream from a finished run is dropped.
    ASSERT_EQ(sink->Notify(EC_COMPLETE, S_OK, 0x10), S_OK);
    EXPECT_EQ(NextEvent(0), 0);
    ASSERT_EQ(events->CancelDefaultHandling(EC_COMPLETE), S_OK);
    ASSERT_EQ(sink->Notify(EC_COMPLETE, S_OK, 0x10), S_OK);
    ASSERT_EQ(sink->Notify(EC_COMPLETE, S_OK, 0x20), S_OK);
    EXPECT_EQ(NextEvent(0), EC_COMPLETE);
    EXPECT_EQ(NextEvent(0), EC_COMPLETE);
    ASSERT_EQ(events->RestoreDefaultHandling(EC_COMPLETE), S_OK);
    ASSERT_EQ(sink->Notify(EC_COMPLETE, S_OK, 0x10), S_OK);
    EXPECT_EQ(NextEvent(0), 0);
}

TEST_F(GraphEventsTest, ManyThreadsNotifyingLoseNothing) {
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([this] {
            for (int i = 0; i < kEach; ++i) sink->Notify(EC_USER, i, 0);
        });
    int taken = 0;
    while (taken < kThreads * kEach && NextEvent(5000) == EC_USER) ++taken;
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(taken, kThreads * kEach);
}

}  // namespace
}  // namespace kvtest
