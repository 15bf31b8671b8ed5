// The scene rule, frame by frame, under several local time zones: when
// recording starts, splits and stops, what the queue and the event list
// receive, and how time codes are repaired.
#include <gtest/gtest.h>

#include "filters/relaysink/scene_splitter.h"
#include "scene_frames.h"
#include "time_zone.h"

namespace {

using kvtest::AddSeconds;
using kvtest::DvDateTime;
using kvtest::SceneFrame;

class SceneTest : public testing::TestWithParam<const char*> {
protected:
    SceneTest() : zone_(GetParam()) {
        scenes_.SetFilePrefix(bstr_t("Tape"));
        scenes_.SetFolder(bstr_t("/videos"));
    }

    // The next frame of the tape, recorded offset seconds after the base time.
    SceneFrame At(std::int64_t offset, bool wide = false) {
        SceneFrame frame;
        frame.date = AddSeconds(base_, offset);
        const int n = frameNumber_++;
        frame.timeCode = {n / 90000, n / 1500 % 60, n / 25 % 60, n % 25};
        frame.wide = wide;
        return frame;
    }

    void Feed(const SceneFrame& frame, bool discontinuity = false) {
        auto bytes = kvtest::MakeSceneFrame(frame);
        scenes_.OnSample(bytes.data(), static_cast<std::uint32_t>(bytes.size()), discontinuity);
    }

    // Frames at each offset, one after the other.
    void FeedAt(std::initializer_list<std::int64_t> offsets) {
        for (auto offset : offsets) Feed(At(offset));
    }

    std::vector<std::string> Items() { return kvtest::Drain(scenes_.Queue()).items; }

    std::vector<std::string> Events() {
        std::vector<std::string> events;
        while (auto event = scenes_.Events().TakeOldest()) {
            switch (event->code) {
                case RELAY_EVENT_STARTED:
                    events.push_back("STARTED" + event->fileName.utf8() + event->folder.utf8());
                    break;
                case RELAY_EVENT_FILE_ENDED:
                    events.push_back("ENDED " + event->fileName.utf8() + "|" + event->folder.utf8());
                    break;
                case RELAY_EVENT_STOPPED:
                    events.push_back("STOPPED " + event->fileName.utf8() + "|" + event->folder.utf8());
                    break;
                default:
                    events.push_back("?");
            }
        }
        return events;
    }

    // Starts recording at a first frame and forgets what that queued.
    void CheckNoSplitting(std::int32_t threshold);

    void StartRecording(std::int32_t threshold) {
        scenes_.SetSceneThreshold(threshold);
        scenes_.SetCaptureMode(StartNow);
        FeedAt({0});
        Items();
        Events();
    }

    kvtest::ScopedTimeZone zone_;
    SceneSplitter scenes_;
    // Summer, so that zones with daylight saving time have it in effect.
    DvDateTime base_{2024, 7, 14, 10, 0, 0};
    int frameNumber_ = 0;
};

const std::string kFirst = "Tape 20240714 100000.avi";

TEST_P(SceneTest, StartNowQueuesEndOfFileNewFileAndFrameAndPostsStartedThenFileEnded) {
    scenes_.SetCaptureMode(StartNow);
    FeedAt({0, 0});
    EXPECT_TRUE(scenes_.Recording());
    EXPECT_EQ(scenes_.FileName().utf8(), kFirst);
    EXPECT_EQ(scenes_.FrameCount(), 2);
    const auto queued = kvtest::Drain(scenes_.Queue());
    EXPECT_EQ(queued.items, (std::vector<std::string>{"EOF", "NEW " + kFirst, "FRAME", "FRAME"}));
    EXPECT_EQ(queued.folders, std::vector<std::string>{"/videos"});
    EXPECT_EQ(Events(), (std::vector<std::string>{"STARTED", "ENDED |"}));

    // The next capture's first file-ended event names the previous capture's file.
    scenes_.SetCaptureMode(StopNow);
    EXPECT_EQ(Events(), std::vector<std::string>{"STOPPED " + kFirst + "|/videos"});
    scenes_.SetCaptureMode(StartNow);
    FeedAt({3600});
    EXPECT_EQ(Events(), (std::vector<std::string>{"STARTED", "ENDED " + kFirst + "|/videos"}));
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "EOF", "NEW Tape 20240714 110000.avi", "FRAME"}));
}

