// PreviewPlayer: placing and painting its parts in the list window,
// scrubbing over the thumbnails, the mute menu entry and the enlarged view.
#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

#include <algorithm>

#include "korvanta/core/context_menu.h"
#include "korvanta/preview/background_gradient.h"
#include "korvanta/preview/preview_player.h"
#include "platform/media/renderers/window_handle.h"

namespace {

constexpr int kInset = 4;
constexpr int kMuteSize = 18;
constexpr int kGradientSteps = 15;
const QColor kFrameDark(128, 128, 138);
const QColor kFrameLight(240, 240, 250);
const QColor kThumbnailFrame(168, 168, 178);

// A 1-pixel ring just outside rect: top and left in one colour, bottom and right in the other.
void DrawRing(QPainter& painter, const QRect& rect, const QColor& topLeft, const QColor& bottomRight) {
    const QRect ring = rect.adjusted(-1, -1, 1, 1);
    painter.fillRect(QRect(ring.left(), ring.top(), ring.width(), 1), topLeft);
    painter.fillRect(QRect(ring.left(), ring.top(), 1, ring.height()), topLeft);
    painter.fillRect(QRect(ring.left(), ring.bottom(), ring.width(), 1), bottomRight);
    painter.fillRect(QRect(ring.right(), ring.top(), 1, ring.height()), bottomRight);
}

// A popup without controls holding the video window until the mouse button
// is released.
class EnlargedView final : public QWidget {
public:
    EnlargedView(QWidget* parent, PreviewPlayer& player)
        : QWidget(parent, Qt::Popup | Qt::FramelessWindowHint), player_(player) {}

protected:
    void mouseReleaseEvent(QMouseEvent*) override { player_.CloseEnlarged(); }

private:
    PreviewPlayer& player_;
};

}  // namespace

int PreviewPlayer::Layout(int x, int y, int width) {
    const int column = width / 6;
    const int extra = width % 6;
    std::array<int, 6> left{}, widths{};
    for (int i = 0, at = x; i < 6; ++i) {
        widths[i] = column + (i < extra ? 1 : 0);
        left[i] = at;
        at += widths[i];
    }
    const int videoWidth = widths[0] - 2 * kInset;
    const int videoHeight = decodedWidth_ > 0 ? sizes_.decodedDisplayHeight * widths[0] / decodedWidth_ : 0;
    videoRect_ = QRect(left[0] + kInset, y + kInset, std::max(0, videoWidth), videoHeight);
    if (!enlarged_) PlaceVideoWindow(videoRect_, true);
    for (int i = 0; i < kThumbnails; ++i)
        thumbnailRects_[i] = QRect(left[i + 1] + 2, y + 2, widths[i + 1] - 4, std::max(0, videoHeight - 4));
    const int bottom = videoRect_.top() + videoRect_.height();
    muteButton_.SetRect({videoRect_.left(), bottom + 5, videoRect_.left() + kMuteSize, bottom + 5 + kMuteSize});
    levelMeter_.SetRect({videoRect_.left() + 20, bottom + 6, videoRect_.left() + videoRect_.width(), bottom + 18});
    if (!thumbnailsMade_) {
        MakeThumbnails();
    } else if (seeking_) {
        // The moved video window shows the frame again.
        SetPositions(currentFrame_, lastFrame_);
        if (playState_ != 2) Pause();
    }
    return videoHeight;
}

void PreviewPlayer::PlaceVideoWindow(const QRect& rect, bool visible) {
    if (!videoWindow_) return;
    videoWindow_->SetWindowPosition(rect.left(), rect.top(), rect.width(), rect.height());
    videoWindow_->put_Visible(visible ? OATRUE : OAFALSE);
}

void PreviewPlayer::OffsetY(int dy) {
    videoRect_.translate(0, dy);
    for (QRect& rect : thumbnailRects_) rect.translate(0, dy);
    muteButton_.SetRect(muteButton_.Rect().Offset(0, dy));
    levelMeter_.OffsetY(dy);
    if (!enlarged_) PlaceVideoWindow(videoRect_, true);
}

void PreviewPlayer::Paint(QPainter& painter) {
    painter.save();
    for (int ring = 0; ring < 4; ++ring) {
        const QRect inner = videoRect_.adjusted(-ring, -ring, ring, ring);
        if (ring < 2)
            DrawRing(painter, inner, kFrameDark, kFrameLight);
        else
            DrawRing(painter, inner, kFrameLight, kFrameDark);
    }
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    for (int i = 0; i < kThumbnails; ++i) {
        const QRect& rect = thumbnailRects_[i];
        if (rect.isEmpty()) continue;
        const QRect frame = rect.adjusted(-2, -2, 2, 2);
        painter.fillRect(frame, kThumbnailFrame);
        if (thumbnails_[i].isNull())
            DrawBackgroundGradient(painter, rect, kGradientSteps);
        else
            painter.drawImage(rect, thumbnails_[i]);
    }
    painter.restore();
    muteButton_.SetChecked(!soundOn_);
    muteButton_.Draw(painter);
    const auto levels = Levels();
    levelMeter_.Draw(painter, levels[0], levels[1]);
}

void PreviewPlayer::ScrubAt(QPoint point, bool isPress) {
    const QRect strip = thumbnailRects_.front().united(thumbnailRects_.back());
    if (isPress) scrubbing_ = strip.contains(point);
    if (!scrubbing_) return;
    const int first = thumbnailRects_.front().center().x();
    const int span = thumbnailRects_.back().center().x() - first;
    if (span <= 0) return;
    SeekTo(std::clamp(point.x() - first, 0, span), span);
}

void PreviewPlayer::BuildContextMenu(bool isTop) {
    SettingsObserver::BuildContextMenu(isTop);
    if (isTop) AddMenuItem(*this, kMuteCommand, true, !soundOn_);
}

void PreviewPlayer::OnContextCommand(int commandId) {
    if (commandId != kMuteCommand) return;
    ToggleSound();
    muteButton_.Invalidate();
}

void PreviewPlayer::ShowEnlarged(QPoint globalCursor) {
    if (enlarged_ || !videoWindow_ || !listWindow_) return;
    enlarged_ = std::make_unique<EnlargedView>(listWindow_, *this);
    enlarged_->setGeometry(globalCursor.x() - kInset, globalCursor.y() - kInset, sizes_.displayWidth,
                           sizes_.displayHeight);
    videoWindow_->put_Visible(OAFALSE);
    videoWindow_->put_Owner(OaHwndFromWidget(enlarged_.get()));
    videoWindow_->put_MessageDrain(OaHwndFromWidget(enlarged_.get()));
    PlaceVideoWindow(QRect(0, 0, sizes_.displayWidth, sizes_.displayHeight), true);
    enlarged_->show();
    enlarged_->grabMouse();
}

void PreviewPlayer::CloseEnlarged() {
    if (!enlarged_) return;
    enlarged_->releaseMouse();
    if (videoWindow_) {
        videoWindow_->put_Visible(OAFALSE);
        videoWindow_->put_Owner(OaHwndFromWidget(listWindow_));
        videoWindow_->put_MessageDrain(OaHwndFromWidget(listWindow_));
        PlaceVideoWindow(videoRect_, true);
    }
    // Closing from the popup's own release handler: delete it once the event is done.
    enlarged_.release()->deleteLater();
}
