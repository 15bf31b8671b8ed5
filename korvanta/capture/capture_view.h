#pragma once
// CaptureView: what the capture engine asks of the window it works for (the
// capture window, or the headless capture command): the sound meter and mute
// controls, and repainting the areas whose picture changed.
#include "platform/com/wintypes.h"

struct ILevelProbe;

class CaptureView {
public:
    // The graphs are made: the window sets up its sound meter on this meter
    // filter and its mute button. window is the handle the graphs' video and
    // events go to.
    virtual void SetUpSoundControls(HWND window, ILevelProbe* meter) = 0;
    // The monitor sound was switched on or off by the mute switch.
    virtual void ShowSoundOn(bool soundOn) = 0;
    // Thumbnail position (0-4) shows a new picture.
    virtual void ThumbnailChanged(int position) = 0;

protected:
    ~CaptureView() = default;
};
