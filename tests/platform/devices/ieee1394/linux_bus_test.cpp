// Enumeration from a sysfs tree of our own, and the real firewire libraries
// on a machine without a 1394 controller: nothing found, nothing hangs, and
// the user is told why.
#include <gtest/gtest.h>
#include <libavc1394/avc1394_vcr.h>

#include <fstream>

#include "platform/devices/edevdefs.h"
#include "platform/devices/ieee1394/avc_transport.h"
#include "platform/devices/ieee1394/firewire_devices.h"
#include "platform/devices/ieee1394/linux_dv_link.h"
#include "platform/devices/ieee1394/linux_fw_bus.h"
#include "platform/devices/ieee1394/sysfs_scan.h"
#include "platform/media/graph/device_provider.h"
#include "platform/media/uuids.h"
#include "support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

void Write(const fs::path& file, const std::string& text) {
    fs::create_directories(file.parent_path());
    std::ofstream(file) << text << "\n";
}

// A controller, an AV/C camcorder whose model is named only by its unit, a
// hard disk, and a node the kernel has not finished reading.
TEST(FireWireSysfs, FindsTheCamcordersAndTellsWhatStandsInTheWay) {
    kvtest::TempDir root;
    const fs::path devices = root / "sys/bus/firewire/devices";
    Write(devices / "fw0/guid", "0x0011060000001234");
    Write(devices / "fw0/is_local", "1");
    Write(devices / "fw1/guid", "0x0080458011223344");
    Write(devices / "fw1/is_local", "0");
    Write(devices / "fw1/vendor_name", "Vendorco");
    Write(devices / "fw1/units", "0x00a02d:0x010001");
    Write(devices / "fw1/fw1.0/model_name", "DV-100");
    Write(devices / "fw2/guid", "0x00d04b0000000042");
    Write(devices / "fw2/vendor", "0x00d04b");
    Write(devices / "fw2/units", "0x00609e:0x010483");
    fs::create_directories(devices / "fw3");
    Write(root / "dev/fw1", "");

    SysfsScan scan = ScanSysfs(root / "sys", root / "dev");
    EXPECT_TRUE(scan.controller);
    ASSERT_EQ(scan.nodes.size(), 2u);
    const FwNode& camcorder = scan.nodes[0];
    EXPECT_EQ(camcorder.guid, 0x0080458011223344ull);
    EXPECT_EQ(camcorder.vendor, "Vendorco");
    EXPECT_EQ(camcorder.model, "DV-100");
    EXPECT_EQ(camcorder.devnode, (root / "dev/fw1").string());
    EXPECT_TRUE(camcorder.avc);
    EXPECT_TRUE(camcorder.accessible);
    EXPECT_FALSE(scan.nodes[1].avc);
    EXPECT_EQ(scan.nodes[1].vendor, "0x00d04b");
    EXPECT_EQ(DiagnoseFireWire(scan), "");
    EXPECT_TRUE(HasAvcUnit("0x00a02d:0x010000 0x00a02d:0x014001"));

    scan.nodes[0].accessible = false;
    const std::string rights = DiagnoseFireWire(scan);
    EXPECT_NE(rights.find(camcorder.devnode), std::string::npos) << rights;
    EXPECT_NE(rights.find("/etc/udev/rules.d/60-korvanta-dv.rules"), std::string::npos) << rights;
    std::ifstream rule(fs::path(KORVANTA_SOURCE_DIR) / "platform/devices/ieee1394" / kUdevRuleName);
    const std::string ruleText((std::istreambuf_iterator<char>(rule)), std::istreambuf_iterator<char>());
    EXPECT_NE(ruleText.find("ATTR{units}==\"*0x00a02d:0x01000[01]*\""), std::string::npos) << "the rule is not shipped";

    fs::remove_all(devices / "fw0");
    EXPECT_NE(DiagnoseFireWire(ScanSysfs(root / "sys", root / "dev")).find("No FireWire"), std::string::npos);
}

// Our reading of the transport state agrees with libavc1394's own decoding.
TEST(FireWireAvc, TransportStatesReadAsTheLibraryDecodesThem) {
    const std::vector<std::pair<std::uint32_t, LONG>> states = {
        {0x0C20C375, ED_MODE_PLAY}, {0x0C20C37D, ED_MODE_FREEZE}, {0x0C20C331, ED_MODE_PLAY_SLOWEST_FWD},
        {0x0C20C341, ED_MODE_PLAY_SLOWEST_REV}, {0x0C20C460, ED_MODE_STOP}, {0x0C20C475, ED_MODE_FF},
        {0x0C20C465, ED_MODE_REW}};
    for (const auto& [answer, mode] : states) {
        const std::string decoded = avc1394_vcr_decode_status(answer);
        EXPECT_EQ(AvcTransport::ModeOfState(answer), mode) << decoded;
        const bool playing = mode == ED_MODE_PLAY || mode == ED_MODE_PLAY_SLOWEST_FWD || mode == ED_MODE_PLAY_SLOWEST_REV;
        EXPECT_EQ(decoded == "Playing", playing) << std::hex << answer;
        EXPECT_EQ(decoded == "Playing Paused", mode == ED_MODE_FREEZE) << std::hex << answer;
    }
    EXPECT_TRUE(AvcTransport::Recording(0x0C20C275));
    EXPECT_EQ(std::string(avc1394_vcr_decode_status(0x0C20C275)), "Recording");
}

// The real bus on this machine: when it has no 1394 controller, nothing is
// listed, opening a GUID fails at once, events time out, and the message says so.
TEST(FireWireRealLibraries, WithoutAControllerNothingIsFoundAndTheUserIsTold) {
    if (ScanSysfs("/sys", "/dev").controller) GTEST_SKIP() << "this machine has a 1394 controller";
    auto bus = std::make_shared<LinuxFireWireBus>();
    EXPECT_TRUE(bus->Scan().empty());
    EXPECT_EQ(LinuxDvLink::Open(0x0080458011223344ull), nullptr);
    EXPECT_TRUE(bus->WaitEvents(std::chrono::milliseconds(50)).empty());
    EXPECT_NE(bus->Diagnose().find("No FireWire (IEEE 1394) controller"), std::string::npos) << bus->Diagnose();
    {
        FireWireDevices devices(bus);
        EXPECT_TRUE(devices.Camcorders().empty());
        for (const auto& provider : kvmedia::DeviceCategoryProviders(CLSID_VideoInputDeviceCategory))
            EXPECT_TRUE(provider->ListDevices().empty());
    }
}

}  // namespace
