#pragma once
// A row or column of drawn buttons that the owner handles as one: laid out
// from one origin, tracked with one call, drawn with one call. Setters by
// index ignore an index outside the bar.
#include <QPoint>

#include <string>
#include <vector>

#include "korvanta/skin/skin_button.h"

enum class BarOrientation { Horizontal, Vertical };

// The button under a point, for tooltips: its name is the tooltip key and
// its rectangle the tool area. The name is empty when no button is there.
struct SkinTool {
    std::string name;
    SkinRect rect;
};

class SkinButtonBar {
public:
    SkinButtonBar() = default;
    virtual ~SkinButtonBar() = default;

    // Replaces the buttons with count new ones of the given size, spacing
    // and alignment against the origin: kAlignLeft/kAlignTop puts the first
    // button's corner at the origin, kAlignCentre centres the bar on it,
    // kAlignRight (horizontal) or kAlignBottom (vertical) ends the bar there.
    void Create(int count, BarOrientation orientation, int width, int height, int spacing, int alignment);
    // Places the buttons from the origin.
    void SetOrigin(QPoint origin);
    // A new button width, applied at the current origin.
    void SetButtonWidth(int width);
    int Count() const { return static_cast<int>(buttons_.size()); }

    // Setters applied to every button.
    void SetOwner(SkinOwner* owner);
    void SetImage(const SkinImage* image);
    void SetTextAlign(int horizontal, int vertical);
    void SetImageAlign(int horizontal, int vertical);
    void SetMargin(int pixels);
    void SetFrame(bool frame);
    void SetShift(bool shift);
    void SetAlphaHit(bool alphaHit);

    // Setters of one button.
    void SetCells(int index, int normal, int hot, int pressed, int disabled);
    void SetName(int index, std::string name);
    void SetCaption(int index, std::string text, bool redraw);
    void SetState(int index, int state, bool redraw);
    void SetChecked(int index, bool checked);

    // Getters of one button: not pressed, not checked and disabled for an
    // index outside the bar.
    bool IsPressed(int index) const;
    bool IsChecked(int index) const;
    int GetState(int index) const;

    void Draw(QPainter& dc) const;
    // The first button that the point hits tracks the mouse (see
    // SkinElement::Track) and every other button is left. Returns whether
    // the tracked button changed; false when no button was hit.
    bool Track(QPoint point, bool buttonHeld, bool redraw);
    // The index of the first button that the point hits, or -1.
    int HitIndex(QPoint point) const;
    SkinTool ToolAt(QPoint point) const;
    // Ends a mouse press on every button.
    void ReleaseAll();
    void InvalidateAll() const;

private:
    // The button at index, or nullptr outside the bar.
    SkinButton* At(int index);
    const SkinButton* At(int index) const;
    template <typename Setter>
    void ForEach(Setter setter) {
        for (SkinButton& button : buttons_) setter(button);
    }

    std::vector<SkinButton> buttons_;
    BarOrientation orientation_ = BarOrientation::Horizontal;
    int width_ = 0;
    int height_ = 0;
    int spacing_ = 0;
    int alignment_ = kAlignLeft;
    QPoint origin_;
};
