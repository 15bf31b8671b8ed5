// PlayerRow: placing and painting its parts, its texts, the mouse and tooltips.
#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QWidget>

#include <algorithm>

#include "korvanta/capture/capture_texts.h"
#include "korvanta/core/language.h"
#include "korvanta/preview/background_gradient.h"
#include "korvanta/preview/player_row.h"

namespace {

constexpr int kBand = 48;  // the controls and texts under the pictures
constexpr int kLine = 16;
constexpr int kSelectWidth = 4;  // the clickable select strip at the row's left edge
constexpr int kGradientSteps = 15;
const QColor kLight(240, 240, 250);
const QColor kDark(128, 128, 138);

// Tahoma where it is installed, else a narrow face so that a label and its
// time fit under a thumbnail.
QFont RowFont() {
    QFont font;
    font.setFamilies({"Tahoma", "DejaVu Sans Condensed", "Liberation Sans Narrow"});
    font.setPixelSize(14);
    font.setWeight(QFont::Normal);
    return font;
}

SkinRect ToSkin(const QRect& rect) { return {rect.left(), rect.top(), rect.right() + 1, rect.bottom() + 1}; }

// The texts of a frame's DV record: time code and recording date, or dashes without a record.
std::string TimecodeOf(const DvFrameInfo& info) {
    if (info.frameMs <= 0) return "--:--:--.--";
    return TimecodeFieldsText(info.tcHours, info.tcMinutes, info.tcSeconds, info.tcFrames);
}
std::string DateOf(const DvFrameInfo& info) {
    if (info.frameMs <= 0) return "--  --";
    return RecordingDateText(info.recYear, info.recMonth, info.recDay, info.recHour, info.recMinute, info.recSecond);
}

}  // namespace

int PlayerRow::Layout(int x, int y, int width) {
    if (!player_) return 0;
    const int videoHeight = player_->Layout(x, y, width);
    left_ = x;
    width_ = width;
    bottom_ = y + videoHeight + kBand;
    PlaceParts();
    return videoHeight + kBand;
}

void PlayerRow::OffsetY(int dy) {
    if (!player_) return;
    player_->OffsetY(dy);
    bottom_ += dy;
    PlaceParts();
}

void PlayerRow::PlaceParts() {
    const int x = left_;
    const int b = bottom_;
    const QRect video = player_->VideoRect();
    const auto& thumbs = player_->ThumbnailRects();

    // The player's mute button and meter take the first line under the
    // video, so the position text and the transport bar sit below them.
    positionRect_ = QRect(video.left(), b - 27, video.width(), 14);
    transport_.SetOrigin(QPoint(video.center().x(), b - 14));
    captureRect_ = QRect(x + 2, b - 24, 20, 20);
    captureButton_.SetOrigin(captureRect_.topLeft());
    selectStrip_ = QRect(x, video.top(), kSelectWidth, video.height());

    const int top = b - 32;
    nameRect_ = QRect(thumbs[0].left(), top, thumbs[1].right() - thumbs[0].left() + 1, 32);
    currentRect_ = QRect(thumbs[2].left(), top, thumbs[2].width(), 32);
    firstRect_ = QRect(thumbs[3].left(), top, thumbs[3].width(), 32);
    durationRect_ = QRect(thumbs[4].left(), top, thumbs[4].width(), 32);
    positionSlider_.SetRect(thumbs[0].left(), b - 48, thumbs[3].right() + 1, b - 32);
    trackSlider_.SetRect(thumbs[4].left(), b - 48, thumbs[4].right() + 1, b - 32);
    FollowPosition();
}

void PlayerRow::RefreshTexts() {
    if (!player_) return;
    const std::string position = FrameCountText(player_->CurrentFrame(), player_->FrameDuration());
    const DvFrameInfo info = player_->CurrentFrame() == 0 ? player_->FirstFrameRecord() : player_->InfoRecord();
    const std::string timecode = TimecodeOf(info);
    const std::string date = DateOf(info);
    if (!owner_) return;
    if (position != positionText_) {
        positionText_ = position;
        owner_->InvalidateArea(ToSkin(positionRect_));
    }
    if (timecode != currentTimecodeText_ || date != currentDateText_) {
        currentTimecodeText_ = timecode;
        currentDateText_ = date;
        owner_->InvalidateArea(ToSkin(currentRect_));
    }
}

