// A camcorder on a fake bus: the camcorder code (ring, AV/C worker, counts,
// reconnection) against a virtual deck's tape and transport seen through
// the bus, with the bus's faults.
#include "platform/devices/ieee1394/fw_camcorder.h"

#include <gtest/gtest.h>

#include <atomic>

#include "../deck_fixtures.h"
#include "fake_bus.h"
#include "platform/devices/edevdefs.h"
#include "platform/devices/extdevice.h"
#include "platform/devices/ieee1394/firewire_devices.h"
#include "platform/devices/virtual_deck.h"
#include "platform/media/graph/device_provider.h"
#include "platform/media/uuids.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using decktest::Eventually;
using fwtest::FakeBus;
using fwtest::FakeCamcorder;

constexpr std::uint64_t kGuid = 0x0080458011223344ull;

class Counter {
public:
    DvDeck::FrameSink Sink(std::chrono::milliseconds slow = 0ms) {
        return [this, slow](std::span<const std::uint8_t> frame) {
            if (slow.count()) std::this_thread::sleep_for(slow);
            sizes_.push_back(frame.size());
            ++count_;
            return true;
        };
    }
    int Count() const { return count_; }
    std::size_t LastSize() const { return count_ ? sizes_.back() : 0; }

private:
    std::atomic<int> count_{0};
    std::vector<std::size_t> sizes_;  // the deliverer thread only, read once it is idle
};

class FireWireCamcorderTest : public testing::Test {
protected:
    std::filesystem::path Tape(kvtest::DvSystem system, int frames) {
        kvtest::DvClipSpec recipe = decktest::PalSpec(frames);
        recipe.system = system;
        return kvtest::MakeDvClip(recipe);
    }
    LONG ModeOf(const DvDeck& deck) {
        LONG mode = 0;
        return SUCCEEDED(deck.GetMode(&mode)) ? mode : 0;
    }

    decktest::PluggedDeck pal_{"Fw PAL", Tape(kvtest::DvSystem::Pal625, 200)};
    decktest::PluggedDeck ntsc_{"Fw NTSC", Tape(kvtest::DvSystem::Ntsc525, 200)};
};

// The nine commands reach the tape; a step outside pause is rejected, a
// command the deck does not implement says so, and one it never answers
// still comes back in bounded time, as does the mode polled meanwhile.
TEST_F(FireWireCamcorderTest, TransportCommandsAnswerInBoundedTimeWhateverTheDeckDoes) {
    auto fake = std::make_shared<FakeCamcorder>(kGuid, pal_.Name());
    FireWireCamcorder camcorder(fake->Node(), fake->MakeLink());
    EXPECT_FALSE(camcorder.IsCamera());
    EXPECT_TRUE(camcorder.Is625());
    EXPECT_EQ(FormatDeckDeviceId(camcorder.DeviceId()), "0080458011223344");

    Counter frames;
    ASSERT_EQ(camcorder.StartPlayer(this, frames.Sink()), S_OK);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(Eventually([&] { return frames.Count() >= 5; }));
    DWORD bcd = 0;
    EXPECT_EQ(camcorder.GetTimecode(&bcd), S_OK);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_STEP_FWD), VFW_E_WRONG_STATE);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_FREEZE), S_OK);
    ASSERT_TRUE(Eventually([&] { return ModeOf(*fake->Deck()) == ED_MODE_FREEZE; }));
    const int paused = frames.Count();
    EXPECT_TRUE(Eventually([&] { return frames.Count() > paused + 3; })) << "a paused deck sends its still frame";
    EXPECT_EQ(camcorder.SetMode(ED_MODE_STEP_FWD), S_OK);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_STEP_REV), S_OK);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_PLAY_SLOWEST_FWD), S_OK);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_PLAY_SLOWEST_REV), S_OK);
    // Winding shows no frames: the time code comes from the deck's own reading.
    DWORD before = 0;
    EXPECT_EQ(camcorder.GetTimecode(&before), S_OK);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_FF), S_OK);
    EXPECT_TRUE(Eventually([&] {
        DWORD now = 0;
        return SUCCEEDED(camcorder.GetTimecode(&now)) && now > before;
    })) << "the time code stood still while winding";
    EXPECT_EQ(camcorder.SetMode(ED_MODE_STOP), S_OK);
    EXPECT_TRUE(Eventually([&] { return ModeOf(camcorder) == ED_MODE_STOP; }));

    fake->ForceAnswer(*AvcTransport::CommandOfMode(ED_MODE_FF), 0x8);
    EXPECT_EQ(camcorder.SetMode(ED_MODE_FF), E_NOTIMPL);
    fake->ForceAnswer(*AvcTransport::CommandOfMode(ED_MODE_REW), fwtest::kNoAnswer);
    fake->ForceAnswer(AvcTransport::kTransportState, fwtest::kNoAnswer);
    for (int n = 0; n < 3; ++n) {
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(camcorder.SetMode(ED_MODE_REW), VFW_E_TIMEOUT);
        EXPECT_LT(std::chrono::steady_clock::now() - start, 2 * AvcTransport::kAnswerTime);
    }
    // A deck that answers no status reads as mode unknown, never as a guess.
    EXPECT_TRUE(Eventually([&] { return ModeOf(camcorder) == 0; }));
    EXPECT_EQ(camcorder.SetMode(12345), E_INVALIDARG);
    camcorder.StopPlayer(this);
}

