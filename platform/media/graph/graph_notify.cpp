#include "platform/media/graph/graph_notify.h"

#include <mutex>

namespace {

class PosterSlot {
public:
    static PosterSlot& Instance() {
        static PosterSlot slot;
        return slot;
    }
    void Set(GraphNotifyPoster poster) {
        std::scoped_lock lock(mutex_);
        poster_ = std::move(poster);
    }
    GraphNotifyPoster Get() {
        std::scoped_lock lock(mutex_);
        return poster_;
    }

private:
    std::mutex mutex_;
    GraphNotifyPoster poster_;  // guarded by mutex_
};

}  // namespace

void SetGraphNotifyPoster(GraphNotifyPoster poster) { PosterSlot::Instance().Set(std::move(poster)); }

namespace kvmedia {
void PostGraphNotify(OAHWND window, LONG message, WPARAM wParam, LPARAM lParam) {
    // Called on a copy, so a poster being replaced meanwhile is never cut off mid-call.
    if (GraphNotifyPoster poster = PosterSlot::Instance().Get()) poster(window, message, wParam, lParam);
}
}  // namespace kvmedia