TEST_P(SceneTest, ThresholdSixtySplitsAboveSixtySecondsAndOnEveryStepBackwards) {
    StartRecording(60);
    FeedAt({60});
    EXPECT_EQ(Items(), std::vector<std::string>{"FRAME"}) << "exactly 60 s is no scene";
    FeedAt({121});
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240714 100201.avi", "FRAME"}));
    EXPECT_EQ(Events(), std::vector<std::string>{"ENDED " + kFirst + "|/videos"});
    EXPECT_EQ(scenes_.FrameCount(), 1);
    FeedAt({120});
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240714 100200.avi", "FRAME"}))
        << "one second backwards";
}

TEST_P(SceneTest, OneSecondIsNoJumpButTwoSecondsAre) {
    scenes_.SetSceneThreshold(-1);
    scenes_.SetCaptureMode(StartOnScene);
    FeedAt({0, 1, 2, 2});
    EXPECT_FALSE(scenes_.Recording());
    EXPECT_TRUE(Items().empty());
    FeedAt({4});
    EXPECT_TRUE(scenes_.Recording());
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240714 100004.avi", "FRAME"}));

    scenes_.SetCaptureMode(StopOnScene);
    FeedAt({5});
    EXPECT_TRUE(scenes_.Recording());
    FeedAt({7});
    EXPECT_FALSE(scenes_.Recording());
    EXPECT_EQ(Items(), (std::vector<std::string>{"FRAME", "EOF"})) << "the frame at the jump is not queued";
}

// Threshold 0 or -1: no defined scene, so StartOnDefinedScene never starts
// and a running capture never splits; a natural jump (here the one seen while
// idle) still starts StartOnScene.
void SceneTest::CheckNoSplitting(std::int32_t threshold) {
    scenes_.SetSceneThreshold(threshold);
    scenes_.SetCaptureMode(StartOnDefinedScene);
    FeedAt({0, 86400});
    EXPECT_FALSE(scenes_.Recording());

    scenes_.SetCaptureMode(StartOnScene);
    FeedAt({86400});
    ASSERT_TRUE(scenes_.Recording());
    FeedAt({-86400, 7 * 86400, 7 * 86400 + 5});
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240715 100000.avi", "FRAME", "FRAME", "FRAME",
                                                 "FRAME"}));
}

TEST_P(SceneTest, ThresholdZeroSplitsNothing) { CheckNoSplitting(0); }

TEST_P(SceneTest, ThresholdMinusOneSplitsNothing) { CheckNoSplitting(-1); }

TEST_P(SceneTest, SixteenNineChangeStartsANewFileEvenWithoutSplitting) {
    StartRecording(-1);
    Feed(At(1, true));
    EXPECT_TRUE(scenes_.FileWide());
    Feed(At(2, true));
    Feed(At(3, false));
    EXPECT_FALSE(scenes_.FileWide());
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240714 100001.avi", "FRAME", "FRAME", "EOF",
                                                 "NEW Tape 20240714 100003.avi", "FRAME"}));
}

TEST_P(SceneTest, StartWithAWideFrameOpensAWideFile) {
    scenes_.SetCaptureMode(StartNow);
    Feed(At(0, true));
    Feed(At(0, true));
    EXPECT_TRUE(scenes_.FileWide());
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW " + kFirst, "FRAME", "FRAME"}));
}

TEST_P(SceneTest, RepeatedTimeCodeIsNotQueuedNorCountedButBecomesThePreviousFrame) {
    StartRecording(60);
    SceneFrame first = At(1);
    Feed(first);
    SceneFrame repeat = first;
    repeat.date = AddSeconds(base_, 31);
    Feed(repeat);
    EXPECT_EQ(scenes_.FrameCount(), 2);
    // 50 s after the repeat, 80 s after the frame before it: no split, so
    // the repeat was the frame compared with.
    FeedAt({81});
    EXPECT_EQ(Items(), (std::vector<std::string>{"FRAME", "FRAME"}));
    EXPECT_EQ(scenes_.FrameCount(), 3);
}

