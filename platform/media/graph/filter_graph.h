#pragma once
// FilterGraph (CLSID_FilterGraph): the graph manager. It owns the filters of
// one graph, connects them (directly or through registered filters), runs
// them, collects their events for the application and forwards seeking,
// audio and video window calls to the filters that serve them.
//
// Filter order. EnumFilters, the state changes and the search for a filter
// serving IBasicAudio, IBasicVideo or IVideoWindow all use one order:
// downstream before upstream (every filter comes before the filters that
// feed it), and among filters not so related, the most recently added first.
// The order is stable while the graph's filters and connections stay the same.
//
// Locks. graphLock_ guards the filter list, connections and state changes;
// it is recursive because filters call back into the graph (Reconnect) from
// inside the pin connections the graph drives. Events from streaming threads
// never take it: they take completionLock_ and the event queue's own lock,
// so a Stop that waits for streaming threads cannot deadlock with them.
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/com/com_ptr.h"
#include "platform/com/combase.h"
#include "platform/media/control.h"
#include "platform/media/graph/graph_event_queue.h"
#include "platform/media/strmif.h"

namespace kvmedia {

class FilterGraph final : public CUnknown,
                          public IGraphBuilder,
                          public IMediaFilter,
                          public IMediaEventSink,
                          public IMediaSeeking,
                          public DispatchNotImplemented<IMediaControl>,
                          public DispatchNotImplemented<IMediaEventEx>,
                          public DispatchNotImplemented<IBasicAudio>,
                          public DispatchNotImplemented<IBasicVideo>,
                          public DispatchNotImplemented<IVideoWindow> {
public:
    static CUnknown* CreateInstance(IUnknown* outer, HRESULT* phr);
    explicit FilterGraph(IUnknown* outer);
    ~FilterGraph() override;

    DECLARE_IUNKNOWN
    HRESULT NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

    // IFilterGraph (filter_graph.cpp)
    // A taken name gets " 0001", " 0002"... and VFW_S_DUPLICATE_NAME; a null name becomes "Filter".
    HRESULT AddFilter(IBaseFilter* filter, LPCWSTR name) override;
    // Stops the filter if the graph is active and disconnects all its pins first.
    HRESULT RemoveFilter(IBaseFilter* filter) override;
    HRESULT EnumFilters(IEnumFilters** filters) override;
    HRESULT FindFilterByName(LPCWSTR name, IBaseFilter** filter) override;
    HRESULT ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* mt) override;
    HRESULT Reconnect(IPin* pin) override;
    HRESULT Disconnect(IPin* pin) override;
    HRESULT SetDefaultSyncSource() override;

    // IGraphBuilder (filter_graph_building.cpp)
    // Direct first, then through filters already in the graph and registered filters.
    HRESULT Connect(IPin* out, IPin* in) override;
    HRESULT Render(IPin* out) override;
    HRESULT RenderFile(LPCWSTR file, LPCWSTR playList) override;
    HRESULT AddSourceFilter(LPCWSTR file, LPCWSTR filterName, IBaseFilter** filter) override;
    HRESULT SetLogFile(DWORD_PTR file) override;
    HRESULT Abort() override;
    HRESULT ShouldOperationContinue() override;

    // IMediaFilter and IMediaControl (filter_graph_control.cpp)
    HRESULT GetClassID(CLSID* clsid) override;
    HRESULT Stop() override;
    HRESULT Pause() override;
    HRESULT Run(REFERENCE_TIME start) override;
    HRESULT GetState(DWORD milliseconds, FILTER_STATE* state) override;
    // A null clock lets the graph run as fast as its filters can.
    HRESULT SetSyncSource(IReferenceClock* clock) override;
    HRESULT GetSyncSource(IReferenceClock** clock) override;
    HRESULT Run() override;
    HRESULT GetState(LONG msTimeout, OAFilterState* state) override;
    HRESULT RenderFile(BSTR file) override;
    HRESULT AddSourceFilter(BSTR file, IDispatch** filterInfo) override;
    HRESULT get_FilterCollection(IDispatch** collection) override;
    HRESULT get_RegFilterCollection(IDispatch** collection) override;
    HRESULT StopWhenReady() override;

    // IMediaEventSink, IMediaEvent, IMediaEventEx (filter_graph_events.cpp)
    HRESULT Notify(LONG eventCode, LONG_PTR param1, LONG_PTR param2) override;
    HRESULT GetEventHandle(OAEVENT* event) override;
    HRESULT GetEvent(LONG* eventCode, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout) override;
    HRESULT WaitForCompletion(LONG msTimeout, LONG* eventCode) override;
    HRESULT CancelDefaultHandling(LONG eventCode) override;
    HRESULT RestoreDefaultHandling(LONG eventCode) override;
    HRESULT FreeEventParams(LONG eventCode, LONG_PTR param1, LONG_PTR param2) override;
    HRESULT SetNotifyWindow(OAHWND window, LONG message, LONG_PTR instanceData) override;
    HRESULT SetNotifyFlags(LONG flags) override;
    HRESULT GetNotifyFlags(LONG* flags) override;

