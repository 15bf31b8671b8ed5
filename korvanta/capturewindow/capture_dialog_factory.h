#pragma once
// Makes the capture window for the program's main window.
#include <memory>

#include "korvanta/capture/capture_window_link.h"

// The capture window, opened and hidden, for mainWindow (which receives its
// finished files as WM_APP + 4); null when it cannot be made.
std::unique_ptr<CaptureWindowLink> MakeCaptureDialog(QWidget* mainWindow);
