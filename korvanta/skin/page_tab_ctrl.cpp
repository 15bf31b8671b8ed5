#include "korvanta/skin/page_tab_ctrl.h"

#include <QLinearGradient>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kHeaderHeight = 24;  // the selected header is 2 pixels taller
constexpr int kHeaderPadding = 14;
constexpr int kFirstHeaderX = 2;

const QColor kEdge(0x80, 0x80, 0x8A);
const QColor kLight(0xF0, 0xF0, 0xFA);
const QColor kBody(0xFA, 0xFB, 0xFD);
const QColor kAccent(0x00, 0x93, 0xDD);

}  // namespace

PageTabCtrl::PageTabCtrl(QWidget* parent) : QWidget(parent) { setMouseTracking(true); }

void PageTabCtrl::AddTab(const QString& caption, QWidget& page) {
    tabs_.push_back({caption, &page});
    page.setParent(this);
    page.move(kPageOffset);
    page.resize(PageSize());
    page.hide();
    if (selected_ < 0)
        Select(0);
    update();
}

void PageTabCtrl::Select(int index) {
    if (index < 0 || index >= Count() || index == selected_)
        return;
    if (selected_ >= 0)
        tabs_[selected_].page->hide();
    selected_ = index;
    tabs_[selected_].page->show();
    update();
}

QRect PageTabCtrl::TabRect(int index) const {
    if (index < 0 || index >= Count())
        return {};
    int x = kFirstHeaderX;
    for (int i = 0; i < index; ++i)
        x += fontMetrics().horizontalAdvance(tabs_[i].caption) + 2 * kHeaderPadding;
    const int width = fontMetrics().horizontalAdvance(tabs_[index].caption) + 2 * kHeaderPadding;
    return QRect(x, 2, width, kHeaderHeight - 2);
}

QSize PageTabCtrl::PageSize() const {
    return QSize(std::max(0, width() - 2 * kPageOffset.x()), std::max(0, height() - kPageOffset.y() - 4));
}

int PageTabCtrl::TabAt(QPoint point) const {
    for (int i = 0; i < Count(); ++i) {
        if (TabRect(i).contains(point))
            return i;
    }
    return -1;
}

void PageTabCtrl::SetHot(int index) {
    if (index == hot_)
        return;
    hot_ = index;
    update(QRect(0, 0, width(), kHeaderHeight + 1));
}

void PageTabCtrl::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        Select(TabAt(event->position().toPoint()));
}

void PageTabCtrl::mouseMoveEvent(QMouseEvent* event) { SetHot(TabAt(event->position().toPoint())); }

void PageTabCtrl::leaveEvent(QEvent*) { SetHot(-1); }

void PageTabCtrl::resizeEvent(QResizeEvent*) {
    for (const Tab& tab : tabs_)
        tab.page->resize(PageSize());
}

void PageTabCtrl::paintEvent(QPaintEvent*) {
    QPainter dc(this);
    PaintBody(dc);
    for (int i = 0; i < Count(); ++i) {
        if (i != selected_)
            PaintHeader(dc, i);
    }
    // The selected header last: it overlaps its neighbours and the body's top edge.
    if (selected_ >= 0)
        PaintHeader(dc, selected_);
}

void PageTabCtrl::PaintBody(QPainter& dc) const {
    const QRect body(0, kHeaderHeight, width() - 1, height() - kHeaderHeight - 1);
    dc.fillRect(body, kBody);
    dc.setPen(kEdge);
    dc.drawRect(body);
}

void PageTabCtrl::PaintHeader(QPainter& dc, int index) const {
    const bool selected = index == selected_;
    const bool hot = index == hot_ && !selected;
    QRect header = TabRect(index);
    if (selected)
        header.adjust(-2, -2, 2, 1);  // raised, and joined to the body
    QLinearGradient fill(header.topLeft(), header.bottomLeft());
    if (selected) {
        fill.setColorAt(0, Qt::white);
        fill.setColorAt(1, kBody);
    } else if (hot) {
        fill.setColorAt(0, QColor(0xE8, 0xF4, 0xFC));
        fill.setColorAt(1, QColor(0xC4, 0xE2, 0xF6));
    } else {
        fill.setColorAt(0, QColor(0xF2, 0xF2, 0xF6));
        fill.setColorAt(1, QColor(0xD8, 0xDA, 0xE2));
    }
    dc.fillRect(header, fill);
    dc.setPen(kEdge);
    dc.drawLine(header.topLeft(), header.bottomLeft());
    dc.drawLine(header.topLeft(), header.topRight());
    dc.drawLine(header.topRight(), header.bottomRight());
    if (selected) {
        // A coloured strip on top marks the selected page.
        dc.fillRect(QRect(header.left() + 1, header.top() + 1, header.width() - 2, 2), kAccent);
    } else {
        dc.setPen(kLight);
        dc.drawLine(header.left() + 1, header.top() + 1, header.right() - 1, header.top() + 1);
    }
    dc.setPen(palette().color(QPalette::WindowText));
    dc.drawText(header.adjusted(0, selected ? 2 : 0, 0, 0), Qt::AlignCenter, tabs_[index].caption);
}
