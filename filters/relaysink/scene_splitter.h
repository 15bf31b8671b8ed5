#pragma once
// SceneSplitter: the frame server's per-frame decisions. For every DV frame
// it reads the recording date and time and, by the capture mode and scene
// threshold the program set, starts, continues, splits or stops recording;
// it starts a new file where the picture changes between 4:3 and 16:9 or
// the sound's format changes, names each new file after its first frame,
// repairs unusable time codes and queues the frames with the file
// boundaries for the file-writing side.
//
// Item order in the queue: at a start, end of file, new file, frame, ...; at
// a split, end of file, new file and the frame that caused the split; at a
// stop, end of file (the frame that caused a scene stop is not queued).
//
// Threads and locks: OnSample and EndOfStreaming run on the streaming
// thread with the pin's receive lock held; the setters and getters run on
// the program's threads with the filter lock held. Each of them takes the
// state lock for its whole work, so a stop from the program falls between
// two frames. The queue's lock and the event lock are taken inside it.
#include <cstdint>
#include <memory>
#include <mutex>

#include "dvshared/dv_frame_info.h"
#include "dvshared/dv_frame_reader.h"
#include "dvshared/frame_queue.h"
#include "filters/relaysink/irelaysink.h"
#include "filters/relaysink/relay_event_list.h"

class SceneSplitter {
public:
    // The threshold a new frame server starts with, in seconds.
    static constexpr std::int32_t kDefaultThreshold = 1;

    SceneSplitter() = default;
    SceneSplitter(const SceneSplitter&) = delete;
    SceneSplitter& operator=(const SceneSplitter&) = delete;

    void SetFolder(const bstr_t& folder);
    void SetFilePrefix(const bstr_t& prefix);
    void SetSceneThreshold(std::int32_t seconds);
    // StopNow while recording stops before returning.
    void SetCaptureMode(std::int32_t mode);

    bool Recording() const;
    bool FileWide() const;
    bstr_t FileName() const;
    bstr_t Folder() const;
    std::int64_t FrameCount() const;

    FrameQueue& Queue() { return queue_; }
    RelayEventList& Events() { return events_; }

    // One sample of length bytes. A sample that does not hold the whole frame
    // its header announces is skipped and changes nothing: none of its packs
    // can be trusted and it cannot be written as a frame. The sample's bytes
    // are never changed.
    void OnSample(std::uint8_t* data, std::uint32_t length, bool discontinuity);
    // End of stream or pin deactivation: recording stops, and the next frame
    // is compared with nothing from before.
    void EndOfStreaming();

private:
    // All of these run with stateLock_ held.
    void DecideWhileRecording();
    void DecideWhileIdle();
    // A natural jump: the recording time moved by more than one second or backwards.
    bool IsJump() const;
    // A jump larger than the threshold (or backwards); never with a threshold below 1.
    bool IsDefinedJump() const;
    bool RepeatsTimeCode() const;
    void Start();
    void NewFile();
    void Stop();
    void QueueFrame(bool discontinuity);

    mutable std::mutex stateLock_;
    // Everything below is guarded by stateLock_.
    DvFrameReader reader_;           // attached to the sample being processed
    DvFrameReader repaired_;         // private copy of a frame whose time code is rewritten
    DvFrameInfo current_{};          // the frame being processed
    DvFrameInfo previous_{};         // the frame before it
    bool firstFrame_ = true;         // the next frame has no valid predecessor
    bstr_t folder_;                  // folder for new files
    bstr_t prefix_;                  // file-name prefix
    bstr_t fileName_;                // name of the current (or last) file
    bstr_t fileFolder_;              // folder of the current file, taken when its first frame is queued
    // No command until the program's first SetCaptureMode (none of the CaptureMode values).
    std::int32_t mode_ = 0;
    std::int32_t threshold_ = kDefaultThreshold;
    bool recording_ = false;         // frames are being relayed into a file
    bool fileWide_ = false;          // 16:9 flag of the current file
    std::int32_t fileSound_ = -1;    // sound format of the current file (SoundFormat), -1 not yet known
    bool jumpSeen_ = false;          // a jump was seen and no frame has been queued since
    bool newFilePending_ = false;    // the next queued frame opens a new file
    bool sameTimeCode_ = false;      // the current frame repeats the previous time code
    std::uint64_t frameCount_ = 0;   // frames queued into the current file

    FrameQueue queue_;               // its own lock, taken inside stateLock_
    RelayEventList events_;          // its own lock, taken inside stateLock_
};
