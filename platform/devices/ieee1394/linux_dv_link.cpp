#include "platform/devices/ieee1394/linux_dv_link.h"

#include <libavc1394/avc1394.h>
#include <libavc1394/avc1394_vcr.h>
#include <libavc1394/rom1394.h>
#include <libiec61883/iec61883.h>
#include <libraw1394/raw1394.h>

#include <cerrno>
#include <cstdio>

namespace {

// The node id the connection management calls take: local bus, phy id.
nodeid_t BusNode(int phy) { return static_cast<nodeid_t>(0xFFC0 | phy); }

}  // namespace

void LinuxDvLink::HandleCloser::operator()(raw1394_handle* handle) const {
    if (handle) raw1394_destroy_handle(handle);
}

std::unique_ptr<LinuxDvLink> LinuxDvLink::Open(std::uint64_t guid) {
    std::unique_ptr<LinuxDvLink> link(new LinuxDvLink(guid));
    std::scoped_lock lock(link->connectionMutex_, link->avcMutex_);
    if (!link->Find(link->connection_) || !link->Find(link->avc_)) return nullptr;
    link->avcPhy_ = link->phy_;
    return link;
}

LinuxDvLink::~LinuxDvLink() {
    StopReceive();
    Disconnect();
}

bool LinuxDvLink::Find(Handle& handle) {
    Handle probe(raw1394_new_handle());
    if (!probe) return false;
    const int ports = raw1394_get_port_info(probe.get(), nullptr, 0);
    for (int port = 0; port < ports; ++port) {
        Handle onPort(raw1394_new_handle_on_port(port));
        if (!onPort) continue;
        const int nodes = raw1394_get_nodecount(onPort.get());
        for (int node = 0; node < nodes; ++node) {
            // The GUID read fails with errno set and a meaningless value.
            errno = 0;
            const octlet_t guid = rom1394_get_guid(onPort.get(), static_cast<nodeid_t>(node));
            if (errno != 0 || guid != guid_) continue;
            port_ = port;
            phy_ = node;
            handle = std::move(onPort);
            return true;
        }
    }
    return false;
}

std::optional<int> LinuxDvLink::Connect() {
    std::scoped_lock lock(connectionMutex_);
    if (!connection_ || phy_ < 0) return std::nullopt;
    iec61883_cmp_normalize_output(connection_.get(), BusNode(phy_));
    oplug_ = iplug_ = -1;
    bandwidth_ = 0;  // no bandwidth allocation, as the camcorders expect
    const int channel = iec61883_cmp_connect(connection_.get(), BusNode(phy_), &oplug_,
                                             raw1394_get_local_id(connection_.get()), &iplug_, &bandwidth_);
    channel_ = channel >= 0 ? std::optional<int>(channel) : std::nullopt;
    return channel_;
}

std::optional<int> LinuxDvLink::Reconnect() {
    std::scoped_lock lock(connectionMutex_);
    // The old handle may answer EAGAIN for ever after the reset: make it anew.
    connection_.reset();
    if (!Find(connection_) || !channel_) return std::nullopt;
    const int channel = iec61883_cmp_reconnect(connection_.get(), BusNode(phy_), &oplug_,
                                               raw1394_get_local_id(connection_.get()), &iplug_, &bandwidth_, *channel_);
    if (channel < 0) channel_.reset();
    std::scoped_lock avc(avcMutex_);
    avc_.reset();
    avcPhy_ = Find(avc_) ? phy_ : -1;
    return channel_;
}

void LinuxDvLink::Disconnect() {
    std::scoped_lock lock(connectionMutex_);
    if (!connection_ || !channel_) return;
    iec61883_cmp_disconnect(connection_.get(), BusNode(phy_), oplug_, raw1394_get_local_id(connection_.get()), iplug_,
                            static_cast<unsigned>(*channel_), static_cast<unsigned>(bandwidth_));
    channel_.reset();
}

bool LinuxDvLink::StartReceive(int channel, FrameCallback onFrame) {
    StopReceive();
    if (port_ < 0) return false;
    receive_.reset(raw1394_new_handle_on_port(port_));
    if (receive_ && receiver_.Start(receive_.get(), channel, std::move(onFrame), [this] { resetSeen_ = true; }))
        return true;
    receive_.reset();
    return false;
}

void LinuxDvLink::StopReceive() {
    receiver_.Stop();
    receive_.reset();
}

// libavc1394 waits about 200 ms a try and serialises all AV/C in the process;
// one try keeps the wait short, and the AV/C worker's deadline bounds the rest.
AvcReply LinuxDvLink::Avc(std::uint32_t command, std::chrono::milliseconds) {
    std::scoped_lock lock(avcMutex_);
    if (!avc_ || avcPhy_ < 0) return {};
    const quadlet_t answer = avc1394_transaction(avc_.get(), static_cast<nodeid_t>(avcPhy_), command, 1);
    if (answer == 0xFFFFFFFFu || answer == 0) return {};
    return {answer};
}

bool LinuxDvLink::HasCameraSubunit() {
    std::scoped_lock lock(avcMutex_);
    if (!avc_ || avcPhy_ < 0) return false;
    return avc1394_check_subunit_type(avc_.get(), static_cast<nodeid_t>(avcPhy_), AVC1394_SUBUNIT_TYPE_VIDEO_CAMERA) == 1;
}

std::optional<std::uint32_t> LinuxDvLink::TapeTimecode() {
    std::scoped_lock lock(avcMutex_);
    if (!avc_ || avcPhy_ < 0) return std::nullopt;
    char text[12] = {};
    if (avc1394_vcr_get_timecode2(avc_.get(), static_cast<nodeid_t>(avcPhy_), text) != 0) return std::nullopt;
    // "HH:MM:SS:FF" in decimal digits: the same digits read as BCD.
    unsigned hours = 0, minutes = 0, seconds = 0, frames = 0;
    if (std::sscanf(text, "%2x:%2x:%2x:%2x", &hours, &minutes, &seconds, &frames) != 4) return std::nullopt;
    return (hours << 24) | (minutes << 16) | (seconds << 8) | frames;
}
