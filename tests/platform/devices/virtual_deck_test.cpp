// A deck in use: its player in real time (sped up), the buttons pressed from
// outside, and unplugging.
#include "platform/devices/virtual_deck.h"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "deck_fixtures.h"
#include "dvshared/dv_frame_reader.h"
#include "platform/devices/extdevice.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using decktest::Eventually;

// The frame number of the clip maker's time code (starting at 00:00:00:00, 25 frames a second).
int FrameNumber(std::span<const std::uint8_t> frame) {
    DvFrameReader reader;
    reader.Attach(const_cast<std::uint8_t*>(frame.data()), static_cast<std::uint32_t>(frame.size()));
    std::int32_t h = 0, m = 0, s = 0, f = 0;
    if (!reader.GetTimeCode(h, m, s, f)) return -1;
    return ((h * 60 + m) * 60 + s) * 25 + f;
}

// Records what the player hands over.
class Recorder {
public:
    VirtualDeck::FrameSink Sink() {
        return [this](std::span<const std::uint8_t> frame) {
            std::scoped_lock lock(mutex_);
            numbers_.push_back(FrameNumber(frame));
            last_.assign(frame.begin(), frame.end());
            return true;
        };
    }
    std::vector<int> Numbers() const {
        std::scoped_lock lock(mutex_);
        return numbers_;
    }
    std::size_t Count() const { return Numbers().size(); }
    std::vector<std::uint8_t> Last() const {
        std::scoped_lock lock(mutex_);
        return last_;
    }

private:
    mutable std::mutex mutex_;
    std::vector<int> numbers_;
    std::vector<std::uint8_t> last_;
};

LONG ModeOf(const VirtualDeck& deck) {
    LONG mode = 0;
    return SUCCEEDED(deck.GetMode(&mode)) ? mode : 0;
}

