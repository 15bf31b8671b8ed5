// FilterGraph: events from filters (IMediaEventSink) and to the application
// (IMediaEvent, IMediaEventEx). Called from streaming threads, so nothing
// here takes graphLock_.
#include "platform/media/evcode.h"
#include "platform/media/graph/filter_graph.h"

namespace kvmedia {

HRESULT FilterGraph::Notify(LONG eventCode, LONG_PTR param1, LONG_PTR param2) {
    if (eventCode == EC_COMPLETE) {
        std::unique_lock lock(completionLock_);
        if (!ownHandlingCancelled_.contains(EC_COMPLETE)) {
            // Each renderer names itself in param2. The application hears of the end
            // once, when the last renderer of this run has reached it; an end
            // arriving after Stop belongs to a run that is over.
            if (!streaming_) return S_OK;
            const LONG_PTR renderer = param2 ? param2 : -static_cast<LONG_PTR>(completedRenderers_.size() + 1);
            if (!completedRenderers_.insert(renderer).second) return S_OK;
            if (completedRenderers_.size() != renderersToComplete_) return S_OK;
            lock.unlock();
            events_.Add(EC_COMPLETE, S_OK, 0);
            return S_OK;
        }
    }
    events_.Add(eventCode, param1, param2);
    return S_OK;
}

HRESULT FilterGraph::GetEventHandle(OAEVENT* event) {
    if (!event) return E_POINTER;
    *event = static_cast<OAEVENT>(events_.Handle());
    return S_OK;
}

HRESULT FilterGraph::GetEvent(LONG* eventCode, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) {
    return events_.Take(eventCode, param1, param2, msTimeout);
}

HRESULT FilterGraph::WaitForCompletion(LONG msTimeout, LONG* eventCode) {
    return events_.WaitForCompletion(msTimeout, eventCode);
}

HRESULT FilterGraph::CancelDefaultHandling(LONG eventCode) {
    std::scoped_lock lock(completionLock_);
    ownHandlingCancelled_.insert(eventCode);
    return S_OK;
}

HRESULT FilterGraph::RestoreDefaultHandling(LONG eventCode) {
    std::scoped_lock lock(completionLock_);
    ownHandlingCancelled_.erase(eventCode);
    return S_OK;
}

// No event the graph queues owns memory: parameters are plain values or
// pointers to objects that outlive the event (the filters).
HRESULT FilterGraph::FreeEventParams(LONG, LONG_PTR, LONG_PTR) { return S_OK; }

HRESULT FilterGraph::SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData) {
    events_.SetNotifyWindow(window, message, instanceData);
    return S_OK;
}

HRESULT FilterGraph::SetNotifyFlags(LONG flags) {
    if (flags & ~AM_MEDIAEVENT_NONOTIFY) return E_INVALIDARG;
    events_.SetNotifyFlags(flags);
    return S_OK;
}

HRESULT FilterGraph::GetNotifyFlags(LONG* flags) {
    if (!flags) return E_POINTER;
    *flags = events_.NotifyFlags();
    return S_OK;
}

}  // namespace kvmedia
