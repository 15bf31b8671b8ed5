#include "korvanta/capture/capture_engine.h"
#include "korvanta/capture/graph_pins.h"

#include <chrono>

#include "dvshared/frame_queue.h"
#include "korvanta/core/language.h"
#include "korvanta/core/settings.h"
#include "platform/com/objbase.h"
#include "platform/media/uuids.h"

namespace {

template <class Interface>
HRESULT Create(const CLSID& clsid, DWORD context, ComPtr<Interface>& out) {
    return CoCreateInstance(clsid, nullptr, context, IidOf<Interface>(), out.GetVoidAddress());
}

template <class Interface, class From>
HRESULT Query(const ComPtr<From>& from, ComPtr<Interface>& out) {
    return QueryInterfaceFor(from.Get(), out.GetAddressOf());
}

// Creates one of the program's own filters with its custom interface.
template <class Custom>
bool CreateOwnFilter(const CLSID& clsid, ComPtr<IBaseFilter>& filter, ComPtr<Custom>& custom) {
    return SUCCEEDED(Create(clsid, CLSCTX_INPROC_SERVER, filter)) && SUCCEEDED(Query(filter, custom));
}

}  // namespace

CaptureEngine::CaptureEngine(CaptureView& view) : view_(view) {
    thumbnails_.SetChangeListener([this](int position) { view_.ThumbnailChanged(position); });
    pollThread_ = std::thread([this] { PollTimecode(); });
}

CaptureEngine::~CaptureEngine() {
    {
        std::scoped_lock lock(timecodeLock_);
        pollRunning_ = false;
    }
    pollWake_.notify_all();
    if (pollThread_.joinable()) pollThread_.join();
    // A capture still running ends here with every frame it queued written;
    // nothing may keep writing into a file or reading the camcorder once the
    // engine is gone.
    if (relaySink_ && (GetRecording() || finishing_ || (queue_ && queue_->HasItems()))) {
        relaySink_->SetCaptureMode(StopNow);
        FinishFileGraph();
    }
    if (fileControl_) fileControl_->Stop();
    if (captureControl_) captureControl_->Stop();
    if (videoWindow_) {
        videoWindow_->put_Visible(OAFALSE);
        videoWindow_->put_Owner(0);
    }
    RemoveAllFilters(captureGraph_.Get());
}

bool CaptureEngine::CreateGraphs(HWND window, const std::string& baseName, SceneThreshold threshold) {
    window_ = window;
    if (FAILED(Create(CLSID_FilterGraph, CLSCTX_INPROC, captureGraph_)) ||
        FAILED(Create(CLSID_CaptureGraphBuilder2, CLSCTX_INPROC, builder_)) ||
        FAILED(builder_->SetFiltergraph(captureGraph_.Get())))
        return false;
    if (FAILED(Create(CLSID_DVVideoCodec, CLSCTX_INPROC_SERVER, decoder_)) ||
        !CreateOwnFilter(CLSID_DvStamp, dvInfo_, dvStamp_) || !CreateOwnFilter(CLSID_StillGrab, grabber_, stillGrab_) ||
        !CreateOwnFilter(CLSID_RelaySink, server_, relaySink_) ||
        !CreateOwnFilter(CLSID_RelaySource, client_, relaySource_))
        return false;
    if (FAILED(Create(CLSID_FileWriter, CLSCTX_INPROC, writer_)) || FAILED(Query(writer_, fileSink_)) ||
        FAILED(Create(CLSID_FilterGraph, CLSCTX_INPROC, fileGraph_)) || FAILED(Query(fileGraph_, fileControl_)) ||
        FAILED(Query(fileGraph_, fileEvent_)))
        return false;
    if (FAILED(relaySink_->GetQueue(&queue_)) || !queue_ || FAILED(relaySource_->SetQueue(queue_))) return false;

    // Without the multiplexer FileGraph could not write a single file, so
    // its absence fails the creation rather than every capture later.
    if (fileGraph_->AddFilter(client_.Get(), u"Frame Client") != S_OK ||
        fileGraph_->AddFilter(writer_.Get(), u"File Sink") != S_OK ||
        FAILED(Create(CLSID_AviDest, CLSCTX_INPROC_SERVER, mux_)) ||
        FAILED(fileGraph_->AddFilter(mux_.Get(), u"AVI Mux")))
        return false;
    if (SUCCEEDED(Create(CLSID_DVSplitter, CLSCTX_INPROC_SERVER, splitter_)))
        fileGraph_->AddFilter(splitter_.Get(), u"DV Capture Splitter");
    fileGraph_->Connect(FindPin(mux_.Get(), PINDIR_OUTPUT, 0).Get(), FindPin(writer_.Get(), PINDIR_INPUT, 0).Get());

    if (!CreateOwnFilter(CLSID_LevelProbe, meter_, levelProbe_)) return false;
    if (FAILED(Query(captureGraph_, captureEvent_)) || FAILED(Query(captureGraph_, captureEventEx_)) ||
        FAILED(Query(captureGraph_, captureControl_)) || FAILED(Query(captureGraph_, videoWindow_)))
        return false;

    SetSceneThreshold(threshold);
    SetFilePrefix(baseName);
    relaySink_->SetFolder(bstr_t(GetSetting(SettingId::CaptureFolder).text));

    view_.SetUpSoundControls(window_, levelProbe_.Get());
    return Query(captureGraph_, basicAudio_) == S_OK;
}

