// PreviewList: loading the folder, adding finished captures, the playback
// limit, deleting, stopping, selecting and the messages of the rows.
#include "korvanta/mainwindow/preview_list.h"

#include <QPainter>

#include <algorithm>
#include <system_error>

#include "korvanta/capture/finished_file_record.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "korvanta/mainwindow/folder_files.h"
#include "korvanta/mainwindow/unfinished_files.h"
#include "korvanta/skin/skin_image.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/renderers/window_message.h"
#include "korvanta/resources/resource_names.h"

PreviewList::PreviewList(QWidget* mainWindow, std::function<void(int)> progress)
    : QWidget(mainWindow), SettingsObserver(kMenuKind), mainWindow_(mainWindow), progress_(std::move(progress)) {
    setObjectName("DVVideoPreview");
    setMouseTracking(true);
    setAttribute(Qt::WA_OpaquePaintEvent);
    empty_.load(QString::fromStdString(BitmapResourcePath(kEmptyPictureId)));
    bar_.setEnabled(false);
    connect(&bar_, &QScrollBar::valueChanged, this, [this](int value) { OnScrollBar(value); });
    connect(&bar_, &QScrollBar::actionTriggered, this, [this](int action) {
        // Line up and down go to the previous and next row boundary.
        if (action == QAbstractSlider::SliderSingleStepAdd) bar_.setSliderPosition(NextBoundary(true));
        if (action == QAbstractSlider::SliderSingleStepSub) bar_.setSliderPosition(NextBoundary(false));
    });
}

PreviewList::~PreviewList() { ClearRows(); }

void PreviewList::ClearRows() {
    rows_.clear();
    contentHeight_ = -1;
    anchor_ = pressed_ = -1;
}

bool PreviewList::OpenRow(const std::filesystem::path& folder, const std::string& name,
                          std::optional<PreviewPlayer::Thumbnails> thumbnails) {
    auto row = std::make_unique<PlayerRow>();
    if (!row->Open(RowCount(), folder, name, this, std::move(thumbnails))) return false;
    const int top = contentHeight_ + 1 - scroll_;
    const int height = row->Layout(0, top, RowWidth());
    row->AttachTo(this);
    rows_.push_back({std::move(row), top, height});
    contentHeight_ += height;
    return true;
}

void PreviewList::LoadFolder(const std::filesystem::path& folder) {
    hide();
    if (progress_) progress_(0);
    ScrollTo(0);
    ClearRows();
    folder_ = folder;
    const std::vector<std::string> names = AviFileNames(folder);
    OfferRepair(folder, names);
    std::string failed;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (progress_) progress_(int(i * 100 / names.size()));
        if (!OpenRow(folder, names[i], std::nullopt)) failed += "\n" + names[i];
    }
    if (progress_) progress_(100);
    if (!failed.empty()) ShowErrorText("NotDVFiles", " :" + failed);
    SetSetting(SettingId::SelectedDuration, {{}, -GetSetting(SettingId::SelectedDuration).number}, true);
    UpdateScrollBar();
    ScrollTo(0);
    show();
    if (progress_) progress_(-1);
    update();
}

bool PreviewList::AddFile(const FinishedFileRecord& record) {
    std::optional<PreviewPlayer::Thumbnails> thumbnails;
    if (record.thumbnails) thumbnails = *record.thumbnails;
    const bool opened = OpenRow(record.folder, record.fileName, std::move(thumbnails));
    if (opened) UpdateScrollBar();
    update();
    return opened;
}

void PreviewList::DeleteRow(int index) {
    if (index < 0 || index >= RowCount()) return;
    const std::filesystem::path file = Row(index).FilePath();
    // A deleted file no longer counts in the selected total.
    Row(index).SetSelected(false, false);
    const int height = rows_[std::size_t(index)].height;
    rows_.erase(rows_.begin() + index);
    for (int i = index; i < RowCount(); ++i) {
        Row(i).SetIndex(i);
        Row(i).OffsetY(-height);
        rows_[std::size_t(i)].top -= height;
    }
    contentHeight_ = rows_.empty() ? -1 : contentHeight_ - height;
    if (anchor_ == index) anchor_ = -1;
    if (anchor_ > index) --anchor_;
    pressed_ = -1;
    UpdateScrollBar();
    ScrollTo(scroll_);
    std::error_code error;
    std::filesystem::remove(file, error);
    update();
    PostToMainWindow(kRedrawFreeSpace);
    PostToMainWindow(kRedrawDurations);
}

void PreviewList::RowStarted(int index) {
    if (index < 0 || index >= RowCount()) return;
    int highest = -1;
    int playing = 0;
    for (int i = 0; i < RowCount(); ++i) {
        if (!Row(i).IsPlaying()) continue;
        ++playing;
        if (i != index) highest = std::max(highest, Row(i).PlayOrder());
    }
    Row(index).SetPlayOrder(highest + 1);
    const int limit = std::max<int>(1, int(GetSetting(SettingId::MaxPlayback).number));
    if (playing <= limit) return;
    int oldest = -1;
    for (int i = 0; i < RowCount(); ++i)
        if (Row(i).IsPlaying() && (oldest < 0 || Row(i).PlayOrder() < Row(oldest).PlayOrder())) oldest = i;
    if (oldest >= 0) Row(oldest).Pause();
}

void PreviewList::StopAll() {
    for (int i = 0; i < RowCount(); ++i)
        if (Row(i).IsPlaying()) Row(i).Pause();
}

void PreviewList::Select(int index, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool ctrl = modifiers & Qt::ControlModifier;
    if (Row(index).IsSelected()) {
        if (shift && anchor_ >= 0)
            for (int i = std::min(anchor_, index); i <= std::max(anchor_, index); ++i) Row(i).SetSelected(true, true);
        if (!shift && !ctrl)
            for (int i = 0; i < RowCount(); ++i)
                if (i != index) Row(i).SetSelected(false, true);
        anchor_ = index;
    }
    // The rows store their change quietly; the main window redraws its bands.
    NotifySettingChanged(SettingId::SelectedDuration);
}

std::int64_t PreviewList::TotalMilliseconds() const {
    std::int64_t total = 0;
    for (const Slot& slot : rows_) total += slot.row->DurationFrames() * slot.row->FrameDuration();
    return total;
}

int PreviewList::AverageFrameDuration() const {
    if (rows_.empty()) return 1;
    std::int64_t sum = 0;
    for (const Slot& slot : rows_) sum += slot.row->FrameDuration();
    return int(sum / std::int64_t(rows_.size()));
}

void PreviewList::Tick() {
    for (int i = 0; i < RowCount(); ++i) Row(i).OnTimer();
}

void PreviewList::BuildContextMenu(bool) {
    // The main window's items come first; the rows add their own when clicked.
}

bool PreviewList::event(QEvent* e) {
    if (e->type() == WindowMessageEvent::TypeOf(kRowMessage)) {
        const auto* message = static_cast<WindowMessageEvent*>(e);
        const int index = int(message->LParam());
        if (message->WParam() == kRowStartedPlaying) RowStarted(index);
        if (message->WParam() == kRowDeleteFile) DeleteRow(index);
        return true;
    }
    if (e->type() == WindowMessageEvent::TypeOf(kPlayerGraphEventMessage)) {
        const int index = int(static_cast<WindowMessageEvent*>(e)->LParam());
        if (index >= 0 && index < RowCount()) Row(index).OnGraphEvent();
        return true;
    }
    return QWidget::event(e);
}

void PreviewList::PostToMainWindow(unsigned what) {
    PostWindowMessage(OaHwndFromWidget(mainWindow_), kRedrawBandsMessage, what, 0);
}
