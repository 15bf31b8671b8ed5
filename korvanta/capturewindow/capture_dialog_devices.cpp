// CaptureDialog: the device list, devices plugged in and out, and the
// user's choice of device.
#include "korvanta/capturewindow/capture_dialog.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"

namespace {

// The numbers of the device messages in the message table.
constexpr int kCaptureDeviceArrived = 2;
constexpr int kCaptureDeviceRemoved = 3;
constexpr int kCurrentCaptureDeviceRemoved = 4;
constexpr int kNewCaptureDeviceArrived = 5;

}  // namespace

void CaptureDialog::FillDeviceList() {
    devices_ = EnumerateDevices();
    deviceList_.clear();
    int chosen = devices_.empty() ? -1 : 0;
    for (std::size_t i = 0; i < devices_.size(); ++i) {
        deviceList_.addItem(QString::fromStdString(devices_[i].name));
        if (wantedId_ && devices_[i].id == wantedId_) chosen = static_cast<int>(i);
    }
    deviceList_.setCurrentIndex(chosen);
    if (chosen < 0) {
        wantedId_.reset();
        wantedName_.clear();
    } else {
        wantedId_ = devices_[chosen].id;
        wantedName_ = devices_[chosen].name;
    }
}

void CaptureDialog::StoreUsedDevice(bool notify) {
    SetSetting(SettingId::UsedDevice, {wantedId_ ? FormatDeviceId(*wantedId_) : std::string(), 0}, notify);
}

void CaptureDialog::DevicesChanged() {
    if (!engine_ || !graphsMade_) return;
    const std::optional<DeviceId> before = wantedId_;
    const bool wasReady = engine_->IsReady();
    const std::size_t countBefore = devices_.size();
    FillDeviceList();

    if (devices_.empty()) {
        if (countBefore == 0) return;  // there was none before either
        engine_->ReleaseDevice();
        session_->HandleEvents();
        hide();
        ShowErrorText("NoDVCaptureDevice");
        return;
    }
    if (wantedId_ == before) {
        // A notice that changed nothing (they come more than once) says nothing.
        if (wasReady && devices_.size() != countBefore)
            ShowMessage(devices_.size() > countBefore ? kNewCaptureDeviceArrived : kCaptureDeviceRemoved);
        return;
    }
    // The device in use went away (or there was none): the one chosen now takes its place.
    const bool changed = engine_->ChangeDevice(wantedId_, wantedName_);
    session_->HandleEvents();
    if (!changed) {
        engine_->ReportState();
        return;
    }
    StoreUsedDevice(true);
    if (engine_->IsReady()) {
        engine_->RunGraph();
        LayOut();
        ShowMessage(before ? kCurrentCaptureDeviceRemoved : kCaptureDeviceArrived);
    } else {
        engine_->ReportState();
    }
}

void CaptureDialog::DeviceSelected(int index) {
    if (index < 0 || index >= static_cast<int>(devices_.size())) return;
    const DeviceEntry& entry = devices_[index];
    if (entry.id == wantedId_) return;
    wantedId_ = entry.id;
    wantedName_ = entry.name;
    if (wantedId_) {
        if (engine_->ChangeDevice(wantedId_, wantedName_)) engine_->RunGraph();
    } else {
        engine_->ReleaseDevice();
    }
    session_->HandleEvents();
    LayOut();
    StoreUsedDevice(false);
}
