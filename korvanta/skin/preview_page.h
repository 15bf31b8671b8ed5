#pragma once
// The settings dialog's Preview page: how many preview players may play at
// once and at what picture size, and where, as what and how large still
// images are saved.
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QToolButton>

#include "korvanta/skin/settings_page.h"

class PreviewPage final : public SettingsPage {
public:
    static constexpr int kDialogId = 161;
    static constexpr int kMaxPlayers = 10;
    enum Item {
        kPlayers = 0, kPlayersLabel = 1, kPlayersSpin = 2, kVideoResolution = 3, kVideoGroup = 4,
        kFolder = 5, kFileType = 6, kQuality = 7, kChooseFolder = 8, kQualityValue = 9,
        kQualityMin = 10, kQualityMax = 11, kImageResolution = 12, kImageGroup = 13, kPage = 14,
        kItemCount = 15
    };

    explicit PreviewPage(SettingsDialog& dialog);
    void Apply() override;

    QLineEdit& Players() { return players_; }
    QToolButton& PlayersUp() { return playersUp_; }
    QToolButton& PlayersDown() { return playersDown_; }
    QComboBox& VideoResolution() { return videoResolution_; }
    QLineEdit& Folder() { return folder_; }
    QPushButton& ChooseFolder() { return chooseFolder_; }
    QComboBox& FileType() { return fileType_; }
    QSlider& Quality() { return quality_; }
    QLabel& QualityValue() { return qualityValue_; }
    QComboBox& ImageResolution() { return imageResolution_; }

private:
    void Layout();
    void StepPlayers(int step);
    void OnFolderChanged();
    void OnFileTypeChanged();
    void OnQualityChanged();
    // The quality controls work only for JPEG files.
    void EnableQuality();

    QGroupBox videoGroup_{this};
    QLabel playersLabel_{this};
    QLineEdit players_{this};
    QToolButton playersUp_{this};
    QToolButton playersDown_{this};
    QLabel videoResolutionLabel_{this};
    QComboBox videoResolution_{this};

    QGroupBox imageGroup_{this};
    QLabel folderLabel_{this};
    QLineEdit folder_{this};
    QPushButton chooseFolder_{this};
    QLabel fileTypeLabel_{this};
    QComboBox fileType_{this};
    QLabel qualityLabel_{this};
    QLabel qualityValue_{this};
    QLabel qualityMin_{this};
    QSlider quality_{Qt::Horizontal, this};
    QLabel qualityMax_{this};
    QLabel imageResolutionLabel_{this};
    QComboBox imageResolution_{this};
};