TEST_P(SceneTest, UnusableTimeCodeOfTheHundredAndFirstFrameIsRewrittenInTheQueuedCopyOnly) {
    scenes_.SetCaptureMode(StartNow);
    for (int n = 0; n < 100; ++n) Feed(At(n / 25));
    SceneFrame broken = At(4);
    broken.badTimeCode = true;
    auto bytes = kvtest::MakeSceneFrame(broken);
    const auto original = bytes;
    scenes_.OnSample(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);

    EXPECT_EQ(bytes, original) << "the sample's buffer belongs upstream";
    const auto queued = kvtest::Drain(scenes_.Queue());
    ASSERT_EQ(queued.frames.size(), 101u);
    EXPECT_EQ(kvtest::TimeCodeOf(*queued.frames.back()->frame), "00:00:04.00");
    EXPECT_EQ(scenes_.FrameCount(), 101);
}

TEST_P(SceneTest, DiscontinuityRestartsTheFrameCount) {
    StartRecording(60);
    FeedAt({0, 0, 0});
    SceneFrame broken = At(1);
    broken.badTimeCode = true;
    Feed(broken, true);
    EXPECT_EQ(scenes_.FrameCount(), 1);
    const auto queued = kvtest::Drain(scenes_.Queue());
    ASSERT_EQ(queued.frames.size(), 4u);
    EXPECT_EQ(kvtest::TimeCodeOf(*queued.frames.back()->frame), "00:00:00.00");
}

TEST_P(SceneTest, StopNowEndsTheFileBeforeReturningAndDoesNotRestart) {
    StartRecording(60);
    scenes_.SetCaptureMode(StopNow);
    EXPECT_FALSE(scenes_.Recording());
    EXPECT_EQ(Items(), std::vector<std::string>{"EOF"});
    EXPECT_EQ(Events(), std::vector<std::string>{"STOPPED " + kFirst + "|/videos"});
    FeedAt({1, 2, 100});
    EXPECT_TRUE(Items().empty());
    EXPECT_TRUE(Events().empty());
}

TEST_P(SceneTest, StopOnSceneEndsAtTheJumpAndStartOnSceneThenStartsWithTheNextFrame) {
    StartRecording(60);
    scenes_.SetCaptureMode(StopOnScene);
    FeedAt({1, 30});
    EXPECT_FALSE(scenes_.Recording());
    EXPECT_EQ(Items(), (std::vector<std::string>{"FRAME", "EOF"}));
    scenes_.SetCaptureMode(StartOnScene);
    FeedAt({31});
    EXPECT_TRUE(scenes_.Recording());
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240714 100031.avi", "FRAME"}));
}

TEST_P(SceneTest, DefinedScenesStartAndStopOnlyAboveTheThreshold) {
    scenes_.SetSceneThreshold(60);
    scenes_.SetCaptureMode(StartOnDefinedScene);
    FeedAt({0, 30, 90});
    EXPECT_FALSE(scenes_.Recording());
    FeedAt({151});
    EXPECT_TRUE(scenes_.Recording());
    scenes_.SetCaptureMode(StopOnDefinedScene);
    FeedAt({152, 200, 261});
    EXPECT_FALSE(scenes_.Recording());
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240714 100231.avi", "FRAME", "FRAME", "FRAME",
                                                 "EOF"}));
    EXPECT_EQ(Events().back(), "STOPPED Tape 20240714 100231.avi|/videos");
}

