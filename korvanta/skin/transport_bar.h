#pragma once
// The tape transport row: 12-pixel buttons drawn from the shared transport
// image (181), centred on their origin. A camera bar drives a camcorder's
// tape and has the two frame-step buttons; a file bar drives a preview player.
#include "korvanta/skin/skin_button_bar.h"

enum class TransportButton { FastBack, SlowBack, StepBack, Stop, Pause, Play, StepForward, SlowForward, FastForward };

class TransportBar : public SkinButtonBar {
public:
    // Stop starts checked and Pause disabled; a camera bar also starts with
    // both step buttons disabled.
    TransportBar(SkinOwner* owner, bool camera);

    bool IsCamera() const { return camera_; }
    // The index of a button in this bar, or -1 when the bar has no such
    // button (the step buttons of a file bar).
    int IndexOf(TransportButton button) const;

private:
    bool camera_;
};
