#include "korvanta/skin/skin_button_bar.h"

#include <algorithm>

void SkinButtonBar::Create(int count, BarOrientation orientation, int width, int height, int spacing,
                           int alignment) {
    buttons_ = std::vector<SkinButton>(static_cast<std::size_t>(std::max(count, 0)));
    orientation_ = orientation;
    width_ = width;
    height_ = height;
    spacing_ = spacing;
    alignment_ = alignment;
}

void SkinButtonBar::SetOrigin(QPoint origin) {
    origin_ = origin;
    const bool horizontal = orientation_ == BarOrientation::Horizontal;
    const int step = (horizontal ? width_ : height_) + spacing_;
    const int start = horizontal ? origin.x() : origin.y();
    const int barEnd = horizontal ? kAlignRight : kAlignBottom;
    int along = start;
    if (alignment_ == kAlignCentre)
        along = start - step * Count() / 2;
    else if (alignment_ == barEnd)
        along = start - step * Count();
    for (SkinButton& button : buttons_) {
        if (horizontal)
            button.SetRect({along, origin.y(), along + width_, origin.y() + height_});
        else
            button.SetRect({origin.x(), along, origin.x() + width_, along + height_});
        along += step;
    }
}

void SkinButtonBar::SetButtonWidth(int width) {
    width_ = width;
    SetOrigin(origin_);
}

void SkinButtonBar::SetOwner(SkinOwner* owner) {
    ForEach([owner](SkinButton& button) { button.SetOwner(owner); });
}

void SkinButtonBar::SetImage(const SkinImage* image) {
    ForEach([image](SkinButton& button) { button.SetImage(image); });
}

void SkinButtonBar::SetTextAlign(int horizontal, int vertical) {
    ForEach([=](SkinButton& button) { button.SetTextAlign(horizontal, vertical); });
}

void SkinButtonBar::SetImageAlign(int horizontal, int vertical) {
    ForEach([=](SkinButton& button) { button.SetImageAlign(horizontal, vertical); });
}

void SkinButtonBar::SetMargin(int pixels) {
    ForEach([pixels](SkinButton& button) { button.SetMargin(pixels); });
}

void SkinButtonBar::SetFrame(bool frame) {
    ForEach([frame](SkinButton& button) { button.SetFrame(frame); });
}

void SkinButtonBar::SetShift(bool shift) {
    ForEach([shift](SkinButton& button) { button.SetShift(shift); });
}

void SkinButtonBar::SetAlphaHit(bool alphaHit) {
    ForEach([alphaHit](SkinButton& button) { button.SetAlphaHit(alphaHit); });
}

SkinButton* SkinButtonBar::At(int index) {
    return index >= 0 && index < Count() ? &buttons_[static_cast<std::size_t>(index)] : nullptr;
}

const SkinButton* SkinButtonBar::At(int index) const {
    return index >= 0 && index < Count() ? &buttons_[static_cast<std::size_t>(index)] : nullptr;
}

void SkinButtonBar::SetCells(int index, int normal, int hot, int pressed, int disabled) {
    if (SkinButton* button = At(index)) button->SetCells(normal, hot, pressed, disabled);
}

void SkinButtonBar::SetName(int index, std::string name) {
    if (SkinButton* button = At(index)) button->SetName(std::move(name));
}

void SkinButtonBar::SetCaption(int index, std::string text, bool redraw) {
    if (SkinButton* button = At(index)) button->SetCaption(std::move(text), redraw);
}

void SkinButtonBar::SetState(int index, int state, bool redraw) {
    if (SkinButton* button = At(index)) button->SetState(state, redraw);
}

void SkinButtonBar::SetChecked(int index, bool checked) {
    if (SkinButton* button = At(index)) button->SetChecked(checked);
}

bool SkinButtonBar::IsPressed(int index) const {
    const SkinButton* button = At(index);
    return button && button->IsPressed();
}

bool SkinButtonBar::IsChecked(int index) const {
    const SkinButton* button = At(index);
    return button && button->IsChecked();
}

int SkinButtonBar::GetState(int index) const {
    const SkinButton* button = At(index);
    return button ? button->State() : kStateDisabled;
}

void SkinButtonBar::Draw(QPainter& dc) const {
    for (const SkinButton& button : buttons_) button.Draw(dc);
}

bool SkinButtonBar::Track(QPoint point, bool buttonHeld, bool redraw) {
    const int hit = HitIndex(point);
    bool changed = false;
    for (int i = 0; i < Count(); ++i) {
        if (i == hit)
            changed = buttons_[static_cast<std::size_t>(i)].Track(buttonHeld, redraw);
        else
            buttons_[static_cast<std::size_t>(i)].Leave(redraw);
    }
    return changed;
}

int SkinButtonBar::HitIndex(QPoint point) const {
    const auto hit = std::find_if(buttons_.begin(), buttons_.end(),
                                  [point](const SkinButton& button) { return button.HitTest(point); });
    return hit == buttons_.end() ? -1 : static_cast<int>(hit - buttons_.begin());
}

SkinTool SkinButtonBar::ToolAt(QPoint point) const {
    const SkinButton* button = At(HitIndex(point));
    if (button == nullptr) return {};
    return {button->Name(), button->Rect()};
}

void SkinButtonBar::ReleaseAll() {
    ForEach([](SkinButton& button) { button.Release(true); });
}

void SkinButtonBar::InvalidateAll() const {
    for (const SkinButton& button : buttons_) button.Invalidate();
}
