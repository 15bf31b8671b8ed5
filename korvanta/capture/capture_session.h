#pragma once
// CaptureSession: the capture window's part in a capture, without the
// window: the start and stop commands with the state of the six start and
// stop buttons, the transport commands, the frame server's events and the
// finished files announced to the main window. The capture window and the
// headless capture command each own one over their engine and tick it every
// 340 ms.
#include <array>
#include <deque>
#include <memory>
#include <optional>
#include <string>

#include "korvanta/capture/capture_engine.h"
#include "korvanta/capture/finished_file_record.h"

// The six start and stop buttons, in the order start now, start on scene,
// start on defined scene, stop now, stop on scene, stop on defined scene.
struct CaptureButtons {
    std::array<bool, 6> enabled{true, true, true, false, false, false};
    int selected = -1;  // the button shown as chosen, -1 for none
    bool deviceListEnabled = true;
};

class CaptureSessionHost {
public:
    // A capture file is finished and closed; the receiver owns the record.
    virtual void PostFinishedFile(std::unique_ptr<FinishedFileRecord> record) = 0;
    virtual void ButtonsChanged(const CaptureButtons& buttons) = 0;
    // The camcorder's transport changed to mode (a button or the camcorder itself).
    virtual void TransportChanged(LONG mode) = 0;
    // A new file is being written (the shown output name changes).
    virtual void CurrentFileChanged(const std::string& fileName) = 0;
    // Writing failed (a full disk, a vanished folder); the capture has stopped.
    virtual void WriteFailed(const std::string& fileName) = 0;
    // The capture graph could not be run: the camcorder's picture cannot be
    // received, and a tape that was to play was not started.
    virtual void GraphRunFailed() = 0;

protected:
    ~CaptureSessionHost() = default;
};

class CaptureSession {
public:
    CaptureSession(CaptureEngine& engine, CaptureSessionHost& host);

    // The capture folder's check: with a missing folder every start and stop button is off.
    void SetFolderExists(bool exists);
    const CaptureButtons& Buttons() const { return buttons_; }

    // The six commands (ids 1047-1052).
    void StartNow();
    void StartOnScene();
    void StartOnDefinedScene();
    void StopNow();
    void StopOnScene();
    void StopOnDefinedScene();

    // The transport commands (ids 1019-1027), with the capture consequences.
    void Transport(LONG mode);
    // A step button held down (ED_MODE_STEP_FWD or ED_MODE_STEP_REV) steps
    // once more on every tick until it is let go (0).
    void HoldStep(LONG mode) { heldStep_ = mode; }

    // One tick: follows the camcorder's mode, handles the frame server's
    // events, then ticks the engine. deviceChosen: a camcorder is selected.
    void Tick(bool deviceChosen);
    // Handles every waiting frame server event.
    void HandleEvents();
    // Finished files whose names are not known yet (they are still being written).
    std::size_t PendingFinishedFiles() const { return pending_.size(); }

private:
    void StartNowHandler(bool alreadyStarted);
    void StopHandler(bool alreadyStopped, const RelayEvent* event);
    void QueueFinishedFile(const std::string& folder, const std::string& fileName, bool firstOfTick);
    void PostResolvedFiles();
    void SetButtons(const std::array<bool, 6>& enabled, int selected);

    CaptureEngine& engine_;
    CaptureSessionHost& host_;
    CaptureButtons buttons_;
    bool folderExists_ = true;
    LONG heldStep_ = 0;
    // A capture's start opens its first file the way every new file begins,
    // so the file-ended event that follows a start names the previous
    // capture's last file, which its stop announced already: that one event
    // is passed over. (Only that one: a mark set by every stop would also
    // pass over a file of this capture whose event had not been read yet.)
    bool reannouncesLastFile_ = false;
    std::deque<std::unique_ptr<FinishedFileRecord>> pending_;
};
