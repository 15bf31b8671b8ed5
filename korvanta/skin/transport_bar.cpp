#include "korvanta/skin/transport_bar.h"

#include <array>
#include <string_view>

#include "korvanta/skin/skin_image.h"

namespace {

constexpr int kTransportImage = 181;
constexpr int kButtonSize = 12;

// The buttons from left to right, with their tooltip keys and the first of
// their four state cells in the transport image.
struct TransportEntry {
    TransportButton button;
    std::string_view cameraName;
    std::string_view fileName;  // empty: not on a file bar
    int firstCell;
};

constexpr std::array<TransportEntry, 9> kEntries = {{
    {TransportButton::FastBack, "BtnCaptFastBack", "BtnFastBack", 12},
    {TransportButton::SlowBack, "BtnCaptSlowBack", "BtnSlowBack", 20},
    {TransportButton::StepBack, "BtnCaptStepBack", "", 28},
    {TransportButton::Stop, "BtnCaptStop", "BtnStop", 0},
    {TransportButton::Pause, "BtnCaptPause", "BtnPause", 4},
    {TransportButton::Play, "BtnCaptPlay", "BtnPlay", 8},
    {TransportButton::StepForward, "BtnCaptStepForw", "", 32},
    {TransportButton::SlowForward, "BtnCaptSlowForw", "BtnSlowForw", 24},
    {TransportButton::FastForward, "BtnCaptFastForw", "BtnFastForw", 16},
}};

bool OnBar(const TransportEntry& entry, bool camera) { return camera || !entry.fileName.empty(); }

}  // namespace

TransportBar::TransportBar(SkinOwner* owner, bool camera) : camera_(camera) {
    Create(camera ? 9 : 7, BarOrientation::Horizontal, kButtonSize, kButtonSize, 0, kAlignCentre);
    SetOwner(owner);
    SetImage(&SharedSkinImage(kTransportImage));
    SetFrame(false);
    SetShift(false);
    SetMargin(0);
    int index = 0;
    for (const TransportEntry& entry : kEntries) {
        if (!OnBar(entry, camera)) continue;
        SetName(index, std::string(camera ? entry.cameraName : entry.fileName));
        SetCells(index, entry.firstCell, entry.firstCell + 1, entry.firstCell + 2, entry.firstCell + 3);
        ++index;
    }
    SetState(IndexOf(TransportButton::Pause), kStateDisabled, false);
    SetState(IndexOf(TransportButton::StepBack), kStateDisabled, false);
    SetState(IndexOf(TransportButton::StepForward), kStateDisabled, false);
    SetChecked(IndexOf(TransportButton::Stop), true);
}

int TransportBar::IndexOf(TransportButton button) const {
    int index = 0;
    for (const TransportEntry& entry : kEntries) {
        if (!OnBar(entry, camera_)) continue;
        if (entry.button == button) return index;
        ++index;
    }
    return -1;
}
