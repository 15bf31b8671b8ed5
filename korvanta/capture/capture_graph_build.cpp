// CaptureEngine: binding the camcorder, building CaptureGraph around it with
// the program's filters spliced into the monitor chain, and wiring FileGraph.
#include "dvshared/frame_queue.h"
#include "korvanta/capture/capture_engine.h"
#include "korvanta/capture/graph_pins.h"
#include "korvanta/core/settings.h"
#include "platform/media/uuids.h"

namespace {

// Window styles of the video window inside the capture window (Windows values).
constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_CLIPSIBLINGS = 0x04000000;

}  // namespace

bool CaptureEngine::BindDevice(const std::optional<DeviceId>& wanted, const std::string& wantedName) {
    if (!captureGraph_) return false;
    std::optional<BoundDevice> bound = ::BindDevice(wanted);
    if (!bound) return false;
    if (FAILED(captureGraph_->AddFilter(bound->filter.Get(), u"DV Camcorder"))) return false;
    device_ = bound->filter;
    extDevice_ = bound->device;
    transport_ = bound->transport;
    {
        std::scoped_lock lock(timecodeLock_);
        timecodeReader_ = bound->timecodeReader;
    }
    deviceId_ = bound->id;
    deviceName_ = wantedName;
    return deviceId_.has_value();
}

bool CaptureEngine::BuildCaptureGraph() {
    if (!captureGraph_ || !builder_ || !device_) return false;
    if (FAILED(captureGraph_->AddFilter(server_.Get(), u"AVI Frame Server"))) return false;
    if (FAILED(builder_->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, device_.Get(), nullptr,
                                      server_.Get())))
        return false;
    if (FAILED(captureGraph_->AddFilter(decoder_.Get(), u"NuxDV Video Decoder"))) return false;
    SetDisplayResolution(GetSetting(SettingId::CaptureResolution).number, false);
    if (FAILED(builder_->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Interleaved, device_.Get(), nullptr,
                                      nullptr)))
        return false;

    videoWindow_->put_AutoShow(OAFALSE);
    videoWindow_->put_Visible(OAFALSE);
    videoWindow_->put_Owner(reinterpret_cast<OAHWND>(window_));
    videoWindow_->put_MessageDrain(reinterpret_cast<OAHWND>(window_));
    videoWindow_->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    if (!MeasureVideo()) return false;

    const bool dvInfoSpliced =
        SpliceFilter(dvInfo_.Get(), u"DV Video Info", MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd, FORMAT_DvInfo) ||
        SpliceFilter(dvInfo_.Get(), u"DV Video Info", MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd, FORMAT_VideoInfo);
    if (!dvInfoSpliced ||
        !SpliceFilter(meter_.Get(), u"Sound Meter", MEDIATYPE_Audio, GUID_NULL, FORMAT_WaveFormatEx) ||
        !SpliceFilter(grabber_.Get(), u"Video Grabber", MEDIATYPE_Video, GUID_NULL, GUID_NULL))
        return false;
    captureEventEx_->SetNotifyWindow(reinterpret_cast<OAHWND>(window_), kCaptureGraphEventMessage, 0);
    return true;
}

bool CaptureEngine::SpliceFilter(IBaseFilter* filter, const char16_t* name, const GUID& major, const GUID& subtype,
                                 const GUID& format) {
    return InsertFilterAfter(captureGraph_.Get(), filter, name, major, subtype, format);
}

void CaptureEngine::RemoveCaptureFilters() {
    if (!captureGraph_) return;
    if (IsTransportActive()) StopGraph();
    const std::pair<const char16_t*, IBaseFilter*> own[] = {
        {u"DV Video Info", dvInfo_.Get()},
        {u"Sound Meter", meter_.Get()},
        {u"Video Grabber", grabber_.Get()},
        {u"AVI Frame Server", server_.Get()},
    };
    for (const auto& [name, filter] : own) {
        ComPtr<IBaseFilter> present;
        if (SUCCEEDED(captureGraph_->FindFilterByName(name, present.GetAddressOf())) && present.Get() == filter)
            captureGraph_->RemoveFilter(filter);
    }
    RemoveAllFilters(captureGraph_.Get());
}

HRESULT CaptureEngine::SwitchCaptureStream(bool on) {
    if (!builder_ || !device_) return E_POINTER;
    REFERENCE_TIME never = MAXLONGLONG;
    return on ? builder_->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, device_.Get(), nullptr,
                                        &never, 0, 0)
              : builder_->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, device_.Get(), &never,
                                        nullptr, 0, 0);
}

void CaptureEngine::SetDisplayResolution(std::int64_t resolution, bool reconnect) {
    ComPtr<IIPDVDec> display;
    if (FAILED(QueryInterfaceFor(decoder_.Get(), display.GetAddressOf()))) return;
    display->put_IPDisplay(ResolutionCommand(resolution));
    if (!reconnect) return;
    ReconnectDownstream(captureGraph_.Get(), FindPin(decoder_.Get(), PINDIR_OUTPUT, 0));
    MeasureVideo();
}

void CaptureEngine::ConnectFileGraph() {
    if (!fileGraph_) return;
    const auto disconnect = [this](IBaseFilter* filter, PIN_DIRECTION direction, int index) {
        if (ComPtr<IPin> pin = FindPin(filter, direction, index)) DisconnectBothEnds(fileGraph_.Get(), pin.Get());
    };
    disconnect(client_.Get(), PINDIR_OUTPUT, 0);
    disconnect(mux_.Get(), PINDIR_INPUT, 0);
    disconnect(mux_.Get(), PINDIR_INPUT, 1);
    disconnect(splitter_.Get(), PINDIR_INPUT, 0);
    disconnect(splitter_.Get(), PINDIR_OUTPUT, 0);
    disconnect(splitter_.Get(), PINDIR_OUTPUT, 1);

    // Type 1 only when chosen: any other value, the unset 0 of a new user
    // included, writes type 2, so that a capture is never run into a
    // FileGraph that writes nothing.
    const bool typeOne = GetSetting(SettingId::FileType).number == 1;
    const ComPtr<IPin> clientOut = FindPin(client_.Get(), PINDIR_OUTPUT, 0);
    if (typeOne) {
        fileGraph_->Connect(clientOut.Get(), FindPin(mux_.Get(), PINDIR_INPUT, 0).Get());
    } else if (splitter_) {
        if (FAILED(fileGraph_->Connect(clientOut.Get(), FindPin(splitter_.Get(), PINDIR_INPUT, 0).Get()))) return;
        const ComPtr<IPin> video = FindPin(splitter_.Get(), PINDIR_OUTPUT, 0);
        if (!video || FAILED(fileGraph_->Connect(video.Get(), FindPin(mux_.Get(), PINDIR_INPUT, 0).Get()))) return;
        fileGraph_->Connect(FindPin(splitter_.Get(), PINDIR_OUTPUT, 1).Get(),
                            FindPin(mux_.Get(), PINDIR_INPUT, 1).Get());
    }
}