bool CaptureEngine::StartPreview(const std::optional<DeviceId>& wanted, const std::string& wantedName) {
    if (!deviceId_ && !BindDevice(wanted, wantedName)) return false;
    if (!graphBuilt_) {
        graphBuilt_ = BuildCaptureGraph();
        if (!graphBuilt_) return false;
    }
    if (FAILED(SwitchCaptureStream(false))) return false;

    LONG signal = 0;
    if (transport_ && SUCCEEDED(transport_->GetTransportBasicParameters(ED_TRANSBASIC_INPUT_SIGNAL, &signal, nullptr))) {
        if (signal == ED_TRANSBASIC_SIGNAL_525_60_SD || signal == ED_TRANSBASIC_SIGNAL_525_60_SDL) {
            frameTimeMs_ = 33;
            isPal_ = false;
        } else if (signal == ED_TRANSBASIC_SIGNAL_625_50_SD || signal == ED_TRANSBASIC_SIGNAL_625_50_SDL) {
            frameTimeMs_ = 40;
            isPal_ = true;
        }
    }
    UpdateAudio();
    // The frame client offers its format for the television system it was
    // told, so it must know the system before FileGraph is connected.
    if (relaySource_) relaySource_->SetIs625(isPal_ ? 1 : 0);
    ConnectFileGraph();
    ReadTimecode();
    return true;
}

bool CaptureEngine::ChangeDevice(const std::optional<DeviceId>& wanted, const std::string& wantedName) {
    SetTransportModeValue(0);
    ReleaseDevice();
    thumbnails_.Clear();
    RemoveCaptureFilters();
    graphBuilt_ = false;
    return StartPreview(wanted, wantedName);
}

void CaptureEngine::ReleaseDevice() {
    StopCapture(false);
    StopGraph();
    if (!device_) return;
    {
        std::scoped_lock lock(timecodeLock_);
        timecodeReader_ = nullptr;
        timecodeValid_ = false;
        timecode_ = 0;
    }
    transport_ = nullptr;
    extDevice_ = nullptr;
    deviceId_.reset();
    deviceName_.clear();
    if (captureGraph_) captureGraph_->RemoveFilter(device_.Get());
    device_ = nullptr;
}

bool CaptureEngine::IsReady() const { return graphBuilt_ && deviceId_.has_value(); }

void CaptureEngine::ReportState() const {
    if (!deviceId_)
        ShowErrorText("NoDVCaptureDevice");
    else if (!graphBuilt_)
        ShowErrorText("CaptureGraphFailed");
}

// A graph that failed to run is stopped again and counts as stopped, so the
// next RunGraph tries again; the failure waits for TakeRunFailure.
bool CaptureEngine::RunGraph() {
    if (graphRunState_ == 2) return true;
    if (captureControl_ && SUCCEEDED(captureControl_->Run())) {
        graphRunState_ = 2;
        return true;
    }
    if (captureControl_) captureControl_->Stop();
    runFailed_ = true;
    return false;
}

bool CaptureEngine::TakeRunFailure() { return std::exchange(runFailed_, false); }

void CaptureEngine::HandleGraphEvents() {
    if (!captureEvent_) return;
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (captureEvent_->GetEvent(&code, &param1, &param2, 0) == S_OK)
        captureEvent_->FreeEventParams(code, param1, param2);
}

void CaptureEngine::StopGraph() {
    if (graphRunState_ == 0) return;
    if (captureControl_) captureControl_->Stop();
    graphRunState_ = 0;
}

void CaptureEngine::OnSettingChanged(SettingId id) {
    SettingsObserver::OnSettingChanged(id);
    switch (id) {
        case SettingId::MuteAll:
            UpdateAudio();
            break;
        case SettingId::CaptureFolder:
            if (relaySink_) relaySink_->SetFolder(bstr_t(GetSetting(SettingId::CaptureFolder).text));
            break;
        case SettingId::FileType:
            if (capturing_ || finishing_)
                fileTypeChangePending_ = true;
            else
                ConnectFileGraph();
            break;
        case SettingId::CaptureResolution:
            if (IsTransportActive())
                resolutionChangePending_ = true;
            else
                ApplyResolution();
            break;
        default:
            break;
    }
}

