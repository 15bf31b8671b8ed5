#pragma once
// IRelaySource: the frame client's custom interface, with the filter's class
// identifier. The program holds its own copies of both identifiers; they must
// stay equal to these.
#include <cstdint>

#include "platform/com/unknown.h"

class FrameQueue;

inline constexpr CLSID CLSID_RelaySource = MakeGuid("{36A6F890-FF5D-12CE-A8ED-00AA002FEAB5}");

// Both are called while the file-writing graph is stopped, before it is
// connected or run.
struct IRelaySource : IUnknown {
    // Slot 3: 1 for 625/50, 0 for 525/60: the offered format block, the buffer
    // size asked of the allocator and the frame duration of the next run.
    virtual HRESULT SetIs625(std::uint8_t is625) = 0;
    // Slot 4: the frame server's queue; E_POINTER for null (the previous queue stays).
    virtual HRESULT SetQueue(FrameQueue* queue) = 0;

protected:
    ~IRelaySource() = default;
};
KV_DEFINE_IID(IRelaySource, "{FD5230B4-9FBE-12CE-8183-00AA00587EA2}");
