#pragma once
// The base of every drawn button: a rectangle in the owner's client area
// with a state, an optional caption and a frame. The owner forwards painting
// and the mouse (see SkinMouseProtocol); the element only changes how it
// looks, and the owner decides what a click means.
#include <QPoint>

#include <string>

#include "korvanta/skin/skin_rect.h"
#include "korvanta/skin/skin_state.h"

class QFont;
class QPainter;
class SkinOwner;

class SkinElement {
public:
    SkinElement() = default;
    virtual ~SkinElement() = default;

    // Paints the frame and the caption for the current state.
    virtual void Draw(QPainter& dc) const;
    // Whether the point (owner client coordinates) is on the element.
    virtual bool HitTest(QPoint point) const;
    // Places the caption inside the rectangle.
    virtual void Layout();

    void SetRect(const SkinRect& rect);
    void OffsetY(int dy);
    const SkinRect& Rect() const { return rect_; }

    void SetCaption(std::string text, bool redraw);
    const std::string& Caption() const { return caption_; }
    // The element's tooltip key.
    void SetName(std::string name) { name_ = std::move(name); }
    const std::string& Name() const { return name_; }
    void SetTextAlign(int horizontal, int vertical);
    void SetMargin(int pixels);
    void SetFrame(bool frame);
    void SetShift(bool shift);
    // The window that repaints the element and lends its font; nullptr for none.
    void SetOwner(SkinOwner* owner);

    // Sets one of the four states; values outside them are ignored. A change
    // repaints the element when redraw is asked.
    void SetState(int state, bool redraw);
    int State() const { return state_; }
    // The latched on-look of toggles and radio groups; a change repaints.
    void SetChecked(bool checked);
    bool IsChecked() const { return checked_; }
    bool IsPressed() const { return state_ == kStatePressed; }
    // Set when the element became pressed, cleared by Release: a press that
    // began here and left the element may come back and press it again.
    bool IsArmed() const { return armed_; }

    // The mouse is over the element, with the left button held or not.
    // Returns whether the state changed.
    bool Track(bool buttonHeld, bool redraw);
    // The mouse left the element: hot or pressed becomes normal.
    void Leave(bool redraw);
    // The mouse button came up: the element returns to normal (a disabled
    // element stays disabled) and is no longer armed.
    void Release(bool redraw);
    // Asks the owner to repaint the element's rectangle.
    void Invalidate() const;

protected:
    // Where caption and image move in the current state: up-left when hot,
    // down-right when pressed, nowhere when shift is off.
    QPoint StateShift() const;
    int Margin() const { return margin_; }
    int TextAlignH() const { return textAlignH_; }
    int TextAlignV() const { return textAlignV_; }
    void MoveTextPosition(int dx, int dy) { textPosition_ += QPoint(dx, dy); }

private:
    void DrawFrame(QPainter& dc) const;
    void DrawCaption(QPainter& dc) const;
    QFont CaptionFont() const;
    void ChangeState(int state, bool redraw);

    int state_ = kStateNormal;
    bool checked_ = false;
    bool armed_ = false;
    SkinRect rect_;
    std::string caption_;
    std::string name_;
    bool frame_ = true;
    SkinOwner* owner_ = nullptr;
    int textAlignH_ = kAlignCentre;
    int textAlignV_ = kAlignCentre;
    int margin_ = 2;
    QPoint textPosition_;
    bool shift_ = true;
};