void CaptureEngine::OnContextCommand(int command) {
    if (command == kCaptureMuteCommand) ToggleSound();
}

void CaptureEngine::ApplyResolution() {
    const int wasRunning = graphRunState_;
    StopGraph();
    SetDisplayResolution(GetSetting(SettingId::CaptureResolution).number, true);
    if (wasRunning == 2) RunGraph();
}

void CaptureEngine::ApplyPendingChanges() {
    // FileGraph is rewired only once it has written every frame of the
    // capture: the tape's end or a stop comes before the last file is done.
    const bool fileGraphIdle = !fileRunning_ && !(queue_ && queue_->HasItems());
    if (fileTypeChangePending_ && !capturing_ && fileGraphIdle) {
        fileTypeChangePending_ = false;
        ConnectFileGraph();
    }
    if (resolutionChangePending_ && !IsTransportActive()) {
        resolutionChangePending_ = false;
        ApplyResolution();
    }
}

// ---- Monitor sound ----

void CaptureEngine::UpdateAudio() {
    if (!basicAudio_) return;
    if (soundOn_ && GetSetting(SettingId::MuteAll).number == 0 && windowVisible_) {
        basicAudio_->put_Volume(savedVolume_);
        return;
    }
    LONG volume = 0;
    if (SUCCEEDED(basicAudio_->get_Volume(&volume)) && volume != -10000) savedVolume_ = volume;
    basicAudio_->put_Volume(-10000);
}

void CaptureEngine::ToggleSound() {
    soundOn_ = !soundOn_;
    view_.ShowSoundOn(soundOn_);
    UpdateAudio();
}

void CaptureEngine::SetWindowVisible(bool visible) {
    windowVisible_ = visible;
    UpdateAudio();
}

// ---- Video geometry ----

bool CaptureEngine::MeasureVideo() {
    ComPtr<IBasicVideo> video;
    if (FAILED(Query(captureGraph_, video))) return false;
    LONG width = 0, height = 0;
    if (FAILED(video->get_VideoWidth(&width)) || FAILED(video->get_VideoHeight(&height))) return false;
    videoWidth_ = width;
    videoHeight_ = height;
    const std::int64_t resolution = GetSetting(SettingId::CaptureResolution).number;
    if (resolution == 1) {
        thumbWidth_ = videoWidth_ / 2;
        thumbHeight_ = videoHeight_ / 2;
    } else if (resolution == 2 || resolution == 3) {
        thumbWidth_ = videoWidth_;
        thumbHeight_ = videoHeight_;
    }
    wideScreen_ = FrameInfo().wide != 0;
    displayWidth_ = 360;
    displayHeight_ = wideScreen_ ? 202 : 270;
    return true;
}

void CaptureEngine::PlaceVideoWindow(const QRect& area, bool visible) {
    if (!videoWindow_ || !window_) return;
    videoWindow_->SetWindowPosition(area.left(), area.top(), area.width(), area.height());
    videoWindow_->put_Visible(visible ? OATRUE : OAFALSE);
}

bool CaptureEngine::PollAspect() {
    if ((FrameInfo().wide != 0) == wideScreen_) return false;
    MeasureVideo();
    return true;
}

DvFrameInfo CaptureEngine::FrameInfo() const {
    DvFrameInfo info{};
    if (dvStamp_) dvStamp_->GetFrameInfo(&info);
    return info;
}

LONG CaptureEngine::DroppedFrames() const {
    if (!builder_ || !device_) return 0;
    ComPtr<IAMDroppedFrames> dropped;
    LONG count = 0;
    if (FAILED(builder_->FindInterface(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, device_.Get(),
                                       IID_IAMDroppedFrames, dropped.GetVoidAddress())) ||
        !dropped || FAILED(dropped->GetNumDropped(&count)))
        return 0;
    return count;
}

std::string CaptureEngine::TapePositionText() const {
    TapeTextState state;
    state.vcrMode = IsVcrMode();
    state.frameCount = GetFrameCount();
    state.frameTimeMs = frameTimeMs_;
    state.timecodeValid = HasTimecode();
    state.timecode = TimecodeValue();
    return ::TapePositionText(state);
}

std::string CaptureEngine::TapeDateText() const {
    const DvFrameInfo info = FrameInfo();
    return RecordingDateText(info.recYear, info.recMonth, info.recDay, info.recHour, info.recMinute, info.recSecond);
}
