#pragma once
// The settings dialog's Capture page: the layout of captured files and the
// size of the camcorder picture while recording.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>

#include "korvanta/skin/settings_page.h"

class CapturePage final : public SettingsPage {
public:
    static constexpr int kDialogId = 205;
    enum Item { kFileType = 0, kResolution = 1, kGroup = 2, kPage = 3, kItemCount = 4 };

    explicit CapturePage(SettingsDialog& dialog);
    void Apply() override;

    QComboBox& FileType() { return fileType_; }
    QComboBox& Resolution() { return resolution_; }

private:
    QGroupBox group_{this};
    QLabel fileTypeLabel_{this};
    QComboBox fileType_{this};
    QLabel resolutionLabel_{this};
    QComboBox resolution_{this};
};
