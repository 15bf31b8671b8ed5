#pragma once
// HeadlessCapture: a capture without a window. It plays the capture window's
// part on the same engine and session, ticking them every 340 ms from the Qt
// event loop, reports progress on standard error and lists the files written.
#include <atomic>
#include <chrono>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "capture_options.h"
#include "korvanta/capture/capture_engine.h"
#include "korvanta/capture/capture_session.h"
#include "platform/devices/device_change.h"
#include "platform/devices/virtual_deck.h"

class HeadlessCapture final : public CaptureView, public CaptureSessionHost {
public:
    HeadlessCapture(const CaptureOptions& options, std::ostream& out, std::ostream& progress);
    ~HeadlessCapture();

    // Runs the whole capture in the Qt event loop; the process's exit code.
    int Run();
    // Asks a running capture to stop as the stop button would (SIGINT, SIGTERM).
    static void RequestStop();
    // Says why no camcorder can be used (no 1394 controller, no rights on
    // its device node); printed when no device is found.
    void SetNoDeviceHint(std::function<std::string()> hint) { noDeviceHint_ = std::move(hint); }

    // CaptureView
    void SetUpSoundControls(HWND, ILevelProbe*) override {}
    void ShowSoundOn(bool) override {}
    void ThumbnailChanged(int) override {}
    // CaptureSessionHost
    void PostFinishedFile(std::unique_ptr<FinishedFileRecord> record) override;
    void ButtonsChanged(const CaptureButtons&) override {}
    void TransportChanged(LONG mode) override;
    void CurrentFileChanged(const std::string& fileName) override;
    void WriteFailed(const std::string& fileName) override;
    void GraphRunFailed() override;

private:
    enum class Phase { Rewinding, Waiting, Recording, Done };

    int Prepare();
    void Tick();
    void BeginCapture();
    void ReportProgress(bool force);
    void Finish(int exitCode, const std::string& why);
    bool DeviceStillPresent();
    void PrintFiles();

    const CaptureOptions options_;
    std::function<std::string()> noDeviceHint_;
    std::ostream& out_;
    std::ostream& progress_;
    std::shared_ptr<VirtualDeck> waitingDeck_;  // a deck that waits for the capture; before engine_
    std::unique_ptr<CaptureEngine> engine_;
    std::unique_ptr<CaptureSession> session_;
    DeviceEntry device_;
    Phase phase_ = Phase::Waiting;
    bool stopArmed_ = false;
    bool sawPlaying_ = false;
    bool sawWinding_ = false;   // the camcorder reported rewinding since the rewind command
    int rewindTicks_ = 0;       // ticks since the rewind command
    bool deviceGone_ = false;
    bool graphFailed_ = false;  // the capture graph could not be run
    std::optional<std::chrono::steady_clock::time_point> recordingSince_;
    std::chrono::steady_clock::time_point lastProgress_{};
    std::atomic<bool> devicesChanged_{false};
    DeviceChangeSubscription deviceWatch_;
    std::vector<std::unique_ptr<FinishedFileRecord>> files_;
    int exitCode_ = 0;
    std::string failure_;
};
