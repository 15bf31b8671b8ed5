// MainWindow: its buttons, layout, bands, painting, mouse, tips and menu.
#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QPainter>

#include "korvanta/core/context_menu.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/band_texts.h"
#include "korvanta/mainwindow/main_window.h"
#include "korvanta/mainwindow/preview_list.h"
#include "korvanta/preview/background_gradient.h"
#include "korvanta/skin/context_menu_popup.h"
#include "korvanta/skin/progress_window.h"

namespace {

constexpr int kButton = 32;
constexpr int kSpacing = 2;
constexpr int kGradientSteps = 80;

// The general group, top to bottom.
constexpr int kSettingsButton = 0, kAboutButton = 1, kHelpButton = 2;
// The sound group.
constexpr int kMuteButton = 0, kStopButton = 1;

ComponentRect ToComponent(const QRect& r) { return {r.left(), r.top(), r.right() + 1, r.bottom() + 1}; }

}  // namespace

void MainWindow::CreateButtons() {
    buttonImage_.LoadSkinImage(kButtonImage);
    const auto setUp = [this](SkinButtonBar& bar) {
        bar.SetOwner(&owner_);
        bar.SetImage(&buttonImage_);
        bar.SetFrame(false);
        mouse_.AddBar(bar);
    };
    captureGroup_.Create(1, BarOrientation::Vertical, kButton, kButton, kSpacing, kAlignTop);
    setUp(captureGroup_);
    captureGroup_.SetCells(0, 0, 1, 2, 3);
    captureGroup_.SetName(0, "DVCapture");

    soundGroup_.Create(2, BarOrientation::Vertical, kButton, kButton, kSpacing, kAlignTop);
    setUp(soundGroup_);
    soundGroup_.SetCells(kStopButton, 20, 21, 22, 23);
    soundGroup_.SetName(kMuteButton, "MuteAll");
    soundGroup_.SetName(kStopButton, "StopAll");
    ShowMuteCells();

    generalGroup_.Create(3, BarOrientation::Vertical, kButton, kButton, kSpacing, kAlignBottom);
    setUp(generalGroup_);
    generalGroup_.SetCells(kSettingsButton, 8, 9, 10, 11);
    generalGroup_.SetCells(kAboutButton, 24, 25, 26, 27);
    generalGroup_.SetCells(kHelpButton, 4, 5, 6, 7);
    generalGroup_.SetName(kSettingsButton, "Settings");
    generalGroup_.SetName(kAboutButton, "About");
    generalGroup_.SetName(kHelpButton, "Help");

    folderGroup_.Create(1, BarOrientation::Horizontal, kButton, kButton, 0, kAlignLeft);
    setUp(folderGroup_);
    folderGroup_.SetImage(nullptr);
    folderGroup_.SetFrame(true);
    folderGroup_.SetTextAlign(kAlignLeft, kAlignCentre);
    folderGroup_.SetName(0, "PreviewFolder");
    folderGroup_.SetCaption(0, GetSetting(SettingId::PreviewFolder).text, false);
}

void MainWindow::ShowMuteCells() {
    const int first = GetSetting(SettingId::MuteAll).number ? 16 : 12;
    soundGroup_.SetCells(kMuteButton, first, first + 1, first + 2, first + 3);
    soundGroup_.InvalidateAll();
}

QRect MainWindow::ListRect() const { return rect().adjusted(36, 2, -2, -36); }

QRect MainWindow::TotalDurationBand() const {
    const int w = width(), h = height();
    return QRect(QPoint((w - 72) / 2 + 36, h - 34), QPoint((w - 72) * 3 / 4 + 36 - 1, h - 17 - 1));
}

QRect MainWindow::SelectedDurationBand() const {
    const QRect total = TotalDurationBand();
    return QRect(QPoint(total.left(), height() - 17), QPoint(total.right(), height() - 2 - 1));
}

QRect MainWindow::FreeSpaceBand() const {
    const int w = width(), h = height();
    return QRect(QPoint((3 * w - 216) / 4 + 36, h - 34), QPoint(w - 36 - 1, h - 2 - 1));
}

void MainWindow::LayOut() {
    const int w = width(), h = height();
    captureGroup_.SetOrigin({1, 2});
    soundGroup_.SetOrigin({1, 42});
    generalGroup_.SetOrigin({1, h - 34});
    folderGroup_.SetButtonWidth((w - 72) / 2 - 6);
    folderGroup_.SetOrigin({38, h - 34});
    if (list_) list_->setGeometry(ListRect());
    if (progress_ && progress_->isVisible()) progress_->ShowCentred();
    update();
}

void MainWindow::resizeEvent(QResizeEvent*) { LayOut(); }

