#pragma once
// The owner's side of the mouse for its button bars. An owner widget turns
// its Qt mouse events into these calls (Qt grabs the mouse for the widget
// while a button is held, and sends the leave event without being asked):
//   left press   -> Press(pos)
//   mouse move   -> Move(pos, left button held)   (with mouse tracking on)
//   leave        -> Leave()
//   left release -> Release(pos), then run the command of the button returned.
// A click therefore happens on release, only on the button that shows the
// pressed state: dragging off a pressed button makes it normal, dragging
// back presses it again because it is armed, and a press that began outside
// every button presses nothing.
#include <QPoint>

#include <optional>
#include <vector>

class SkinButtonBar;

// The button that was pressed when the mouse button came up.
struct PressedButton {
    const SkinButtonBar* bar;
    int index;
};

class SkinMouseProtocol {
public:
    // Bars are checked in the order they were added: that is the order in
    // which the owner looks for the pressed button. The bars stay the owner's.
    void AddBar(SkinButtonBar& bar) { bars_.push_back(&bar); }

    void Press(QPoint point);
    void Move(QPoint point, bool buttonHeld);
    void Leave();
    // Finds the first pressed button, releases every button and shows the
    // button under the mouse as hot again.
    std::optional<PressedButton> Release(QPoint point);

private:
    void TrackAll(QPoint point, bool buttonHeld);

    std::vector<SkinButtonBar*> bars_;
};
