#pragma once
// PreviewList: the scrolling child window of the main window that stacks one
// player row per DV file of the preview folder. It loads the folder, adds
// the files the capture window finishes, keeps at most MaxPlayback rows
// playing, deletes files, selects rows with Shift and Ctrl, scrolls with its
// bar and the wheel, routes the mouse to the rows and shows the empty
// picture when it has no rows. Everything runs on the user-interface thread.
#include <QImage>
#include <QScrollBar>
#include <QWidget>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "korvanta/core/settings_observer.h"
#include "korvanta/preview/player_row.h"

struct FinishedFileRecord;

// Redraw requests to the main window (WM_APP + 6): free space 1, durations 2.
inline constexpr unsigned kRedrawBandsMessage = 0x8006;
inline constexpr unsigned kRedrawFreeSpace = 1;
inline constexpr unsigned kRedrawDurations = 2;

class PreviewList final : public QWidget, public SettingsObserver {
public:
    static constexpr int kControlId = 1000;
    static constexpr int kMenuKind = 3;
    static constexpr int kEmptyPictureId = 208;

    // progress receives 0 to 100 while a folder loads, and -1 when loading ends.
    explicit PreviewList(QWidget* mainWindow, std::function<void(int)> progress = {});
    ~PreviewList() override;

    // Replaces the rows with the folder's DV files, in name order; names the
    // files that are not DV in one "NotDVFiles" message. SelectedDuration
    // starts again at 0.
    void LoadFolder(const std::filesystem::path& folder);
    // A finished capture: a row under the others, with the record's
    // thumbnails when it carries them. False when the file cannot be played.
    bool AddFile(const FinishedFileRecord& record);
    // Removes the row and deletes its file.
    void DeleteRow(int index);
    // The playback limit after row index started playing.
    void RowStarted(int index);
    // Pauses every row at its current frame.
    void StopAll();

    const std::filesystem::path& Folder() const { return folder_; }
    int RowCount() const { return static_cast<int>(rows_.size()); }
    PlayerRow& Row(int index) { return *rows_[std::size_t(index)].row; }
    // The top of the row in list coordinates (after scrolling).
    int RowTop(int index) const { return rows_[std::size_t(index)].top; }
    int ContentHeight() const { return contentHeight_; }
    int ScrollPosition() const { return scroll_; }
    void ScrollTo(int position);
    QScrollBar& ScrollBar() { return bar_; }
    // The width the rows take: the client less the scroll bar.
    int RowWidth() const;
    // Sum of last frame x frame duration over the rows (ms), and the
    // integer average frame duration (1 without rows).
    std::int64_t TotalMilliseconds() const;
    int AverageFrameDuration() const;

    // The rows' 340 ms tick.
    void Tick() override;
    void BuildContextMenu(bool isTop) override;
    // The tip of the row under the point.
    ToolTipTool GetToolAt(ComponentPoint screenPoint) override;

protected:
    bool event(QEvent* e) override;
    void paintEvent(QPaintEvent* e) override;
    void resizeEvent(QResizeEvent* e) override;
    void mousePressEvent(QMouseEvent* e) override;
    void mouseMoveEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void wheelEvent(QWheelEvent* e) override;
    void contextMenuEvent(QContextMenuEvent* e) override;

private:
    struct Slot {
        std::unique_ptr<PlayerRow> row;
        int top = 0;
        int height = 0;
    };
    void ClearRows();
    bool OpenRow(const std::filesystem::path& folder, const std::string& name,
                 std::optional<PreviewPlayer::Thumbnails> thumbnails);
    void LayoutRows();
    void UpdateScrollBar();
    void OnScrollBar(int value);
    // The row boundary after (down) or before the scroll position.
    int NextBoundary(bool down) const;
    int RowAt(int y) const;
    void Select(int index, Qt::KeyboardModifiers modifiers);
    void PaintEmpty(QPainter& painter);
    void PostToMainWindow(unsigned what);

    QWidget* mainWindow_;
    std::function<void(int)> progress_;
    std::filesystem::path folder_;
    std::vector<Slot> rows_;
    int contentHeight_ = -1;
    int scroll_ = 0;
    int anchor_ = -1;
    int pressed_ = -1;
    int hovered_ = -1;
    QImage empty_;
    QScrollBar bar_{Qt::Vertical, this};
};
