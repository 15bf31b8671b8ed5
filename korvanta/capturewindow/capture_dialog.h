#pragma once
// CaptureDialog: the modeless window in which the user captures from the
// camcorder. It shows the live picture with the tape position and recording
// date, drives the tape, offers the six start and stop commands and the scene
// threshold, names the output, and follows the running capture with five
// thumbnails of the file being written. The capture itself is CaptureSession
// over the window's CaptureEngine; the window shows what they report and
// turns the user's clicks into their commands. The main window creates it
// hidden, ticks it, forwards device changes and shows it for capture.
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "korvanta/capture/capture_session.h"
#include "korvanta/capture/capture_window_link.h"
#include "korvanta/capturewindow/capture_area_layout.h"
#include "korvanta/core/settings_observer.h"
#include "korvanta/skin/level_meter.h"
#include "korvanta/skin/masked_edit.h"
#include "korvanta/skin/skin_image.h"
#include "korvanta/skin/skin_mouse_protocol.h"
#include "korvanta/skin/skin_owner.h"
#include "korvanta/skin/transport_bar.h"

// The window's template number; its tooltip control is registered under it.
inline constexpr int kCaptureDialogId = 169;
// The width of each of the six start and stop buttons (image and caption).
inline constexpr int kCaptureButtonWidth = 230;

// Context-menu commands and buttons of the window.
inline constexpr int kTransportMenu = 1018;
inline constexpr int kFirstTransportCommand = 1019;  // 1019-1027
inline constexpr int kThresholdMenu = 1029;
inline constexpr int kFirstThresholdCommand = 1030;  // 1030-1045
inline constexpr int kCaptureMenu = 1046;
inline constexpr int kFirstCaptureCommand = 1047;  // 1047-1052: start now ... stop on defined scene
inline constexpr int kChooseFolderCommand = 1053;

class CaptureDialog final : public QDialog,
                            public SettingsObserver,
                            public CaptureView,
                            public CaptureSessionHost,
                            public CaptureWindowLink {
public:
    // Opens at once (hidden): devices, settings, graphs, controls, preview.
    explicit CaptureDialog(QWidget* mainWindow);
    ~CaptureDialog() override;

    // CaptureWindowLink
    QWidget* Widget() override { return this; }
    void Tick() override;
    void DevicesChanged() override;
    void ShowForCapture() override;
    bool IsCapturing() const override;

    // The one dispatcher of the buttons and the context menu (1019-1053).
    void RunCommand(int commandId);
    void BuildContextMenu(bool isTop) override;
    void OnContextCommand(int commandId) override;
    void OnSettingChanged(SettingId id) override;
    ToolTipTool GetToolAt(ComponentPoint screenPoint) override;

    // CaptureView
    void SetUpSoundControls(HWND window, ILevelProbe* meter) override;
    void ShowSoundOn(bool soundOn) override;
    void ThumbnailChanged(int position) override;
    // CaptureSessionHost
    void PostFinishedFile(std::unique_ptr<FinishedFileRecord> record) override;
    void ButtonsChanged(const CaptureButtons& buttons) override;
    void TransportChanged(LONG mode) override;
    void CurrentFileChanged(const std::string& fileName) override;
    void WriteFailed(const std::string& fileName) override;
    void GraphRunFailed() override;

    // What the window shows, for tests and screenshots.
    bool IsOpened() const { return opened_; }
    CaptureEngine* Engine() { return engine_.get(); }
    const CaptureButtons& Buttons() const;
    const TransportBar& Transport() const { return transport_; }
    const SkinButtonBar& StartStopButtons() const { return startStop_; }
    QComboBox& DeviceList() { return deviceList_; }
    QComboBox& ThresholdList() { return thresholdList_; }
    MaskedEdit& CustomEdit() { return customEdit_; }
    QLineEdit& BaseName() { return baseNameEdit_; }
    const std::string& ShownFileName() const { return shownFileName_; }
    const std::string& DurationText() const { return durationText_; }
    const std::string& TapePosition() const { return tapePosition_; }
    const std::string& TapeDate() const { return tapeDate_; }
    long DroppedCount() const { return droppedCount_; }
    const CaptureAreaLayout& Area() const { return area_; }
    // Where the named part is drawn: "CaptureWindow", "AudioMeter", a thumbnail key ...
    QRect PartRect(const std::string& tipKey) const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void reject() override;

private:
    // capture_dialog.cpp
    void Open();
    void CreateControls();
    void RefreshStatusTexts();
    void CheckFolder();
    // capture_dialog_devices.cpp
    void FillDeviceList();
    void DeviceSelected(int index);
    void StoreUsedDevice(bool notify);
    // capture_dialog_commands.cpp
    void RunTransport(LONG mode);
    void ShowTransportLook(LONG mode);
    void ThresholdSelected(int index);
    void ApplyThreshold();
    void CustomTextEdited();
    void BaseNameEdited();
    void ChooseCaptureFolder();
    // capture_dialog_view.cpp
    void LayOut();
    void DrawTexts(QPainter& painter) const;
    std::string TipKeyAt(QPoint point, QRect& area) const;

    QWidget* mainWindow_;
    WidgetSkinOwner owner_{*this};
    std::unique_ptr<CaptureEngine> engine_;
    std::unique_ptr<CaptureSession> session_;
    bool graphsMade_ = false;

    // The template's controls and the folder field.
    QComboBox deviceList_{this};
    QComboBox thresholdList_{this};
    MaskedEdit customEdit_{this};
    QLineEdit baseNameEdit_{this};
    QLineEdit folderField_{this};
    QPushButton folderButton_{this};

    // The drawn controls.
    SkinImage buttonImage_;     // 178: the six start and stop buttons
    SkinImage indicatorImage_;  // 176: the capture indicator
    SkinImage muteImage_;       // 180: the mute toggle
    TransportBar transport_{&owner_, true};
    SkinButtonBar startStop_;
    SkinButton muteButton_;
    LevelMeter meter_;
    SkinMouseProtocol mouse_;
    bool mutePressed_ = false;
    ILevelProbe* levelProbe_ = nullptr;  // the engine's meter filter

    // Window state.
    std::vector<DeviceEntry> devices_;
    std::optional<DeviceId> wantedId_;
    std::string wantedName_;
    int thresholdIndex_ = 0;
    std::string customText_;
    bool opened_ = false;
    bool folderExists_ = false;
    std::string shownFileName_;
    std::int64_t lastFrameCount_ = -1;
    long droppedCount_ = 0;
    bool writingShown_ = false;
    std::string tapePosition_;
    std::string tapeDate_;
    std::string durationText_;
    bool showingFolderChoice_ = false;

    // Layout.
    CaptureAreaLayout area_;
    QRect positionRect_, dateRect_, indicatorRect_, fileNameRect_, durationRect_, droppedRect_;
    QRect deviceLabelRect_, thresholdLabelRect_, baseNameLabelRect_, aviRect_;
};