std::string MainWindow::FreeSpaceBandText() const {
    return FreeSpaceText(DiskSpaceOf(GetSetting(SettingId::PreviewFolder).text));
}

std::string MainWindow::TotalDurationText() const {
    return DurationBandText(LabelText("TotDuration"), list_->TotalMilliseconds(), list_->AverageFrameDuration());
}

std::string MainWindow::SelectedDurationText() const {
    const int average = list_->AverageFrameDuration();
    const std::int64_t frames = GetSetting(SettingId::SelectedDuration).number;
    return DurationBandText(LabelText("SelDuration"), frames * average, average);
}

void MainWindow::RedrawBand(const QRect& band) { update(band); }

void MainWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DrawBackgroundGradient(painter, rect(), kGradientSteps);
    captureGroup_.Draw(painter);
    soundGroup_.Draw(painter);
    generalGroup_.Draw(painter);
    folderGroup_.Draw(painter);
    painter.setFont(font());
    painter.setPen(Qt::black);
    freeSpaceText_ = FreeSpaceBandText();
    const auto draw = [&](const QRect& band, const std::string& text) {
        painter.drawText(band, Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(text));
    };
    draw(FreeSpaceBand(), freeSpaceText_);
    draw(TotalDurationBand(), TotalDurationText());
    draw(SelectedDurationBand(), SelectedDurationText());
}

void MainWindow::mousePressEvent(QMouseEvent* e) {
    RelayToolTipEvent({MouseMessage::LButtonDown, {int(e->globalPosition().x()), int(e->globalPosition().y())}});
    if (e->button() == Qt::LeftButton) mouse_.Press(e->position().toPoint());
}

void MainWindow::mouseMoveEvent(QMouseEvent* e) {
    RelayToolTipEvent({MouseMessage::MouseMove, {int(e->globalPosition().x()), int(e->globalPosition().y())}});
    mouse_.Move(e->position().toPoint(), e->buttons() & Qt::LeftButton);
}

void MainWindow::mouseReleaseEvent(QMouseEvent* e) {
    RelayToolTipEvent({MouseMessage::LButtonUp, {int(e->globalPosition().x()), int(e->globalPosition().y())}});
    if (e->button() != Qt::LeftButton) return;
    if (const auto pressed = mouse_.Release(e->position().toPoint())) RunButton(pressed->bar, pressed->index);
}

void MainWindow::leaveEvent(QEvent*) {
    RelayToolTipEvent({MouseMessage::MouseLeave, {}});
    mouse_.Leave();
}

void MainWindow::RunButton(const SkinButtonBar* bar, int index) {
    if (bar == &captureGroup_) return ShowCapture();
    if (bar == &soundGroup_) return index == kMuteButton ? ToggleMuteAll() : StopAll();
    if (bar == &folderGroup_) return ChoosePreviewFolder();
    if (bar != &generalGroup_) return;
    if (index == kSettingsButton) ShowSettings();
    if (index == kAboutButton) ShowAboutBox();
    if (index == kHelpButton) ShowHelp();
}

ToolTipTool MainWindow::GetToolAt(ComponentPoint screenPoint) {
    const QPoint point = mapFromGlobal(QPoint(screenPoint.x, screenPoint.y));
    for (const SkinButtonBar* bar : {&captureGroup_, &soundGroup_, &generalGroup_, &folderGroup_}) {
        const SkinTool tool = bar->ToolAt(point);
        if (!tool.name.empty())
            return {this, {tool.rect.left, tool.rect.top, tool.rect.right, tool.rect.bottom}, TooltipText(tool.name)};
    }
    const std::pair<QRect, const char*> bands[] = {
        {TotalDurationBand(), "TotDuration"}, {SelectedDurationBand(), "SelDuration"}, {FreeSpaceBand(), "FreeSpace"}};
    for (const auto& [band, key] : bands)
        if (band.contains(point)) return {this, ToComponent(band), TooltipText(key)};
    return {};
}

void MainWindow::BuildContextMenu(bool isTop) {
    if (isTop) {
        AddMenuItem(*this, kSettingsCommand, true, false);
        AddMenuItem(*this, kHelpCommand, true, false);
        AddSeparator(false);
    }
    AddMenuItem(*this, kCaptureCommand, true, false);
    AddMenuItem(*this, kMuteAllCommand, true, GetSetting(SettingId::MuteAll).number != 0);
    AddMenuItem(*this, kStopAllCommand, true, false);
    AddMenuItem(*this, kSelectFolderCommand, true, false);
    if (isTop) {
        AddSeparator(false);
        AddMenuItem(*this, kAboutCommand, true, false);
    }
}

void MainWindow::contextMenuEvent(QContextMenuEvent* e) { ShowContextMenu(*this, e->globalPos()); }