void PlayerRow::Paint(QPainter& painter) {
    if (!player_) return;
    DrawBackgroundGradient(painter, QRect(left_, bottom_ - kBand, width_, kBand), kGradientSteps);
    player_->Paint(painter);
    transport_.Draw(painter);
    captureButton_.Draw(painter);
    DrawSelectStrip(painter);
    positionSlider_.Draw(painter);
    trackSlider_.Draw(painter);
    DrawTexts(painter);
}

void PlayerRow::DrawSelectStrip(QPainter& painter) const {
    // A zero-width strip at the left edge inflated by 2: a 2-pixel 3D frame,
    // raised when selected and sunken when not.
    const QRect frame(selectStrip_.left() - 2, selectStrip_.top() - 2, 4, selectStrip_.height() + 4);
    const QColor& topLeft = selected_ ? kLight : kDark;
    const QColor& bottomRight = selected_ ? kDark : kLight;
    painter.fillRect(QRect(frame.left(), frame.top(), 2, frame.height()), topLeft);
    painter.fillRect(QRect(frame.left(), frame.top(), frame.width(), 2), topLeft);
    painter.fillRect(QRect(frame.right() - 1, frame.top() + 2, 2, frame.height() - 2), bottomRight);
    painter.fillRect(QRect(frame.left() + 2, frame.bottom() - 1, frame.width() - 2, 2), bottomRight);
}

void PlayerRow::DrawTexts(QPainter& painter) const {
    painter.save();
    painter.setFont(RowFont());
    painter.setPen(Qt::black);
    const auto line = [&](const QRect& rect, int row, const std::string& text) {
        // A text wider than its cell (a long date under a narrow thumbnail)
        // is drawn smaller, down to two thirds of the size, rather than cut.
        const QString shown = QString::fromStdString(text);
        QFont font = RowFont();
        const int width = QFontMetrics(font).horizontalAdvance(shown);
        if (width > rect.width() && width > 0)
            font.setPixelSize(std::max(font.pixelSize() * 2 / 3, font.pixelSize() * rect.width() / width));
        painter.setFont(font);
        painter.drawText(QRect(rect.left(), rect.top() + row * kLine, rect.width(), kLine),
                         Qt::AlignLeft | Qt::AlignVCenter, shown);
    };
    painter.drawText(positionRect_, Qt::AlignCenter, QString::fromStdString(positionText_));
    painter.drawText(nameRect_, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, QString::fromStdString(fileName_));
    line(currentRect_, 0, LabelText("At") + currentTimecodeText_);
    line(currentRect_, 1, LabelText("DT") + currentDateText_);
    const DvFrameInfo& first = player_->FirstFrameRecord();
    line(firstRect_, 0, LabelText("StartAt") + TimecodeOf(first));
    line(firstRect_, 1, LabelText("StartDT") + DateOf(first));
    line(durationRect_, 0, DurationText());
    painter.restore();
}

void PlayerRow::MousePress(QPoint point, bool ctrlHeld, bool extendSelection) {
    if (!player_) return;
    ctrlHeld_ = ctrlHeld;
    mutePressed_ = player_->MuteRect().Contains(point);
    mouse_.Press(point);
    const int hit = transport_.HitIndex(point);
    for (TransportButton button : {TransportButton::FastBack, TransportButton::SlowBack, TransportButton::SlowForward,
                                   TransportButton::FastForward}) {
        if (hit < 0 || hit != transport_.IndexOf(button)) continue;
        stepping_ = button;
        player_->Step(StepCount());
        skipTick_ = true;
        FollowPosition();
        return;
    }
    if (positionSlider_.Drag(point, true)) {
        positionDrag_ = true;
        player_->SeekTo(positionSlider_.Position(), positionSlider_.Range());
        RefreshTexts();
    } else if (trackSlider_.Drag(point, true)) {
        shuttling_ = true;
        Shuttle();
    } else if (player_->ThumbnailRects().front().united(player_->ThumbnailRects().back()).contains(point)) {
        player_->ScrubAt(point, true);
        FollowPosition();
    } else if (player_->VideoRect().contains(point)) {
        player_->ShowEnlarged(listWindow_->mapToGlobal(point));
    } else if (selectStrip_.contains(point)) {
        SetSelected(extendSelection || !selected_, true);
    }
}

