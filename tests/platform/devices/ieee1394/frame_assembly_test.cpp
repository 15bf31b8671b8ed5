// libiec61883's own frame assembler under our receiver and camcorder, fed
// with bus packets cut from DV files that ffmpeg made. This program defines
// the three raw1394 receive calls itself; the shared libiec61883 calls them
// instead of the kernel's, and the test hands the captured packet handler
// one 488-byte packet (CIP header and six DIF blocks) at a time.
#include <gtest/gtest.h>
#include <libraw1394/raw1394.h>

#include <algorithm>
#include <atomic>
#include <mutex>

#include "../deck_fixtures.h"
#include "platform/devices/ieee1394/dv_frame_receiver.h"
#include "platform/devices/ieee1394/fw_camcorder.h"

namespace {

raw1394_iso_recv_handler_t capturedHandler = nullptr;
int capturedChannel = -1;

}  // namespace

extern "C" {

int raw1394_iso_recv_init(raw1394handle_t, raw1394_iso_recv_handler_t handler, unsigned int, unsigned int,
                          unsigned char channel, enum raw1394_iso_dma_recv_mode, int) {
    capturedHandler = handler;
    capturedChannel = channel;
    return 0;
}

int raw1394_iso_recv_start(raw1394handle_t, int, int, int) { return 0; }

void raw1394_iso_shutdown(raw1394handle_t) { capturedHandler = nullptr; }

}  // extern "C"

namespace {

using Frame = std::vector<std::uint8_t>;

// A link that receives through DvFrameReceiver on a port-less handle and
// answers no AV/C: the camcorder listens on the broadcast channel.
class PacketLink final : public IDvLink {
public:
    PacketLink() : handle_(raw1394_new_handle()) {}
    ~PacketLink() override {
        receiver_.Stop();
        if (handle_) raw1394_destroy_handle(handle_);
    }
    std::optional<int> Connect() override { return std::nullopt; }
    std::optional<int> Reconnect() override {
        ++reconnects;
        return std::nullopt;
    }
    void Disconnect() override {}
    bool StartReceive(int channel, FrameCallback onFrame) override {
        return receiver_.Start(handle_, channel, std::move(onFrame), [this] { resetSeen = true; });
    }
    void StopReceive() override { receiver_.Stop(); }
    AvcReply Avc(std::uint32_t, std::chrono::milliseconds) override { return {}; }
    bool HasCameraSubunit() override { return false; }
    std::optional<std::uint32_t> TapeTimecode() override { return std::nullopt; }
    bool TakeReset() override { return resetSeen.exchange(false); }
    raw1394handle_t Handle() const { return handle_; }

    std::atomic<bool> resetSeen{false};
    std::atomic<int> reconnects{0};

private:
    raw1394handle_t handle_;
    DvFrameReceiver receiver_;
};

// Sends frame as the camcorder does: 480 bytes a packet behind a CIP header,
// with an empty packet now and then; the packets numbered in lost are not sent.
void Send(raw1394handle_t handle, const Frame& frame, std::size_t firstPacket = 0, std::vector<std::size_t> lost = {}) {
    static std::uint8_t dbc = 0;
    const bool is625 = frame.size() == 144000;
    for (std::size_t packet = firstPacket; packet < frame.size() / 480; ++packet) {
        std::uint8_t bytes[488] = {0x01, 0x78, 0x00, dbc++, 0x80, static_cast<std::uint8_t>(is625 ? 0x80 : 0x00), 0xFF,
                                   0xFF};
        if (packet % 15 == 0) capturedHandler(handle, bytes, 8, kBroadcastChannel, 1, 0, 0, 0);
        if (std::find(lost.begin(), lost.end(), packet) != lost.end()) continue;
        std::copy_n(frame.begin() + static_cast<std::ptrdiff_t>(packet * 480), 480, bytes + 8);
        capturedHandler(handle, bytes, 488, kBroadcastChannel, 1, 0, 0, 0);
    }
}

// Joining a PAL stream mid-frame, a frame that lost a packet, then a switch
// to NTSC: the camcorder delivers exactly the whole frames, byte for byte,
// in both systems, counts the damaged one as dropped, and follows the system.
TEST(FireWireFrameAssembly, WholeFramesOfBothSystemsComeThroughAndADamagedOneIsCounted) {
    kvtest::DvClipSpec palRecipe = decktest::PalSpec(6);
    kvtest::DvClipSpec ntscRecipe = decktest::PalSpec(3);
    ntscRecipe.system = kvtest::DvSystem::Ntsc525;
    const auto pal = kvtest::MakeDvFrames(palRecipe);
    const auto ntsc = kvtest::MakeDvFrames(ntscRecipe);

    auto link = std::make_unique<PacketLink>();
    const raw1394handle_t handle = link->Handle();
    PacketLink& links = *link;
    ASSERT_NE(handle, nullptr) << "libraw1394 cannot make a handle";
    FwNode node;
    node.guid = 0x0080458011223344ull;
    FireWireCamcorder camcorder(node, std::move(link));
    ASSERT_NE(capturedHandler, nullptr) << "libiec61883 did not start reception through our calls";
    EXPECT_EQ(capturedChannel, kBroadcastChannel);

    std::mutex mutex;
    std::vector<Frame> received;
    ASSERT_EQ(camcorder.StartPlayer(&received, [&](std::span<const std::uint8_t> frame) {
        std::scoped_lock lock(mutex);
        received.emplace_back(frame.begin(), frame.end());
        return true;
    }), S_OK);

    Send(handle, pal[0], 100);  // joined mid-frame: skipped
    Send(handle, pal[1]);
    Send(handle, pal[2]);
    Send(handle, pal[3], 0, {50, 51});
    Send(handle, pal[4]);
    Send(handle, pal[5]);
    for (const Frame& frame : ntsc) Send(handle, frame);  // the last one waits for a next frame

    const std::vector<Frame> expected = {pal[1], pal[2], pal[4], pal[5], ntsc[0], ntsc[1]};
    EXPECT_TRUE(decktest::Eventually([&] {
        std::scoped_lock lock(mutex);
        return received.size() >= expected.size();
    }));
    camcorder.StopPlayer(&received);
    ASSERT_EQ(received.size(), expected.size());
    for (std::size_t n = 0; n < expected.size(); ++n) EXPECT_TRUE(received[n] == expected[n]) << "frame " << n;
    EXPECT_EQ(camcorder.IncompleteFrames(), 1);
    EXPECT_EQ(camcorder.DroppedFrames(), 1);
    EXPECT_FALSE(camcorder.Is625());

    // A bus reset on the receive handle finds the receiver through the
    // library's objects, and the camcorder connects again.
    DvFrameReceiver::OnBusReset(handle, raw1394_get_generation(handle) + 1);
    EXPECT_TRUE(decktest::Eventually([&] { return links.reconnects > 0; }));
}

}  // namespace
