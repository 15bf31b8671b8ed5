#include "korvanta/skin/preview_page.h"

#include <algorithm>

#include "korvanta/core/settings.h"
#include "korvanta/skin/browse_for_folder.h"
#include "korvanta/skin/tooltip_control.h"

namespace {

constexpr int kQualityStep = 5;  // the slider moves in steps of 5 %
constexpr int kQualityPositions = 20;

std::int64_t StoredNumber(SettingId id) { return GetSetting(id).number; }
std::string StoredText(SettingId id) { return GetSetting(id).text; }

// Stored values outside a list show its nearest entry.
int NearestIndex(std::int64_t value, int last) { return static_cast<int>(std::clamp<std::int64_t>(value, 0, last)); }

}  // namespace

PreviewPage::PreviewPage(SettingsDialog& dialog) : SettingsPage(dialog, kItemCount) {
    Layout();
    for (QComboBox* resolution : {&videoResolution_, &imageResolution_})
        resolution->addItems({"Full", "Half", "Quarter", "Eighth"});
    fileType_.addItems({"jpg", "bmp", "tif", "png", "gif"});
    quality_.setRange(0, kQualityPositions);
    quality_.setPageStep(2);
    quality_.setTickPosition(QSlider::TicksBelow);
    quality_.setTickInterval(2);
    qualityMin_.setText("0");
    qualityMax_.setText("100");
    chooseFolder_.setText("...");
    playersUp_.setArrowType(Qt::UpArrow);
    playersDown_.setArrowType(Qt::DownArrow);
    players_.setReadOnly(true);
    players_.setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    RegisterItem(kPlayers, &players_, "MaxPlay", nullptr, false);
    RegisterItem(kPlayersLabel, &playersLabel_, "MaxPlay", &playersLabel_, false);
    RegisterItem(kPlayersSpin, &playersUp_, "MaxPlay", nullptr, false);
    AddToolWindow(*this, playersDown_);
    RegisterItem(kVideoResolution, &videoResolution_, "VideoResolution", &videoResolutionLabel_, false);
    RegisterItem(kVideoGroup, &videoGroup_, "PreviewSettings", &videoGroup_, true);
    RegisterItem(kFolder, &folder_, "FrameCaptureFolder", &folderLabel_, false);
    RegisterItem(kFileType, &fileType_, "FrameCaptureFileType", &fileTypeLabel_, false);
    RegisterItem(kQuality, &quality_, "FrameCaptureQuality", &qualityLabel_, false);
    RegisterItem(kChooseFolder, &chooseFolder_, "FrameChooseFolder", nullptr, false);
    RegisterItem(kQualityValue, &qualityValue_, "FrameCaptureQuality", nullptr, false);
    RegisterItem(kQualityMin, &qualityMin_, "FrameCaptureQuality", nullptr, false);
    RegisterItem(kQualityMax, &qualityMax_, "FrameCaptureQuality", nullptr, false);
    RegisterItem(kImageResolution, &imageResolution_, "ImageResolution", &imageResolutionLabel_, false);
    RegisterItem(kImageGroup, &imageGroup_, "ImageCapture", &imageGroup_, true);
    RegisterItem(kPage, this, "PreviewSettings", nullptr, false);

    players_.setText(QString::number(NearestIndex(StoredNumber(SettingId::MaxPlayback), kMaxPlayers)));
    folder_.setText(QString::fromStdString(StoredText(SettingId::FrameCaptureFolder)));
    fileType_.setCurrentIndex(fileType_.findText(QString::fromStdString(StoredText(SettingId::FrameCaptureFileType))));
    quality_.setValue(NearestIndex(StoredNumber(SettingId::FrameCaptureQuality) / kQualityStep, kQualityPositions));
    qualityValue_.setText(QString::number(quality_.value() * kQualityStep));
    videoResolution_.setCurrentIndex(NearestIndex(StoredNumber(SettingId::VideoResolution), 3));
    imageResolution_.setCurrentIndex(NearestIndex(StoredNumber(SettingId::ImageResolution), 3));
    EnableQuality();

    // Only the user's changes count: the values above were set before these.
    connect(&playersUp_, &QToolButton::clicked, this, [this] { StepPlayers(+1); });
    connect(&playersDown_, &QToolButton::clicked, this, [this] { StepPlayers(-1); });
    connect(&folder_, &QLineEdit::textEdited, this, [this] { OnFolderChanged(); });
    connect(&chooseFolder_, &QPushButton::clicked, this, [this] {
        const BrowseResult chosen =
            BrowseForFolder(this, "Choose Still Image Save Folder", folder_.text().toStdString());
        if (chosen.result != BrowseResult::kChosen)
            return;
        folder_.setText(QString::fromStdString(chosen.path));
        OnFolderChanged();
    });
    connect(&fileType_, &QComboBox::activated, this, [this] { OnFileTypeChanged(); });
    connect(&quality_, &QSlider::valueChanged, this, [this] { OnQualityChanged(); });
    connect(&videoResolution_, &QComboBox::activated, this, [this] {
        SetChanged(kVideoResolution, videoResolution_.currentIndex() != StoredNumber(SettingId::VideoResolution));
    });
    connect(&imageResolution_, &QComboBox::activated, this, [this] {
        SetChanged(kImageResolution, imageResolution_.currentIndex() != StoredNumber(SettingId::ImageResolution));
    });
}

