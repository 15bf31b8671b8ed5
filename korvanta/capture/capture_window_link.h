#pragma once
// CaptureWindowLink: what the main window asks of the capture window it
// creates. The main window makes it hidden at start-up through a factory,
// centres it over its own client area, ticks it from its 340 ms timer,
// forwards device arrivals and removals to it, and shows it for the capture
// command. The capture window announces every finished file to the main
// window by posting WM_APP + 4 (wParam 1) with a FinishedFileRecord* as
// lParam, made with unique_ptr::release(); the main window owns the record
// from then on.
#include <functional>
#include <memory>

class QWidget;

inline constexpr unsigned kFinishedFileMessage = 0x8004;  // WM_APP + 4

class CaptureWindowLink {
public:
    virtual ~CaptureWindowLink() = default;

    // The capture window itself (a top-level window, hidden until shown).
    virtual QWidget* Widget() = 0;
    // The periodic work, every 340 ms from the main window's timer.
    virtual void Tick() = 0;
    // A capture device was plugged in or out; the capture window decides
    // what to say and which device to use.
    virtual void DevicesChanged() = 0;
    // The capture command: shows the window (restored) when it is ready,
    // otherwise tells the user why it cannot be shown.
    virtual void ShowForCapture() = 0;
    // A file is being captured (the main window then follows the free space).
    virtual bool IsCapturing() const = 0;
};

// Makes the capture window for the given main window; null when it cannot be made.
using CaptureWindowFactory = std::function<std::unique_ptr<CaptureWindowLink>(QWidget* mainWindow)>;
