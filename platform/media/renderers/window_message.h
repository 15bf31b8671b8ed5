#pragma once
// Window messages on this platform. A message the program posts to a window
// (PostMessage, and the graphs' "an event waits" message named with
// IMediaEventEx::SetNotifyWindow) arrives at the window's widget as a
// WindowMessageEvent whose QEvent type is the message number itself, so a
// window tells WM_APP + 3 from WM_APP + 2 as it would on Windows:
//
//     bool CaptureWindow::event(QEvent* e) {
//         if (e->type() == WindowMessageEvent::TypeOf(WM_APP + 3)) { ... }
//
// Loading the window layer (this library) installs the graphs' poster, so
// every graph's events reach their window on the user-interface thread.
#include <QEvent>

#include "platform/com/wintypes.h"

inline constexpr UINT WM_APP = 0x8000;

class WindowMessageEvent final : public QEvent {
public:
    WindowMessageEvent(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(TypeOf(message)), message_(message), wParam_(wParam), lParam_(lParam) {}

    // The event type of a message number (Qt's user range holds every WM_APP message).
    static QEvent::Type TypeOf(UINT message) { return static_cast<QEvent::Type>(message); }

    UINT Message() const { return message_; }
    WPARAM WParam() const { return wParam_; }
    LPARAM LParam() const { return lParam_; }

private:
    UINT message_;
    WPARAM wParam_;
    LPARAM lParam_;
};

// PostMessage: queues the message for the window and returns at once; any
// thread may call it. The window receives it on the user-interface thread;
// a window that is gone by then receives nothing. False when there is no
// application to deliver it or the number lies outside the custom-event
// range (WM_USER and WM_APP messages are inside it).
bool PostWindowMessage(OAHWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Makes the graphs post their event messages with PostWindowMessage.
void InstallGraphNotifyPoster();
