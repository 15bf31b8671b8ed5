#pragma once
// MainWindow: the program's top-level window. It holds the preview list over
// the preview folder, a column of drawn buttons on the left (capture, mute
// all, stop all, settings, About, Help), the preview-folder button and the
// bands of total duration, selected duration and free disk space at the
// bottom. It owns the capture window (made hidden at start-up), the 340 ms
// timer that ticks the rows and the capture window, and the watch for
// capture devices coming and going; it receives the finished capture files
// (WM_APP + 4) and keeps at most MaxPlayback rows playing.
#include <QDialog>
#include <QRect>

#include <memory>
#include <string>

#include "korvanta/capture/capture_window_link.h"
#include "korvanta/core/settings_observer.h"
#include "platform/com/wintypes.h"
#include "korvanta/skin/skin_button_bar.h"
#include "korvanta/skin/skin_image.h"
#include "korvanta/skin/skin_mouse_protocol.h"
#include "korvanta/skin/skin_owner.h"
#include "platform/devices/device_change.h"

class PreviewList;
class ProgressWindow;

// The main window's commands, from its buttons and its menu.
inline constexpr int kSettingsCommand = 1004;
inline constexpr int kAboutCommand = 1005;
inline constexpr int kHelpCommand = 1006;
inline constexpr int kCaptureCommand = 1007;
inline constexpr int kMuteAllCommand = 1008;
inline constexpr int kStopAllCommand = 1009;
inline constexpr int kSelectFolderCommand = 1010;

class MainWindow final : public QDialog, public SettingsObserver {
public:
    static constexpr int kDialogId = 102;
    static constexpr int kMenuKind = 1;
    static constexpr int kTimerPeriodMs = 340;
    static constexpr int kMinimumSize = 400;
    static constexpr int kButtonImage = 185;

    // An empty factory leaves the program without a capture window: the
    // capture command then says "UnableToStart".
    explicit MainWindow(CaptureWindowFactory factory, QWidget* parent = nullptr);
    ~MainWindow() override;

    PreviewList& List() { return *list_; }
    CaptureWindowLink* CaptureWindow() { return capture_.get(); }
    ProgressWindow& Progress() { return *progress_; }

    // The commands.
    void ShowCapture();
    void ToggleMuteAll();
    void StopAll();
    void ChoosePreviewFolder();
    // The folder chosen in the browser, or a path the caller supplies: stored
    // with notification when it lies on a fixed disk, else "FixedDisk".
    bool SetPreviewFolder(const std::string& folder);
    void ShowSettings();
    void ShowAboutBox();
    void ShowHelp();

    // The bands' texts and places.
    std::string FreeSpaceBandText() const;
    std::string TotalDurationText() const;
    std::string SelectedDurationText() const;
    QRect ListRect() const;
    QRect TotalDurationBand() const;
    QRect SelectedDurationBand() const;
    QRect FreeSpaceBand() const;
    const SkinButtonBar& CaptureGroup() const { return captureGroup_; }
    const SkinButtonBar& SoundGroup() const { return soundGroup_; }
    const SkinButtonBar& GeneralGroup() const { return generalGroup_; }
    const SkinButtonBar& FolderGroup() const { return folderGroup_; }

    void OnSettingChanged(SettingId id) override;
    ToolTipTool GetToolAt(ComponentPoint screenPoint) override;
    void BuildContextMenu(bool isTop) override;
    void OnContextCommand(int commandId) override;
    // The 340 ms tick: the rows, the capture window and, while it captures, the free space.
    void Tick() override;

protected:
    bool event(QEvent* e) override;
    void timerEvent(QTimerEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    void CreateButtons();
    void LayOut();
    void ShowMuteCells();
    void RunButton(const SkinButtonBar* bar, int index);
    void AddFinishedFile(LPARAM record);
    void ShowProgress(int percent);
    void RedrawBand(const QRect& band);
    void CentreCaptureWindow();

    WidgetSkinOwner owner_{*this};
    SkinImage buttonImage_;
    SkinButtonBar captureGroup_;
    SkinButtonBar soundGroup_;
    SkinButtonBar generalGroup_;
    SkinButtonBar folderGroup_;
    SkinMouseProtocol mouse_;
    std::unique_ptr<ProgressWindow> progress_;
    std::unique_ptr<PreviewList> list_;
    std::unique_ptr<CaptureWindowLink> capture_;
    DeviceChangeSubscription devices_;
    std::string freeSpaceText_;
    int timer_ = 0;
    bool closing_ = false;
};
