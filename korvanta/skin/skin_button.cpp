#include "korvanta/skin/skin_button.h"

#include <QPainter>

#include "korvanta/skin/skin_image.h"

void SkinButton::Draw(QPainter& dc) const {
    SkinElement::Draw(dc);
    const int cell = CurrentCell();
    if (cell < 0) return;
    const QPoint at = imagePosition_ + StateShift();
    image_->DrawCell(dc, at.x(), at.y(), cell);
}

bool SkinButton::HitTest(QPoint point) const {
    const int cell = CurrentCell();
    if (alphaHit_ && cell >= 0) return image_->HitTestCell(cell, imagePosition_, point);
    return SkinElement::HitTest(point);
}

int SkinButton::CurrentCell() const {
    if (image_ == nullptr) return -1;
    const int cell = cells_[static_cast<std::size_t>(State())];
    return cell < image_->CellCount() ? cell : -1;
}

void SkinButton::Layout() {
    SkinElement::Layout();
    if (image_ == nullptr) return;
    const int size = image_->CellSize();
    const SkinRect& rect = Rect();
    const int step = size + Margin();
    switch (imageAlignH_) {
    case kAlignLeft:
        imagePosition_.setX(rect.left + Margin());
        if (TextAlignH() == kAlignLeft) MoveTextPosition(step, 0);
        break;
    case kAlignCentre: imagePosition_.setX((rect.left + rect.right) / 2 - size / 2); break;
    case kAlignRight:
        imagePosition_.setX(rect.right - Margin() - size);
        if (TextAlignH() == kAlignRight) MoveTextPosition(-step, 0);
        break;
    default: break;
    }
    switch (imageAlignV_) {
    case kAlignTop:
        imagePosition_.setY(rect.top + Margin());
        if (TextAlignV() == kAlignTop) MoveTextPosition(0, step);
        break;
    case kAlignCentre: imagePosition_.setY((rect.top + rect.bottom) / 2 - size / 2); break;
    case kAlignBottom:
        imagePosition_.setY(rect.bottom - Margin() - size);
        if (TextAlignV() == kAlignBottom) MoveTextPosition(0, -step);
        break;
    default: break;
    }
}

void SkinButton::SetImage(const SkinImage* image) {
    image_ = image;
    Layout();
}

void SkinButton::SetCell(int state, int cell) {
    if (state < kStateNormal || state > kStateDisabled) return;
    cells_[static_cast<std::size_t>(state)] = cell;
}

void SkinButton::SetCells(int normal, int hot, int pressed, int disabled) {
    if (image_ == nullptr) return;
    cells_ = {normal, hot, pressed, disabled};
}

void SkinButton::SetImageAlign(int horizontal, int vertical) {
    imageAlignH_ = horizontal;
    imageAlignV_ = vertical;
    Layout();
}