TEST(VirtualDeck, IsSharedWhileInUseAndRefusesTapesItCannotPlay) {
    kvtest::TempDir dir;
    std::ofstream(dir / "empty.dv").close();
    std::ofstream(dir / "text.dv") << std::string(200000, 'x');
    decktest::PluggedDeck good("good", kvtest::MakeDvClip(decktest::PalSpec(3)));
    decktest::PluggedDeck missing("missing", dir / "missing.dv");
    decktest::PluggedDeck empty("empty", dir / "empty.dv");
    decktest::PluggedDeck text("text", dir / "text.dv");
    std::shared_ptr<VirtualDeck> first, second, failed;
    ASSERT_EQ(VirtualDeck::Acquire("good", &first), S_OK);
    ASSERT_EQ(VirtualDeck::Acquire("good", &second), S_OK);
    EXPECT_EQ(first, second);
    EXPECT_EQ(VirtualDeck::Acquire("nobody", &failed), VFW_E_NOT_FOUND);
    EXPECT_EQ(VirtualDeck::Acquire("missing", &failed), STG_E_FILENOTFOUND);
    EXPECT_EQ(VirtualDeck::Acquire("empty", &failed), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(VirtualDeck::Acquire("text", &failed), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_FALSE(failed);
}

TEST(VirtualDeck, PlaysEveryFrameInOrderThenStopsAtTheEndOfTheTape) {
    decktest::PluggedDeck plugged("player", kvtest::MakeDvClip(decktest::PalSpec(20)), 10.0);
    std::shared_ptr<VirtualDeck> deck;
    ASSERT_EQ(VirtualDeck::Acquire("player", &deck), S_OK);
    EXPECT_EQ(deck->TickPeriod(), 4ms);
    Recorder recorder;
    ASSERT_EQ(deck->StartPlayer(&recorder, recorder.Sink()), S_OK);
    EXPECT_EQ(deck->StartPlayer(this, recorder.Sink()), HRESULT_FROM_WIN32(170));  // one graph at a time
    ASSERT_EQ(deck->SetMode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(Eventually([&] { return ModeOf(*deck) == ED_MODE_STOP; }));
    deck->StopPlayer(&recorder);
    const auto numbers = recorder.Numbers();
    ASSERT_FALSE(numbers.empty());
    EXPECT_EQ(numbers.back(), 19);
    EXPECT_TRUE(std::is_sorted(numbers.begin(), numbers.end()));
    EXPECT_EQ(std::adjacent_find(numbers.begin(), numbers.end()), numbers.end());  // none twice
    EXPECT_EQ(static_cast<LONG>(numbers.size()), deck->DeliveredFrames());
    EXPECT_EQ(deck->DeliveredFrames() + deck->DroppedFrames(), 20);
    DWORD bcd = 0;
    ASSERT_EQ(deck->GetTimecode(&bcd), S_OK);
    EXPECT_EQ(bcd, 0x00000019u);  // the head rests on the last frame
}

TEST(VirtualDeck, PauseShowsTheStillFrameAndStopShowsNothing) {
    decktest::PluggedDeck plugged("still", kvtest::MakeDvClip(decktest::PalSpec(50)), 10.0);
    std::shared_ptr<VirtualDeck> deck;
    ASSERT_EQ(VirtualDeck::Acquire("still", &deck), S_OK);
    Recorder recorder;
    ASSERT_EQ(deck->StartPlayer(&recorder, recorder.Sink()), S_OK);
    deck->SetMode(ED_MODE_PLAY);
    ASSERT_TRUE(Eventually([&] { return recorder.Count() >= 5; }));
    deck->SetMode(ED_MODE_FREEZE);
    const std::size_t paused = recorder.Count() + 1;  // the frame in flight may still land
    ASSERT_TRUE(Eventually([&] { return recorder.Count() >= paused + 10; }));
    const auto numbers = recorder.Numbers();
    const std::vector<int> still(numbers.begin() + static_cast<std::ptrdiff_t>(paused), numbers.end());
    EXPECT_EQ(std::count(still.begin(), still.end(), still.front()), static_cast<long>(still.size()));
    DWORD bcd = 0;
    ASSERT_EQ(deck->GetTimecode(&bcd), S_OK);
    EXPECT_EQ(static_cast<int>(bcd & 0xFF), (still.front() / 10) * 16 + still.front() % 10);
    deck->SetMode(ED_MODE_STOP);
    std::this_thread::sleep_for(20ms);
    const std::size_t stopped = recorder.Count();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(recorder.Count(), stopped);
    deck->StopPlayer(&recorder);
}

TEST(VirtualDeck, ACameraShowsItsLoopWithTodaysDate) {
    decktest::PluggedDeck plugged("camera", kvtest::MakeDvClip(decktest::PalSpec(4)), 2.0, true);
    std::shared_ptr<VirtualDeck> deck;
    ASSERT_EQ(VirtualDeck::Acquire("camera", &deck), S_OK);
    Recorder recorder;
    ASSERT_EQ(deck->StartPlayer(&recorder, recorder.Sink()), S_OK);
    ASSERT_TRUE(Eventually([&] { return recorder.Count() >= 10; }));  // no play needed: a live picture
    deck->StopPlayer(&recorder);
    const auto numbers = recorder.Numbers();
    // Frames the player could not show in time are skipped, as live pictures are.
    if (deck->DroppedFrames() == 0) {
        EXPECT_EQ(std::vector<int>(numbers.begin(), numbers.begin() + 6), (std::vector<int>{0, 1, 2, 3, 0, 1}));
    }
    EXPECT_NE(std::adjacent_find(numbers.begin(), numbers.end(), [](int a, int b) { return b < a; }), numbers.end())
        << "the loop starts again";
    auto frame = recorder.Last();
    DvFrameReader reader;
    reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    std::int32_t year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
    ASSERT_TRUE(reader.GetRecordingDateTime(year, month, day, hour, minute, second));
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    EXPECT_EQ(year % 100, local.tm_year % 100);
    EXPECT_EQ(month, local.tm_mon + 1);
    EXPECT_EQ(day, local.tm_mday);
}

TEST(VirtualDeck, ButtonsPressedFromOutsideReachTheDeckInUse) {
    decktest::PluggedDeck plugged("remote", kvtest::MakeDvClip(decktest::PalSpec(3)));
    EXPECT_FALSE(SendDeckCommand("remote", "status").reached);
    {
        std::shared_ptr<VirtualDeck> deck;
        ASSERT_EQ(VirtualDeck::Acquire("remote", &deck), S_OK);
        EXPECT_EQ(SendDeckCommand("remote", "status").line, "ok stop 00:00:00:00");
        EXPECT_EQ(SendDeckCommand("remote", "press pause").line, "ok pause 00:00:00:00");
        EXPECT_EQ(SendDeckCommand("remote", "press step-forward").line, "ok pause 00:00:00:01");
        EXPECT_EQ(ModeOf(*deck), ED_MODE_FREEZE);
        EXPECT_TRUE(SendDeckCommand("remote", "press eject").line.starts_with("error"));
        deck->SetMode(ED_MODE_STOP);
        EXPECT_TRUE(SendDeckCommand("remote", "press step-back").line.starts_with("error the deck refused"));
    }
    const auto gone = SendDeckCommand("remote", "status");
    EXPECT_FALSE(gone.reached);
    EXPECT_NE(gone.line.find("not in use"), std::string::npos);
    // A process that died leaves its announcement behind: refused at once, not waited for.
    deck_store::SetControlSocket("remote", "/tmp/korvanta-no-such-deck.sock");
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(SendDeckCommand("remote", "status").reached);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

TEST(VirtualDeck, RemovingTheDeckInUseUnplugsIt) {
    auto plugged = std::make_unique<decktest::PluggedDeck>("unplug", kvtest::MakeDvClip(decktest::PalSpec(3)));
    std::shared_ptr<VirtualDeck> deck;
    ASSERT_EQ(VirtualDeck::Acquire("unplug", &deck), S_OK);
    Recorder recorder;
    ASSERT_EQ(deck->StartPlayer(&recorder, recorder.Sink()), S_OK);
    ASSERT_EQ(deck->SetMode(ED_MODE_PLAY), S_OK);
    plugged.reset();
    ASSERT_TRUE(Eventually([&] { return deck->Unplugged(); }));
    LONG mode = 0;
    EXPECT_EQ(deck->GetMode(&mode), KV_E_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(deck->SetMode(ED_MODE_PLAY), KV_E_DEVICE_NOT_CONNECTED);
    DWORD bcd = 0;
    EXPECT_EQ(deck->GetTimecode(&bcd), KV_E_DEVICE_NOT_CONNECTED);
    deck->StopPlayer(&recorder);
}

TEST(DeviceChange, AddingAndRemovingADeckIsAnnouncedToEverySubscriber) {
    std::mutex mutex;
    std::vector<std::string> seen;
    auto record = [&](const char* who) {
        return [&, who](DeviceChange change, const std::string& name, const std::string&) {
            std::scoped_lock lock(mutex);
            seen.push_back(std::string(who) + (change == DeviceChange::Arrival ? " arrival " : " removal ") + name);
        };
    };
    auto first = WatchDeviceChanges(record("first"));
    auto second = WatchDeviceChanges(record("second"));
    const auto count = [&] {
        std::scoped_lock lock(mutex);
        return seen.size();
    };
    {
        decktest::PluggedDeck plugged("coming", kvtest::MakeDvClip(decktest::PalSpec(3)));
        ASSERT_TRUE(Eventually([&] { return count() == 2; }));
        second = DeviceChangeSubscription();
    }
    ASSERT_TRUE(Eventually([&] { return count() == 3; }));
    std::this_thread::sleep_for(2 * kDeviceChangePollInterval);
    std::scoped_lock lock(mutex);
    std::sort(seen.begin(), seen.begin() + 2);
    EXPECT_EQ(seen, (std::vector<std::string>{"first arrival coming", "second arrival coming", "first removal coming"}));
}

}  // namespace
