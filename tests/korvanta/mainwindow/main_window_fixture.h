#pragma once
// The main window on a folder of real DV files: the language file the
// program installs, the filter modules registered, message boxes recorded
// and answered, and a capture window that only counts what it is asked.
#include <gtest/gtest.h>

#include <QApplication>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "korvanta/core/message_box.h"
#include "korvanta/mainwindow/main_window.h"
#include "preview_files.h"
#include "support/temp_dir.h"

namespace kvtest {

class RecordingPresenter final : public MessageBoxPresenter {
public:
    std::vector<std::string> texts;
    MessageBoxResult answer = MessageBoxResult::Yes;
    MessageBoxResult Show(std::string_view text, std::string_view, MessageBoxButtons buttons) override {
        texts.emplace_back(text);
        return buttons == MessageBoxButtons::YesNo ? answer : MessageBoxResult::Ok;
    }
};

struct FakeCaptureWindow final : CaptureWindowLink {
    QWidget window;
    int ticks = 0, deviceChanges = 0, shown = 0;
    bool capturing = false;
    QWidget* Widget() override { return &window; }
    void Tick() override { ++ticks; }
    void DevicesChanged() override { ++deviceChanges; }
    void ShowForCapture() override { ++shown; }
    bool IsCapturing() const override { return capturing; }
};

class MainWindowTest : public testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Makes a file of the kind in the folder under name.
    std::filesystem::path Make(PreviewFile kind, const std::string& name);
    // The window on the folder, with the fake capture window unless told otherwise.
    MainWindow& Open(bool withCaptureWindow = true);
    // A left click (press and release) at a point of the list.
    void Click(QPoint point, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    int argc_ = 1;
    char name_[8] = "test";
    char* argv_[1] = {name_};
    QApplication application_{argc_, argv_};
    TempDir folder_;
    RecordingPresenter presenter_;
    std::unique_ptr<ScopedMessageBoxPresenter> presenting_;
    FakeCaptureWindow* capture_ = nullptr;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace kvtest
