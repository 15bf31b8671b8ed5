#include "korvanta/skin/skin_mouse_protocol.h"

#include "korvanta/skin/skin_button_bar.h"

void SkinMouseProtocol::TrackAll(QPoint point, bool buttonHeld) {
    for (SkinButtonBar* bar : bars_) bar->Track(point, buttonHeld, true);
}

void SkinMouseProtocol::Press(QPoint point) {
    // The press is also where the mouse now is: a button that did not see a
    // move there first (the second of two clicks on one spot, a window that
    // opened under the mouse) becomes hot before the press can take it.
    TrackAll(point, false);
    TrackAll(point, true);
}

void SkinMouseProtocol::Move(QPoint point, bool buttonHeld) { TrackAll(point, buttonHeld); }

void SkinMouseProtocol::Leave() { TrackAll(QPoint(-1, -1), false); }

std::optional<PressedButton> SkinMouseProtocol::Release(QPoint point) {
    std::optional<PressedButton> pressed;
    for (const SkinButtonBar* bar : bars_) {
        for (int index = 0; index < bar->Count() && !pressed; ++index)
            if (bar->IsPressed(index)) pressed = PressedButton{bar, index};
    }
    for (SkinButtonBar* bar : bars_) bar->ReleaseAll();
    TrackAll(point, false);
    return pressed;
}
