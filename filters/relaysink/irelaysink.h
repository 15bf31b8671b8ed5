#pragma once
// IRelaySink: the frame server's custom interface, with the filter's class
// identifier, the capture commands the program gives it and the event records
// it hands back. The program holds its own copies of both identifiers; they
// must stay equal to these.
#include <cstdint>

#include "platform/com/bstr.h"
#include "platform/com/unknown.h"

class FrameQueue;

inline constexpr CLSID CLSID_RelaySink = MakeGuid("{36A5F880-FE5C-11CE-A8ED-00AA002FEAB5}");

// The program's capture command; each new one replaces the last.
enum CaptureMode : std::int32_t {
    StartNow = 1,             // start recording with the next frame
    StartOnScene = 2,         // start at the first frame where the recording date/time jumps
    StartOnDefinedScene = 3,  // start at the first jump larger than the threshold
    StopNow = 4,              // stop at once
    StopOnScene = 5,          // stop at the next jump
    StopOnDefinedScene = 6,   // stop at the next jump larger than the threshold
};

// Event codes of RelayEvent.
inline constexpr std::int32_t RELAY_EVENT_STOPPED = 0x8001;     // name and folder of the last file
inline constexpr std::int32_t RELAY_EVENT_STARTED = 0x8002;     // both empty
inline constexpr std::int32_t RELAY_EVENT_FILE_ENDED = 0x8003;  // name and folder of the file just ended

// What the frame server did, for the program. GetNextEvent hands the record
// over; the taker adopts it at once (std::unique_ptr<RelayEvent>).
struct RelayEvent {
    std::int32_t code = 0;
    bstr_t fileName;
    bstr_t folder;
};

struct IRelaySink : IUnknown {
    // Slot 3: the folder of files opened from now on.
    virtual HRESULT SetFolder(const bstr_t& folder) = 0;
    // Slot 4: file names are prefix + " " + recording date and time + ".avi".
    virtual HRESULT SetFilePrefix(const bstr_t& prefix) = 0;
    // Slot 5: scene threshold in seconds; 0 or less splits no scenes.
    virtual HRESULT SetSceneThreshold(std::int32_t seconds) = 0;
    // Slot 6: a CaptureMode. StopNow while recording ends the file before returning.
    virtual HRESULT SetCaptureMode(std::int32_t mode) = 0;
    // Slot 7: 1 while frames are being relayed into a file, else 0.
    virtual HRESULT GetRecording(std::uint8_t* recording) = 0;
    // Slot 8: 1 when the current (or last) file is 16:9.
    virtual HRESULT GetWide(std::uint8_t* wide) = 0;
    // Slot 9: the caller's string shares the name of the current (or last) file.
    virtual HRESULT GetFileName(bstr_t* name) = 0;
    // Slot 10: the caller's string shares the folder set by SetFolder.
    virtual HRESULT GetFolder(bstr_t* folder) = 0;
    // Slot 11: hands over the oldest event (S_OK), or writes null (S_FALSE).
    virtual HRESULT GetNextEvent(RelayEvent** event) = 0;
    // Slot 12: frames queued into the current file.
    virtual HRESULT GetFrameCount(std::int64_t* count) = 0;
    // Slot 13: the relay queue, valid as long as the filter object lives.
    virtual HRESULT GetQueue(FrameQueue** queue) = 0;

protected:
    ~IRelaySink() = default;
};
KV_DEFINE_IID(IRelaySink, "{FD5011B4-8ECE-11CE-8183-00AA00587EA2}");