    // IMediaSeeking, passed to the renderers (filter_graph_seeking.cpp)
    HRESULT GetCapabilities(DWORD* capabilities) override;
    HRESULT CheckCapabilities(DWORD* capabilities) override;
    HRESULT IsFormatSupported(const GUID* format) override;
    HRESULT QueryPreferredFormat(GUID* format) override;
    HRESULT GetTimeFormat(GUID* format) override;
    HRESULT IsUsingTimeFormat(const GUID* format) override;
    HRESULT SetTimeFormat(const GUID* format) override;
    HRESULT GetDuration(LONGLONG* duration) override;
    HRESULT GetStopPosition(LONGLONG* stop) override;
    HRESULT GetCurrentPosition(LONGLONG* current) override;
    HRESULT ConvertTimeFormat(LONGLONG* target, const GUID* targetFormat, LONGLONG source,
                              const GUID* sourceFormat) override;
    HRESULT SetPositions(LONGLONG* current, DWORD currentFlags, LONGLONG* stop, DWORD stopFlags) override;
    HRESULT GetPositions(LONGLONG* current, LONGLONG* stop) override;
    HRESULT GetAvailable(LONGLONG* earliest, LONGLONG* latest) override;
    HRESULT SetRate(double rate) override;
    HRESULT GetRate(double* rate) override;
    HRESULT GetPreroll(LONGLONG* preroll) override;

    // IBasicAudio, IBasicVideo, IVideoWindow, forwarded (filter_graph_forwarding.cpp)
    HRESULT put_Volume(LONG volume) override;
    HRESULT get_Volume(LONG* volume) override;
    HRESULT put_Balance(LONG balance) override;
    HRESULT get_Balance(LONG* balance) override;

    HRESULT get_AvgTimePerFrame(REFTIME* time) override;
    HRESULT get_BitRate(LONG* rate) override;
    HRESULT get_BitErrorRate(LONG* rate) override;
    HRESULT get_VideoWidth(LONG* width) override;
    HRESULT get_VideoHeight(LONG* height) override;
    HRESULT put_SourceLeft(LONG left) override;
    HRESULT get_SourceLeft(LONG* left) override;
    HRESULT put_SourceWidth(LONG width) override;
    HRESULT get_SourceWidth(LONG* width) override;
    HRESULT put_SourceTop(LONG top) override;
    HRESULT get_SourceTop(LONG* top) override;
    HRESULT put_SourceHeight(LONG height) override;
    HRESULT get_SourceHeight(LONG* height) override;
    HRESULT put_DestinationLeft(LONG left) override;
    HRESULT get_DestinationLeft(LONG* left) override;
    HRESULT put_DestinationWidth(LONG width) override;
    HRESULT get_DestinationWidth(LONG* width) override;
    HRESULT put_DestinationTop(LONG top) override;
    HRESULT get_DestinationTop(LONG* top) override;
    HRESULT put_DestinationHeight(LONG height) override;
    HRESULT get_DestinationHeight(LONG* height) override;
    HRESULT SetSourcePosition(LONG left, LONG top, LONG width, LONG height) override;
    HRESULT GetSourcePosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT SetDefaultSourcePosition() override;
    HRESULT SetDestinationPosition(LONG left, LONG top, LONG width, LONG height) override;
    HRESULT GetDestinationPosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT SetDefaultDestinationPosition() override;
    HRESULT GetVideoSize(LONG* width, LONG* height) override;
    HRESULT GetVideoPaletteEntries(LONG start, LONG count, LONG* retrieved, LONG* palette) override;
    HRESULT GetCurrentImage(LONG* bufferSize, LONG* image) override;
    HRESULT IsUsingDefaultSource() override;
    HRESULT IsUsingDefaultDestination() override;