// In camera mode a play could record over the tape: every transport
// command is refused, while the live picture still comes.
TEST_F(FireWireCamcorderTest, CameraModeRefusesTheTransportAndStillSendsItsPicture) {
    decktest::PluggedDeck camera("Fw camera", Tape(kvtest::DvSystem::Pal625, 20), 1.0, true);
    auto fake = std::make_shared<FakeCamcorder>(kGuid, camera.Name(), true);
    FireWireCamcorder camcorder(fake->Node(), fake->MakeLink());
    EXPECT_TRUE(camcorder.IsCamera());
    EXPECT_EQ(camcorder.SetMode(ED_MODE_PLAY), E_ACCESSDENIED);
    EXPECT_EQ(ModeOf(*fake->Deck()), ED_MODE_STOP);
    Counter frames;
    ASSERT_EQ(camcorder.StartPlayer(this, frames.Sink()), S_OK);
    EXPECT_TRUE(Eventually([&] { return frames.Count() >= 3; }));
    camcorder.StopPlayer(this);
}

// Lost packets and a ring that overflows are counted as dropped frames by
// us; a device without a free plug is heard on the broadcast channel; a
// switch to NTSC changes the system and the frame size.
TEST_F(FireWireCamcorderTest, CountsLostFramesListensOnBroadcastAndFollowsASystemChange) {
    auto fake = std::make_shared<FakeCamcorder>(kGuid, pal_.Name());
    fake->RefuseConnections(true);
    FireWireCamcorder camcorder(fake->Node(), fake->MakeLink());
    EXPECT_EQ(camcorder.Channel(), kBroadcastChannel);

    Counter frames;
    ASSERT_EQ(camcorder.StartPlayer(this, frames.Sink(20ms)), S_OK);
    ASSERT_EQ(camcorder.SetMode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(Eventually([&] { return frames.Count() >= 3; }));
    fake->MakeIncomplete(3);
    ASSERT_TRUE(Eventually([&] { return camcorder.IncompleteFrames() == 3; }));
    fake->Burst(2 * static_cast<int>(FireWireCamcorder::kRingFrames));
    ASSERT_TRUE(Eventually([&] { return camcorder.RingOverflows() > 0; }));
    EXPECT_GE(camcorder.DroppedFrames(), 3 + camcorder.RingOverflows());
    EXPECT_GT(camcorder.DeliveredFrames(), 0);

    fake->ChangeDeck(ntsc_.Name());
    ASSERT_EQ(fake->Deck()->SetMode(ED_MODE_PLAY), S_OK);
    EXPECT_TRUE(Eventually([&] { return !camcorder.Is625(); }));
    EXPECT_EQ(camcorder.FrameBytes(), 120000u);
    camcorder.StopPlayer(this);
    EXPECT_EQ(frames.LastSize(), 120000u);
}

// Through the device enumerator's provider: a bus reset that gives every
// node a new id is followed by a reconnection within the second, frames and
// commands go on; an unplugged camcorder is announced as removed once the
// kernel tells, and as arrived when it is back.
TEST_F(FireWireCamcorderTest, ABusResetReconnectsAndUnplugAndPlugAreAnnounced) {
    auto bus = std::make_shared<FakeBus>();
    auto other = std::make_shared<FakeCamcorder>(kGuid + 1, ntsc_.Name());
    auto fake = std::make_shared<FakeCamcorder>(kGuid, pal_.Name());
    bus->Add(other);
    bus->Add(fake);
    std::mutex mutex;
    std::vector<std::pair<DeviceChange, std::string>> changes;
    const DeviceChangeSubscription watch = WatchDeviceChanges([&](DeviceChange change, const std::string&, const std::string& display) {
        std::scoped_lock lock(mutex);
        changes.emplace_back(change, display);
    });
    const auto announced = [&](DeviceChange change) {
        std::scoped_lock lock(mutex);
        return std::count_if(changes.begin(), changes.end(), [&](const auto& c) {
            return c.first == change && c.second == FireWireDevices::DisplayName(fake->Node());
        });
    };

    FireWireDevices devices(bus);
    ASSERT_EQ(devices.Camcorders().size(), 2u);
    const std::string display = FireWireDevices::DisplayName(fake->Node());
    EXPECT_NE(display.find("avc#Fake&Deck&camcorder&dv#0080458011223344#"), std::string::npos);
    IBaseFilter* filter = nullptr;
    ASSERT_EQ(fwtest::CreateDeviceFilter(display, &filter), S_OK);
    auto camcorder = devices.InUse(kGuid);
    ASSERT_TRUE(camcorder);
    EXPECT_EQ(camcorder->Channel(), 5);
    Counter frames;
    ASSERT_EQ(camcorder->StartPlayer(this, frames.Sink()), S_OK);
    ASSERT_EQ(camcorder->SetMode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(Eventually([&] { return frames.Count() >= 3; }));

    bus->Reset();
    ASSERT_TRUE(Eventually([&] { return fake->Reconnects() == 1; }, 1s));
    const int before = frames.Count();
    EXPECT_TRUE(Eventually([&] { return frames.Count() > before + 30; }, 10s)) << "frames stopped after the reset";
    EXPECT_EQ(fake->SendChannel(), 5);
    EXPECT_EQ(camcorder->SetMode(ED_MODE_FREEZE), S_OK) << "commands go to the node's old id";

    bus->Unplug(kGuid);
    ASSERT_TRUE(Eventually([&] { return camcorder->Unplugged(); }, 5s));
    EXPECT_EQ(camcorder->SetMode(ED_MODE_PLAY), KV_E_DEVICE_NOT_CONNECTED);
    EXPECT_TRUE(Eventually([&] { return announced(DeviceChange::Removal) == 1; }, 5s));
    EXPECT_EQ(devices.Camcorders().size(), 1u);
    bus->Plug(kGuid);
    EXPECT_TRUE(Eventually([&] { return announced(DeviceChange::Arrival) == 1; }, 5s));
    camcorder->StopPlayer(this);
    filter->Release();
}

}  // namespace