TEST_P(SceneTest, ScenesStartingInTheSameSecondOrWithoutADateGetTheSameName) {
    StartRecording(60);
    FeedAt({1, 0});
    EXPECT_EQ(Items(), (std::vector<std::string>{"FRAME", "EOF", "NEW " + kFirst, "FRAME"}));


    // Without date packs the first frame keeps the record's zeros; packs of
    // 0xFF bytes are no calendar date either. Both give the same name.
    SceneSplitter undated;
    undated.SetFilePrefix(bstr_t("Tape"));
    undated.SetCaptureMode(StartNow);
    SceneFrame noDate = At(0);
    noDate.hasDate = false;
    SceneFrame badDate = At(0);
    badDate.badDate = true;
    for (const auto& frame : {noDate, badDate}) {
        auto bytes = kvtest::MakeSceneFrame(frame);
        undated.OnSample(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
    }
    EXPECT_EQ(kvtest::Drain(undated.Queue()).items,
              (std::vector<std::string>{"EOF", "NEW Tape --  --.avi", "FRAME", "EOF", "NEW Tape --  --.avi", "FRAME"}));
}

TEST_P(SceneTest, RecordingAcrossADaylightSavingChangeOfTheComputerIsOneScene) {
    // Spring forward in Europe (31 March 2024, 02:00 local) and autumn back
    // (27 October 2024, 03:00 local): the camcorder's clock runs on.
    for (const DvDateTime start : {DvDateTime{2024, 3, 31, 1, 59, 58}, DvDateTime{2024, 10, 27, 2, 59, 58},
                                   DvDateTime{2024, 4, 7, 1, 59, 58}, DvDateTime{2024, 10, 6, 1, 59, 58}}) {
        SceneSplitter scenes;
        scenes.SetSceneThreshold(1);
        scenes.SetCaptureMode(StartNow);
        for (int second = 0; second < 5; ++second) {
            SceneFrame frame;
            frame.date = AddSeconds(start, second);
            frame.timeCode.seconds = second;
            auto bytes = kvtest::MakeSceneFrame(frame);
            scenes.OnSample(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
        }
        EXPECT_EQ(kvtest::Drain(scenes.Queue()).items.size(), 7u) << "one file of five frames from "
                                                                   << start.month << "/" << start.day;
    }
}

TEST_P(SceneTest, TruncatedFrameIsSkippedWithoutAnyChange) {
    StartRecording(60);
    auto bytes = kvtest::MakeSceneFrame(At(3600));
    for (const std::uint32_t length : {0u, 4u, 143999u}) {
        scenes_.OnSample(bytes.data(), length, true);
        EXPECT_TRUE(Items().empty());
        EXPECT_TRUE(Events().empty());
        EXPECT_EQ(scenes_.FrameCount(), 1);
    }
    // The truncated frame's jump was not taken either: the next frame compares with the last whole one.
    FeedAt({1});
    EXPECT_EQ(Items(), std::vector<std::string>{"FRAME"});
}

TEST_P(SceneTest, LongerSampleQueuesExactlyOneFrame) {
    scenes_.SetCaptureMode(StartNow);
    auto bytes = kvtest::MakeSceneFrame(At(0));
    bytes.resize(bytes.size() + 500, 0xAA);
    scenes_.OnSample(bytes.data(), static_cast<std::uint32_t>(bytes.size()), false);
    const auto queued = kvtest::Drain(scenes_.Queue());
    ASSERT_EQ(queued.frames.size(), 1u);
    EXPECT_EQ(queued.frames[0]->frame->Size(), 144000u);
}

TEST_P(SceneTest, EndOfStreamingStopsAndTheNextFrameHasNoPredecessor) {
    StartRecording(60);
    scenes_.EndOfStreaming();
    EXPECT_FALSE(scenes_.Recording());
    EXPECT_EQ(scenes_.FrameCount(), 0);
    EXPECT_EQ(Items(), std::vector<std::string>{"EOF"});
    EXPECT_EQ(Events(), std::vector<std::string>{"STOPPED " + kFirst + "|/videos"});

    // A day later on the tape, but the first frame of a new stream is compared with nothing.
    scenes_.SetCaptureMode(StartOnScene);
    FeedAt({86400, 86401});
    EXPECT_FALSE(scenes_.Recording());

    // StartNow is a standing order: a new stream records again.
    scenes_.EndOfStreaming();
    scenes_.SetCaptureMode(StartNow);
    FeedAt({90000});
    EXPECT_TRUE(scenes_.Recording());
    EXPECT_EQ(Items(), (std::vector<std::string>{"EOF", "NEW Tape 20240715 110000.avi", "FRAME"}));
}

TEST_P(SceneTest, ModeSetBeforeAnyCommandDoesNothing) {
    FeedAt({0, 100, 200});
    EXPECT_FALSE(scenes_.Recording());
    EXPECT_TRUE(Items().empty());
    EXPECT_TRUE(Events().empty());
}

INSTANTIATE_TEST_SUITE_P(TimeZones, SceneTest, testing::ValuesIn(kvtest::kSceneTimeZones),
                         [](const auto& info) {
                             std::string name = info.param;
                             for (char& c : name)
                                 if (c == '/') c = '_';
                             return name;
                         });

}  // namespace
