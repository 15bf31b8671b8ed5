// CaptureDialog: the layout around the live picture, painting, the mouse
// on the drawn controls, and tooltips.
#include <QMouseEvent>
#include <QPainter>

#include "korvanta/capturewindow/capture_dialog.h"
#include "korvanta/core/language.h"
#include "korvanta/skin/context_menu_popup.h"

namespace {

constexpr int kStripWidth = 380;   // the live picture's column
constexpr int kColumnLeft = 392;   // the right column: indicator, the six buttons, the folder button
constexpr int kColumnWidth = kCaptureButtonWidth;
constexpr int kLine = 26;          // one row of standard controls
const QColor kBackground(236, 236, 242);
const QColor kThumbnailFrame(168, 168, 178);
const char* const kThumbnailKeys[] = {"FirstFrame", "Frame25", "Frame50", "Frame75", "LastFrame"};

SkinRect ToSkin(const QRect& rect) { return {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1}; }

}  // namespace

void CaptureDialog::LayOut() {
    CaptureAreaSizes sizes;
    if (engine_) {
        std::tie(sizes.displayWidth, sizes.displayHeight) = engine_->GetDisplaySize();
        sizes.videoWidth = engine_->GetVideoSize().first;
        sizes.wide = engine_->IsWideScreen();
    }
    const int below = sizes.displayHeight;
    const int stripTop = below + 50;
    area_ = LayOutCaptureArea(sizes, 0, stripTop, kStripWidth);
    if (engine_) engine_->PlaceVideoWindow(area_.video, true);
    muteButton_.SetRect(ToSkin(area_.mute));
    meter_.SetRect(ToSkin(area_.meter));

    positionRect_ = QRect(kStripWidth / 2 + 2, below + 10, kStripWidth / 2 - 12, 18);
    dateRect_ = QRect(10, below + 30, 170, 18);
    transport_.SetOrigin(QPoint(kStripWidth * 3 / 4 - 6, below + 33));
    const int stripBottom = area_.thumbnails[0].bottom() + 4;
    fileNameRect_ = QRect(10, stripBottom + 2, 210, 18);
    durationRect_ = QRect(220, stripBottom + 2, 150, 18);

    indicatorRect_ = QRect(kColumnLeft, 8, 24, 24);
    droppedRect_ = QRect(kColumnLeft + 28, 8, kColumnWidth - 28, 24);
    startStop_.SetOrigin(QPoint(kColumnLeft, 40));

    // The standard controls under the strip, labels right-aligned before them.
    constexpr int kFieldLeft = 214;
    int y = stripBottom + 24;
    deviceList_.setGeometry(10, y, kStripWidth - 20, 22);
    y += kLine;
    thresholdLabelRect_ = QRect(4, y, kFieldLeft - 8, 22);
    thresholdList_.setGeometry(kFieldLeft, y, kStripWidth - 10 - kFieldLeft, 22);
    y += kLine;
    customEdit_.setGeometry(kFieldLeft, y, kStripWidth - 10 - kFieldLeft, 22);
    y += kLine;
    baseNameLabelRect_ = QRect(4, y, kFieldLeft - 8, 22);
    baseNameEdit_.setGeometry(kFieldLeft, y, kStripWidth - 50 - kFieldLeft, 22);
    aviRect_ = QRect(kStripWidth - 44, y, 38, 22);
    y += kLine;
    folderField_.setGeometry(10, y, kStripWidth - 20, 22);
    folderButton_.setGeometry(kColumnLeft, y, kColumnWidth, 22);
    setFixedSize(kColumnLeft + kColumnWidth + 8, y + kLine + 4);
    update();
}

QRect CaptureDialog::PartRect(const std::string& tipKey) const {
    if (tipKey == "CaptureWindow") return area_.video;
    if (tipKey == "AudioMeter") return area_.meter;
    if (tipKey == "Mute") return area_.mute;
    if (tipKey == "CaptIsCapturing") return indicatorRect_;
    for (int i = 0; i < kThumbnailPositions; ++i)
        if (tipKey == kThumbnailKeys[i]) return area_.thumbnails[i];
    return {};
}

void CaptureDialog::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    if (!graphsMade_) return;
    painter.fillRect(area_.video, Qt::black);  // under the live picture until it comes
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    const auto& thumbnails = engine_->Thumbnails().Thumbnails();
    for (int i = 0; i < kThumbnailPositions; ++i) {
        const QRect& cell = area_.thumbnails[i];
        painter.fillRect(cell.adjusted(-2, -2, 2, 2), kThumbnailFrame);
        if (thumbnails[i].isNull())
            painter.fillRect(cell, kBackground.darker(115));
        else
            painter.drawImage(cell, thumbnails[i]);
    }
    muteButton_.Draw(painter);
    double first = 0, second = 0;
    if (levelProbe_) levelProbe_->GetLevels(&first, &second);
    meter_.Draw(painter, first, second);
    indicatorImage_.DrawCell(painter, indicatorRect_.left(), indicatorRect_.top(), writingShown_ ? 1 : 0);
    transport_.Draw(painter);
    startStop_.Draw(painter);
    DrawTexts(painter);
}

