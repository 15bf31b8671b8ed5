#pragma once
// A drawn button: a SkinElement that also shows one cell of a skin image per
// state, and may take its hit area from the image's alpha (round buttons).
#include <array>

#include "korvanta/skin/skin_element.h"

class SkinImage;

class SkinButton : public SkinElement {
public:
    // Frame and caption, then the cell of the current state at the image
    // position (moved with the caption when shift is on).
    void Draw(QPainter& dc) const override;
    // With alpha hit on and a cell for the current state, the cell's alpha at
    // the point decides; otherwise the rectangle does.
    bool HitTest(QPoint point) const override;
    // Places the caption, then the image; a caption aligned to the same side
    // as the image moves past it.
    void Layout() override;

    // The image is not owned: skin images live as long as the program or the
    // window that loaded them. nullptr removes it.
    void SetImage(const SkinImage* image);
    // The cell drawn in one state (0 to 3); a negative cell draws nothing.
    void SetCell(int state, int cell);
    // All four cells; ignored while no image is set.
    void SetCells(int normal, int hot, int pressed, int disabled);
    void SetImageAlign(int horizontal, int vertical);
    void SetAlphaHit(bool alphaHit) { alphaHit_ = alphaHit; }

private:
    // The cell to draw and hit-test in the current state, or -1 for none.
    int CurrentCell() const;

    const SkinImage* image_ = nullptr;
    // Normal, hot, pressed and disabled, as the cells of a four-state image.
    std::array<int, 4> cells_ = {0, 1, 2, 3};
    int imageAlignH_ = kAlignCentre;
    int imageAlignV_ = kAlignCentre;
    QPoint imagePosition_;
    bool alphaHit_ = false;
};
