#pragma once
// VideoWindow: what the video renderer's IVideoWindow settings and frames
// ask of its widget, kept under a lock so any thread may set them, and
// carried over to the widget on the user-interface thread only: directly
// when the caller is on that thread, otherwise by a queued invocation.
// Frames arriving faster than the interface thread shows them replace one
// another; only the latest is shown.
//
// Without a QApplication there is no widget; the settings are still kept.
#include <QImage>
#include <QPointer>
#include <QRect>

#include <functional>
#include <memory>
#include <mutex>

#include "platform/com/wintypes.h"

class VideoWidget;

class VideoWindow : public std::enable_shared_from_this<VideoWindow> {
public:
    struct Settings {
        OAHWND owner = 0;
        OAHWND drain = 0;
        LONG style = 0;
        bool autoShow = true;  // shown when streaming starts
        bool visible = false;
        QRect position{0, 0, 320, 240};  // in the owner's client area
    };

    static std::shared_ptr<VideoWindow> Create();

    Settings Current() const;
    // Any thread: changes the settings and brings the widget up to date.
    void Change(const std::function<void(Settings&)>& change);
    // Any thread (the streaming thread): the frame to show next.
    void ShowFrame(QImage frame);
    // Streaming starts: an auto-shown window becomes visible.
    void StreamingStarted();
    // The renderer is going away: the widget is deleted on the interface thread.
    void Close();

private:
    VideoWindow() = default;
    // Interface thread: the widget, made on first use (null without a QApplication or once closed).
    VideoWidget* Widget();
    // Runs Sync on the interface thread.
    void Schedule();
    // Interface thread: applies settings and the pending frame to the widget.
    void Sync();

    mutable std::mutex lock_;
    Settings settings_;          // guarded by lock_
    QImage pendingFrame_;        // guarded by lock_; null when none waits
    bool frameScheduled_ = false;  // guarded by lock_: a Sync for the frame is queued
    bool closed_ = false;        // guarded by lock_
    QPointer<VideoWidget> widget_;  // interface thread only; Qt clears it if the owner deletes the widget
    // Interface thread only: the owner handle last looked up and its widget, so
    // a frame does not search the application's widgets again.
    OAHWND ownerHandle_ = 0;
    QPointer<QWidget> owner_;
};
