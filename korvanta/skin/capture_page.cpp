#include "korvanta/skin/capture_page.h"

#include <algorithm>

#include "korvanta/core/settings.h"

namespace {

// The shown text of a stored file type: 1 and 2 have one, others none.
QString FileTypeText(std::int64_t fileType) {
    if (fileType == 1)
        return "DV Type-1";
    if (fileType == 2)
        return "DV Type-2";
    return {};
}

std::int64_t Stored(SettingId id) { return GetSetting(id).number; }

}  // namespace

CapturePage::CapturePage(SettingsDialog& dialog) : SettingsPage(dialog, kItemCount) {
    const DialogUnits units = Units();
    group_.setGeometry(units.Rect(7, 6, 280, 62));
    fileTypeLabel_.setGeometry(units.Rect(16, 22, 130, 10));
    fileType_.setGeometry(units.Rect(150, 20, 100, 14));
    resolutionLabel_.setGeometry(units.Rect(16, 44, 130, 10));
    resolution_.setGeometry(units.Rect(150, 42, 100, 14));
    fileType_.addItems({"DV Type-1", "DV Type-2"});
    resolution_.addItems({"Half", "Quarter", "Eighth"});

    RegisterItem(kFileType, &fileType_, "CaptureFileType", &fileTypeLabel_, false);
    RegisterItem(kResolution, &resolution_, "CaptureResolution", &resolutionLabel_, false);
    RegisterItem(kGroup, &group_, "CaptureSettings", &group_, true);
    RegisterItem(kPage, this, "CaptureSettings", nullptr, false);

    fileType_.setCurrentIndex(fileType_.findText(FileTypeText(Stored(SettingId::FileType))));
    // A stored 0 (full size) or 1 shows Half; a value past the list its last entry.
    resolution_.setCurrentIndex(
        static_cast<int>(std::clamp<std::int64_t>(Stored(SettingId::CaptureResolution) - 1, 0, 2)));

    connect(&fileType_, &QComboBox::activated, this, [this] {
        SetChanged(kFileType, fileType_.currentText() != FileTypeText(Stored(SettingId::FileType)));
    });
    connect(&resolution_, &QComboBox::activated, this, [this] {
        SetChanged(kResolution, resolution_.currentIndex() + 1 != Stored(SettingId::CaptureResolution));
    });
}

void CapturePage::Apply() {
    if (IsChanged(kFileType))
        SetSetting(SettingId::FileType, {{}, fileType_.currentIndex() + 1}, true);
    if (IsChanged(kResolution))
        SetSetting(SettingId::CaptureResolution, {{}, resolution_.currentIndex() + 1}, true);
    ClearChanged();
}