void PreviewPage::Layout() {
    const DialogUnits units = Units();
    videoGroup_.setGeometry(units.Rect(7, 6, 170, 70));
    playersLabel_.setGeometry(units.Rect(16, 24, 96, 10));
    players_.setGeometry(units.Rect(114, 22, 28, 14));
    playersUp_.setGeometry(QRect(players_.geometry().right() + 1, players_.y(), units.X(11), players_.height() / 2));
    playersDown_.setGeometry(QRect(playersUp_.x(), playersUp_.geometry().bottom() + 1, playersUp_.width(),
                                   players_.height() - playersUp_.height()));
    videoResolutionLabel_.setGeometry(units.Rect(16, 48, 96, 10));
    videoResolution_.setGeometry(units.Rect(114, 46, 54, 14));

    imageGroup_.setGeometry(units.Rect(184, 6, 196, 150));
    folderLabel_.setGeometry(units.Rect(193, 22, 170, 10));
    folder_.setGeometry(units.Rect(193, 34, 154, 14));
    chooseFolder_.setGeometry(units.Rect(350, 34, 22, 14));
    fileTypeLabel_.setGeometry(units.Rect(193, 60, 90, 10));
    fileType_.setGeometry(units.Rect(292, 58, 54, 14));
    qualityLabel_.setGeometry(units.Rect(193, 82, 90, 10));
    qualityValue_.setGeometry(units.Rect(292, 82, 30, 10));
    qualityMin_.setGeometry(units.Rect(193, 98, 16, 10));
    quality_.setGeometry(units.Rect(211, 95, 138, 18));
    qualityMax_.setGeometry(units.Rect(352, 98, 22, 10));
    imageResolutionLabel_.setGeometry(units.Rect(193, 126, 90, 10));
    imageResolution_.setGeometry(units.Rect(292, 124, 54, 14));
}

void PreviewPage::StepPlayers(int step) {
    const int players = std::clamp(players_.text().toInt() + step, 0, kMaxPlayers);
    players_.setText(QString::number(players));
    SetChanged(kPlayers, players != StoredNumber(SettingId::MaxPlayback));
}

void PreviewPage::OnFolderChanged() {
    SetChanged(kFolder, folder_.text().toStdString() != StoredText(SettingId::FrameCaptureFolder));
}

void PreviewPage::OnFileTypeChanged() {
    SetChanged(kFileType, fileType_.currentText().toStdString() != StoredText(SettingId::FrameCaptureFileType));
    EnableQuality();
}

void PreviewPage::OnQualityChanged() {
    const int quality = quality_.value() * kQualityStep;
    qualityValue_.setText(QString::number(quality));
    SetChanged(kFileType, quality != StoredNumber(SettingId::FrameCaptureQuality));
}

void PreviewPage::EnableQuality() {
    const bool jpeg = fileType_.currentText() == "jpg";
    for (QWidget* control : {static_cast<QWidget*>(&quality_), static_cast<QWidget*>(&qualityValue_),
                             static_cast<QWidget*>(&qualityMin_), static_cast<QWidget*>(&qualityMax_)})
        control->setEnabled(jpeg);
}

void PreviewPage::Apply() {
    if (IsChanged(kFolder))
        SetSetting(SettingId::FrameCaptureFolder, {folder_.text().toStdString(), 0}, true);
    if (IsChanged(kFileType)) {
        SetSetting(SettingId::FrameCaptureFileType, {fileType_.currentText().toStdString(), 0}, true);
        SetSetting(SettingId::FrameCaptureQuality, {{}, quality_.value() * kQualityStep}, true);
    }
    if (IsChanged(kPlayers))
        SetSetting(SettingId::MaxPlayback, {{}, players_.text().toInt()}, true);
    if (IsChanged(kVideoResolution))
        SetSetting(SettingId::VideoResolution, {{}, videoResolution_.currentIndex()}, true);
    if (IsChanged(kImageResolution))
        SetSetting(SettingId::ImageResolution, {{}, imageResolution_.currentIndex()}, true);
    ClearChanged();
}
