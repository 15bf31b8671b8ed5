#include "korvanta/capturewindow/capture_dialog_factory.h"

#include "korvanta/capturewindow/capture_dialog.h"

std::unique_ptr<CaptureWindowLink> MakeCaptureDialog(QWidget* mainWindow) {
    return std::make_unique<CaptureDialog>(mainWindow);
}
