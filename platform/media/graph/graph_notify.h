#pragma once
// The process-wide hook through which graphs post their "an event waits"
// message (IMediaEventEx::SetNotifyWindow) to a window. The window layer
// installs it once at start-up; until then nothing is posted.
//
//     SetGraphNotifyPoster([](OAHWND window, LONG message, WPARAM wParam, LPARAM lParam) {
//         ... post message to window on the user-interface thread ...
//     });
//
// The poster is called from whichever thread queued the event (often a
// streaming thread), never under a graph lock; it must only post, not wait.
#include <functional>

#include "platform/media/control.h"

using GraphNotifyPoster = std::function<void(OAHWND window, LONG message, WPARAM wParam, LPARAM lParam)>;

// Replaces the poster; an empty function removes it.
void SetGraphNotifyPoster(GraphNotifyPoster poster);

namespace kvmedia {
// Posts through the installed poster, if any.
void PostGraphNotify(OAHWND window, LONG message, WPARAM wParam, LPARAM lParam);
}  // namespace kvmedia