void PlayerRow::MouseMove(QPoint point, bool buttonHeld, bool ctrlHeld) {
    if (!player_) return;
    ctrlHeld_ = ctrlHeld;
    mouse_.Move(point, buttonHeld);
    if (!buttonHeld) {
        positionSlider_.Hover(point, true);
        trackSlider_.Hover(point, true);
        return;
    }
    if (positionDrag_ && positionSlider_.Drag(point, false)) {
        player_->SeekTo(positionSlider_.Position(), positionSlider_.Range());
        RefreshTexts();
    }
    if (shuttling_) trackSlider_.Drag(point, false);
    if (player_->IsScrubbing()) {
        player_->ScrubAt(point, false);
        FollowPosition();
    }
}

void PlayerRow::MouseRelease(QPoint point) {
    if (!player_) return;
    if (mutePressed_ && player_->MuteRect().Contains(point)) player_->ToggleSound();
    const std::optional<PressedButton> pressed = mouse_.Release(point);
    if (pressed && pressed->bar == &transport_) {
        for (TransportButton button : {TransportButton::Play, TransportButton::Pause, TransportButton::Stop})
            if (pressed->index == transport_.IndexOf(button)) RunTransport(button);
    } else if (pressed && pressed->bar == &captureButton_) {
        CaptureFrame();
    }
    EndDrags();
}

void PlayerRow::MouseLeave() {
    if (!player_) return;
    mouse_.Leave();
    EndDrags();
}

void PlayerRow::EndDrags() {
    if (shuttling_) trackSlider_.SpringBack();
    trackSlider_.SetDragging(false);
    positionSlider_.SetDragging(false);
    shuttling_ = positionDrag_ = mutePressed_ = false;
    stepping_.reset();
    skipTick_ = false;
    player_->EndScrub();
    transport_.ReleaseAll();
    captureButton_.ReleaseAll();
}

std::string PlayerRow::TipKeyAt(QPoint point, QRect& area) const {
    const auto inside = [&](const QRect& rect) {
        area = rect;
        return rect.contains(point);
    };
    if (const SkinTool tool = transport_.ToolAt(point); !tool.name.empty()) {
        area = tool.rect.ToQRect();
        return tool.name;
    }
    if (inside(captureRect_)) return "BtnFrameCapture";
    if (inside(player_->MuteRect().ToQRect())) return "Mute";
    if (inside(player_->VideoRect())) return "VideoWindow";
    const QRect& video = player_->VideoRect();
    if (inside(QRect(video.left() + 20, video.bottom() + 5, video.width() - 20, 14))) return "AudioMeter";
    if (inside(positionRect_)) return "Position";
    if (inside(selectStrip_)) return "SelectButton";
    if (inside(positionSlider_.Outer().ToQRect())) return "PositionSlider";
    if (inside(trackSlider_.Outer().ToQRect())) return "TrackSlider";
    if (inside(nameRect_)) return "FileInfo";
    if (inside(currentRect_)) return "CurrentTime";
    if (inside(firstRect_)) return "StartTime";
    if (inside(durationRect_)) return "Duration";
    static constexpr const char* kThumbnailKeys[] = {"FirstFrame", "Frame25", "Frame50", "Frame75", "LastFrame"};
    for (int i = 0; i < PreviewPlayer::kThumbnails; ++i)
        if (inside(player_->ThumbnailRects()[i])) return kThumbnailKeys[i];
    return {};
}

ToolTipTool PlayerRow::GetToolAt(ComponentPoint screenPoint) {
    if (!player_ || !listWindow_) return {};
    const QPoint point = listWindow_->mapFromGlobal(QPoint(screenPoint.x, screenPoint.y));
    QRect area;
    const std::string key = TipKeyAt(point, area);
    if (key.empty()) return {};
    const std::string text = key == "FileInfo"
                                 ? TooltipText("FileInfo1") + folder_.string() + "\n" + TooltipText("FileInfo2") + fileName_
                                 : TooltipText(key);
    return {listWindow_, {area.left(), area.top(), area.right() + 1, area.bottom() + 1}, text};
}