void CaptureDialog::DrawTexts(QPainter& painter) const {
    const auto text = [&](const QRect& rect, int flags, const std::string& value) {
        painter.drawText(rect, flags | Qt::AlignVCenter, QString::fromStdString(value));
    };
    painter.setPen(Qt::black);
    text(positionRect_, Qt::AlignHCenter, tapePosition_);
    text(dateRect_, Qt::AlignLeft, tapeDate_);
    text(thresholdLabelRect_, Qt::AlignRight, LabelText("CapDiff"));
    text(baseNameLabelRect_, Qt::AlignRight, LabelText("CapOutFileName"));
    text(aviRect_, Qt::AlignLeft, ".avi");
    text(fileNameRect_, Qt::AlignLeft, shownFileName_);
    text(durationRect_, Qt::AlignRight, durationText_);
    text(droppedRect_, Qt::AlignLeft, LabelText("Dropped"));
    painter.setPen(droppedCount_ >= 1 ? QColor(255, 0, 0) : QColor(0, 0, 0));
    text(droppedRect_, Qt::AlignRight, std::to_string(droppedCount_));
}

// ---- The mouse ----

void CaptureDialog::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !graphsMade_) return QDialog::mousePressEvent(event);
    const QPoint point = event->position().toPoint();
    mutePressed_ = muteButton_.HitTest(point);
    mouse_.Press(point);
    // A step button steps when pressed and again on every tick while held.
    const int hit = transport_.HitIndex(point);
    if (hit < 0 || transport_.GetState(hit) == kStateDisabled) return;
    if (hit == transport_.IndexOf(TransportButton::StepForward)) {
        RunCommand(kFirstTransportCommand + 6);
        session_->HoldStep(ED_MODE_STEP_FWD);
    } else if (hit == transport_.IndexOf(TransportButton::StepBack)) {
        RunCommand(kFirstTransportCommand + 5);
        session_->HoldStep(ED_MODE_STEP_REV);
    }
}

void CaptureDialog::mouseMoveEvent(QMouseEvent* event) {
    const QPoint global = event->globalPosition().toPoint();
    RelayToolTipEvent({MouseMessage::MouseMove, {global.x(), global.y()}});
    if (graphsMade_) mouse_.Move(event->position().toPoint(), event->buttons() & Qt::LeftButton);
}

void CaptureDialog::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !graphsMade_) return QDialog::mouseReleaseEvent(event);
    const QPoint point = event->position().toPoint();
    session_->HoldStep(0);
    if (mutePressed_ && muteButton_.HitTest(point)) engine_->ToggleSound();
    mutePressed_ = false;
    const std::optional<PressedButton> pressed = mouse_.Release(point);
    if (!pressed) return;
    if (pressed->bar == &startStop_) {
        RunCommand(kFirstCaptureCommand + pressed->index);
        return;
    }
    static constexpr std::pair<TransportButton, int> kClicks[] = {
        {TransportButton::Play, 0},     {TransportButton::Pause, 1},      {TransportButton::Stop, 2},
        {TransportButton::FastBack, 3}, {TransportButton::SlowBack, 4},   {TransportButton::SlowForward, 7},
        {TransportButton::FastForward, 8}};
    for (const auto& [button, offset] : kClicks)
        if (pressed->index == transport_.IndexOf(button)) RunCommand(kFirstTransportCommand + offset);
}

void CaptureDialog::leaveEvent(QEvent*) {
    if (!graphsMade_) return;
    mouse_.Leave();
    session_->HoldStep(0);
}

void CaptureDialog::contextMenuEvent(QContextMenuEvent* event) { ShowContextMenu(*this, event->globalPos()); }

// ---- Tooltips ----

std::string CaptureDialog::TipKeyAt(QPoint point, QRect& area) const {
    const auto inside = [&](const QRect& rect) {
        area = rect;
        return rect.contains(point);
    };
    for (const SkinButtonBar* bar : {static_cast<const SkinButtonBar*>(&transport_), &startStop_}) {
        if (const SkinTool tool = bar->ToolAt(point); !tool.name.empty()) {
            area = tool.rect.ToQRect();
            return tool.name;
        }
    }
    for (const char* key : {"CaptureWindow", "AudioMeter", "Mute", "CaptIsCapturing", "FirstFrame", "Frame25",
                            "Frame50", "Frame75", "LastFrame"})
        if (inside(PartRect(key))) return key;
    if (inside(positionRect_)) return "CaptTapePosition";
    if (inside(dateRect_)) return "CaptTapeDate";
    if (inside(thresholdLabelRect_)) return "CapSceneDiff";
    if (inside(baseNameLabelRect_) || inside(fileNameRect_)) return "CapOutFileName";
    area = rect();
    return "Capture";
}

ToolTipTool CaptureDialog::GetToolAt(ComponentPoint screenPoint) {
    const QPoint global(screenPoint.x, screenPoint.y);
    // The standard controls have tips of their own.
    const std::pair<const QWidget*, const char*> controls[] = {
        {&deviceList_, "CaptDVDevice"}, {&thresholdList_, "CapSceneDiff"}, {&customEdit_, "CapSceneCustDiff"},
        {&baseNameEdit_, "CapOutFileName"}, {&folderField_, "CapFolder"}, {&folderButton_, "CapFolder"}};
    for (const auto& [control, key] : controls) {
        const QRect bounds(control->mapToGlobal(QPoint(0, 0)), control->size());
        if (bounds.contains(global)) {
            const QRect local = control->geometry();
            return {this, {local.left(), local.top(), local.right() + 1, local.bottom() + 1}, TooltipText(key)};
        }
    }
    QRect area;
    const std::string key = TipKeyAt(mapFromGlobal(global), area);
    return {this, {area.left(), area.top(), area.right() + 1, area.bottom() + 1}, TooltipText(key)};
}
