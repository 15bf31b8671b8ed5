// A real camcorder or deck on the bus, named by its GUID in KORVANTA_FW_GUID
// (as korvanta-capture --list-devices prints it); skipped without one. Put
// a recorded tape in a deck in VCR mode: the test plays a few seconds of it.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>

#include "../deck_fixtures.h"
#include "fake_bus.h"
#include "platform/devices/edevdefs.h"
#include "platform/devices/ieee1394/firewire_devices.h"
#include "platform/devices/ieee1394/fw_camcorder.h"
#include "platform/devices/ieee1394/linux_fw_bus.h"

namespace {

using namespace std::chrono_literals;

TEST(FireWireHardware, TheNamedCamcorderIsListedPlaysAndSendsFrames) {
    const char* guidText = std::getenv("KORVANTA_FW_GUID");
    if (!guidText) GTEST_SKIP() << "set KORVANTA_FW_GUID to a camcorder's GUID to run this test";
    const std::uint64_t guid = std::strtoull(guidText, nullptr, 16);
    auto bus = std::make_shared<LinuxFireWireBus>();
    FireWireDevices devices(bus);
    const auto nodes = devices.Camcorders();
    const auto node = std::find_if(nodes.begin(), nodes.end(), [&](const FwNode& n) { return n.guid == guid; });
    ASSERT_NE(node, nodes.end()) << "no camcorder " << guidText << " on the bus. " << devices.Diagnose();

    IBaseFilter* filter = nullptr;
    ASSERT_EQ(fwtest::CreateDeviceFilter(FireWireDevices::DisplayName(*node), &filter), S_OK) << devices.Diagnose();
    const auto camcorder = devices.InUse(guid);
    ASSERT_TRUE(camcorder);
    EXPECT_EQ(FormatDeckDeviceId(camcorder->DeviceId()), FormatDeckDeviceId(FireWireCamcorder::IdOfGuid(guid)));
    std::atomic<int> frames{0};
    ASSERT_EQ(camcorder->StartPlayer(&frames, [&](std::span<const std::uint8_t> frame) {
        EXPECT_EQ(frame.size(), camcorder->FrameBytes());
        ++frames;
        return true;
    }), S_OK);
    if (!camcorder->IsCamera()) {
        ASSERT_EQ(camcorder->SetMode(ED_MODE_PLAY), S_OK);
        EXPECT_TRUE(decktest::Eventually([&] {
            LONG mode = 0;
            return SUCCEEDED(camcorder->GetMode(&mode)) && mode == ED_MODE_PLAY;
        }, 10s));
    } else {
        EXPECT_EQ(camcorder->SetMode(ED_MODE_PLAY), E_ACCESSDENIED);
    }
    EXPECT_TRUE(decktest::Eventually([&] { return frames >= 50; }, 20s)) << frames << " frames came";
    DWORD bcd = 0;
    if (!camcorder->IsCamera()) {
        EXPECT_EQ(camcorder->GetTimecode(&bcd), S_OK);
        EXPECT_EQ(camcorder->SetMode(ED_MODE_STOP), S_OK);
    }
    camcorder->StopPlayer(&frames);
    filter->Release();
}

}  // namespace