    HRESULT put_Caption(BSTR caption) override;
    HRESULT get_Caption(BSTR* caption) override;
    HRESULT put_WindowStyle(LONG style) override;
    HRESULT get_WindowStyle(LONG* style) override;
    HRESULT put_WindowStyleEx(LONG style) override;
    HRESULT get_WindowStyleEx(LONG* style) override;
    HRESULT put_AutoShow(LONG autoShow) override;
    HRESULT get_AutoShow(LONG* autoShow) override;
    HRESULT put_WindowState(LONG state) override;
    HRESULT get_WindowState(LONG* state) override;
    HRESULT put_BackgroundPalette(LONG backgroundPalette) override;
    HRESULT get_BackgroundPalette(LONG* backgroundPalette) override;
    HRESULT put_Visible(LONG visible) override;
    HRESULT get_Visible(LONG* visible) override;
    HRESULT put_Left(LONG left) override;
    HRESULT get_Left(LONG* left) override;
    HRESULT put_Width(LONG width) override;
    HRESULT get_Width(LONG* width) override;
    HRESULT put_Top(LONG top) override;
    HRESULT get_Top(LONG* top) override;
    HRESULT put_Height(LONG height) override;
    HRESULT get_Height(LONG* height) override;
    HRESULT put_Owner(OAHWND owner) override;
    HRESULT get_Owner(OAHWND* owner) override;
    HRESULT put_MessageDrain(OAHWND drain) override;
    HRESULT get_MessageDrain(OAHWND* drain) override;
    HRESULT get_BorderColor(LONG* color) override;
    HRESULT put_BorderColor(LONG color) override;
    HRESULT get_FullScreenMode(LONG* fullScreen) override;
    HRESULT put_FullScreenMode(LONG fullScreen) override;
    HRESULT SetWindowForeground(LONG focus) override;
    HRESULT NotifyOwnerMessage(OAHWND window, LONG message, LONG_PTR wParam, LONG_PTR lParam) override;
    HRESULT SetWindowPosition(LONG left, LONG top, LONG width, LONG height) override;
    HRESULT GetWindowPosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT GetMinIdealImageSize(LONG* width, LONG* height) override;
    HRESULT GetMaxIdealImageSize(LONG* width, LONG* height) override;
    HRESULT GetRestorePosition(LONG* left, LONG* top, LONG* width, LONG* height) override;
    HRESULT HideCursor(LONG hide) override;
    HRESULT IsCursorHidden(LONG* hidden) override;

private:
    struct Entry {
        ComPtr<IBaseFilter> filter;
        std::u16string name;
    };

    // The filters in the graph's order (above). Called with graphLock_ held.
    std::vector<ComPtr<IBaseFilter>> OrderedFilters();
    bool Contains(IBaseFilter* filter);
    std::u16string UniqueName(std::u16string name);
    // Both pins must belong to filters in the graph.
    HRESULT CheckPinsInGraph(IPin* out, IPin* in);

    // Drives every filter to the state, downstream first (filter_graph_control.cpp).
    HRESULT ChangeState(FILTER_STATE target, REFERENCE_TIME start);
    void StartStreaming();
    // Every renderer is to complete again (after a seek); WaitForCompletion waits anew.
    void RestartCompletion();

    // The first filter, in the graph's order, that offers Interface; null when none.
    template <class Interface>
    ComPtr<Interface> FindFilterInterface();
    // Calls the method on that filter; E_NOINTERFACE when no filter offers it.
    template <class Interface, class... Params, class... Args>
    HRESULT Forward(HRESULT (Interface::*method)(Params...), Args... args);
    // The renderers that offer IMediaSeeking, in the graph's order.
    std::vector<ComPtr<IMediaSeeking>> SeekingRenderers();
    // One seeking renderer per source that feeds renderers, so a seek moves each source once.
    std::vector<ComPtr<IMediaSeeking>> SourceSeekers();
    // The renderer that answers for the current position: the first showing pictures, else the first.
    ComPtr<IMediaSeeking> PositionRenderer();

    std::recursive_mutex graphLock_;
    std::vector<Entry> filters_;              // in order of addition; guarded by graphLock_
    FILTER_STATE state_ = State_Stopped;      // guarded by graphLock_
    ComPtr<IReferenceClock> clock_;           // guarded by graphLock_
    bool clockChosen_ = false;                // SetSyncSource was called; guarded by graphLock_
    REFERENCE_TIME streamStart_ = 0;          // clock time of stream time 0; guarded by graphLock_
    REFERENCE_TIME pausedStreamTime_ = 0;     // stream time reached at the last pause; guarded by graphLock_
    GUID timeFormat_;                         // guarded by graphLock_

    GraphEventQueue events_;
    std::mutex completionLock_;
    bool streaming_ = false;                  // guarded by completionLock_
    std::size_t renderersToComplete_ = 0;     // guarded by completionLock_
    std::set<LONG_PTR> completedRenderers_;   // guarded by completionLock_
    std::set<LONG> ownHandlingCancelled_;     // codes passed straight through; guarded by completionLock_
};

template <class Interface>
ComPtr<Interface> FilterGraph::FindFilterInterface() {
    std::scoped_lock lock(graphLock_);
    for (auto& filter : OrderedFilters()) {
        ComPtr<Interface> found;
        if (SUCCEEDED(filter.As(&found)) && found) return found;
    }
    return nullptr;
}

template <class Interface, class... Params, class... Args>
HRESULT FilterGraph::Forward(HRESULT (Interface::*method)(Params...), Args... args) {
    // Called outside graphLock_: the filter may take its own locks and post to windows.
    const ComPtr<Interface> target = FindFilterInterface<Interface>();
    if (!target) return E_NOINTERFACE;
    return (target.Get()->*method)(args...);
}

}  // namespace kvmedia
