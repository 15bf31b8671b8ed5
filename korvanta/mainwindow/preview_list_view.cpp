// PreviewList: scrolling, painting, the empty picture and the mouse.
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalBlocker>
#include <QStyle>
#include <QWheelEvent>

#include <algorithm>

#include "korvanta/mainwindow/preview_list.h"
#include "korvanta/preview/background_gradient.h"
#include "korvanta/skin/context_menu_popup.h"

namespace {

constexpr int kGradientSteps = 15;
constexpr int kEmptyWidth = 520, kEmptyHeight = 429;

}  // namespace

int PreviewList::RowWidth() const { return std::max(0, width() - bar_.width()); }

void PreviewList::UpdateScrollBar() {
    const int page = std::max(1, height());
    const int maximum = std::max(0, contentHeight_ + 1 - page);
    bar_.setRange(0, maximum);
    bar_.setPageStep(page);
    bar_.setEnabled(maximum > 0);
}

void PreviewList::ScrollTo(int position) {
    const int clamped = std::clamp(position, 0, bar_.maximum());
    if (bar_.value() != clamped) bar_.setValue(clamped);
    else OnScrollBar(clamped);
}

void PreviewList::OnScrollBar(int value) {
    const int dy = scroll_ - value;
    scroll_ = value;
    if (dy == 0) return;
    for (Slot& slot : rows_) {
        slot.row->OffsetY(dy);
        slot.top += dy;
    }
    update();
}

int PreviewList::NextBoundary(bool down) const {
    int boundary = down ? bar_.maximum() : 0;
    for (const Slot& slot : rows_) {
        const int top = slot.top + scroll_;
        if (down && top > scroll_) return std::min(top, bar_.maximum());
        if (!down && top < scroll_) boundary = top;
    }
    return boundary;
}

void PreviewList::resizeEvent(QResizeEvent*) {
    const int barWidth = style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    bar_.setGeometry(width() - barWidth, 0, barWidth, height());
    LayoutRows();
}

void PreviewList::LayoutRows() {
    // The rows take their new width from the top; the scroll position keeps
    // its share of the content.
    const double share = contentHeight_ > 0 ? double(scroll_) / (contentHeight_ + 1) : 0.0;
    int bottom = 0;
    for (Slot& slot : rows_) {
        slot.top = bottom;
        slot.height = slot.row->Layout(0, bottom, RowWidth());
        bottom += slot.height;
    }
    contentHeight_ = rows_.empty() ? -1 : bottom - 1;
    scroll_ = 0;
    {
        const QSignalBlocker quiet(bar_);
        UpdateScrollBar();
        bar_.setValue(std::clamp(int(share * bottom), 0, bar_.maximum()));
    }
    OnScrollBar(bar_.value());
    update();
}

void PreviewList::wheelEvent(QWheelEvent* e) {
    const int notches = e->angleDelta().y() / 120;
    for (int i = 0; i < std::abs(notches); ++i) ScrollTo(NextBoundary(notches < 0));
    e->accept();
}

void PreviewList::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QRect client(0, 0, RowWidth(), height());
    const int below = rows_.empty() ? 0 : rows_.back().top + rows_.back().height;
    DrawBackgroundGradient(painter, QRect(0, below, client.width(), std::max(0, height() - below)), kGradientSteps);
    if (rows_.empty()) return PaintEmpty(painter);
    for (Slot& slot : rows_)
        if (slot.top < height() && slot.top + slot.height > 0) slot.row->Paint(painter);
}

void PreviewList::PaintEmpty(QPainter& painter) {
    const int w = RowWidth();
    const int h = height();
    if (empty_.isNull()) return;
    if (w >= kEmptyWidth + 20 && h >= kEmptyHeight + 20) {
        painter.drawImage((w - kEmptyWidth) / 2, 10, empty_);
        return;
    }
    if (w <= 20 || h <= 20) return;
    const QSize fitted = QSize(kEmptyWidth, kEmptyHeight).scaled(w - 20, h - 20, Qt::KeepAspectRatio);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(QPoint((w - fitted.width()) / 2, 10), fitted), empty_);
}

int PreviewList::RowAt(int y) const {
    for (int i = 0; i < RowCount(); ++i)
        if (y >= rows_[std::size_t(i)].top && y < rows_[std::size_t(i)].top + rows_[std::size_t(i)].height) return i;
    return -1;
}

void PreviewList::mousePressEvent(QMouseEvent* e) {
    RelayToolTipEvent({MouseMessage::LButtonDown, {int(e->globalPosition().x()), int(e->globalPosition().y())}});
    if (e->button() != Qt::LeftButton) return;
    pressed_ = RowAt(e->position().toPoint().y());
    if (pressed_ < 0) return;
    const QPoint point = e->position().toPoint();
    PlayerRow& row = Row(pressed_);
    const bool onStrip = row.SelectStrip().contains(point);
    const bool shift = e->modifiers() & Qt::ShiftModifier;
    row.MousePress(point, e->modifiers() & Qt::ControlModifier, shift);
    if (onStrip) Select(pressed_, e->modifiers());
}

void PreviewList::mouseMoveEvent(QMouseEvent* e) {
    RelayToolTipEvent({MouseMessage::MouseMove, {int(e->globalPosition().x()), int(e->globalPosition().y())}});
    const QPoint point = e->position().toPoint();
    const bool held = e->buttons() & Qt::LeftButton;
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    if (held && pressed_ >= 0 && pressed_ < RowCount()) return Row(pressed_).MouseMove(point, true, ctrl);
    const int under = RowAt(point.y());
    if (hovered_ != under && hovered_ >= 0 && hovered_ < RowCount()) Row(hovered_).MouseLeave();
    hovered_ = under;
    if (under >= 0) Row(under).MouseMove(point, false, ctrl);
}

void PreviewList::mouseReleaseEvent(QMouseEvent* e) {
    RelayToolTipEvent({MouseMessage::LButtonUp, {int(e->globalPosition().x()), int(e->globalPosition().y())}});
    if (e->button() != Qt::LeftButton) return;
    const int row = pressed_;
    pressed_ = -1;
    if (row >= 0 && row < RowCount()) Row(row).MouseRelease(e->position().toPoint());
}

void PreviewList::leaveEvent(QEvent*) {
    RelayToolTipEvent({MouseMessage::MouseLeave, {}});
    if (hovered_ >= 0 && hovered_ < RowCount()) Row(hovered_).MouseLeave();
    hovered_ = -1;
}

void PreviewList::contextMenuEvent(QContextMenuEvent* e) {
    const int row = RowAt(e->pos().y());
    if (row >= 0) ShowContextMenu(Row(row), e->globalPos());
    else ShowContextMenu(*this, e->globalPos());
}

ToolTipTool PreviewList::GetToolAt(ComponentPoint screenPoint) {
    const int row = RowAt(mapFromGlobal(QPoint(screenPoint.x, screenPoint.y)).y());
    return row >= 0 ? Row(row).GetToolAt(screenPoint) : ToolTipTool{};
}
