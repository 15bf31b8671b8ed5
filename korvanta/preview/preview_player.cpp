// PreviewPlayer: building the playback graph, transport and seeking.
#include "korvanta/preview/preview_player.h"

#include <QWidget>

#include <algorithm>
#include <chrono>
#include <thread>

#include "filters/dvstamp/idvstamp.h"
#include "filters/levelprobe/ilevelprobe.h"
#include "filters/stillgrab/istillgrab.h"
#include "korvanta/capture/capture_texts.h"
#include "korvanta/capture/graph_pins.h"
#include "korvanta/preview/preview_sizes.h"
#include "platform/com/objbase.h"
#include "platform/com/utf.h"
#include "platform/media/evcode.h"
#include "platform/media/filters/dvdec/iipdvdec.h"
#include "platform/media/renderers/window_handle.h"
#include "platform/media/uuids.h"

namespace {

constexpr auto kPollInterval = std::chrono::milliseconds(10);
// The first frame is awaited for up to about 100 ms, in fine steps.
constexpr auto kFirstFramePoll = std::chrono::milliseconds(1);
constexpr int kFirstFramePolls = 100;
constexpr int kPausePolls = 10;
// Window styles of the video window inside the list window (Windows values).
constexpr LONG WS_CHILD = 0x40000000;
constexpr LONG WS_CLIPSIBLINGS = 0x04000000;

template <class Interface>
bool Create(const CLSID& clsid, ComPtr<Interface>& out) {
    return SUCCEEDED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IidOf<Interface>(), out.GetVoidAddress()));
}

template <class Interface, class From>
bool Query(const ComPtr<From>& from, ComPtr<Interface>& out) {
    return from && SUCCEEDED(QueryInterfaceFor(from.Get(), out.GetAddressOf()));
}

}  // namespace

PreviewPlayer::PreviewPlayer() : SettingsObserver(0) {}

PreviewPlayer::~PreviewPlayer() {
    CloseEnlarged();
    if (control_) control_->Stop();
    if (videoWindow_) {
        videoWindow_->put_Visible(OAFALSE);
        videoWindow_->put_Owner(0);
    }
    if (events_) events_->SetNotifyWindow(0, 0, 0);
    if (graph_) RemoveAllFilters(graph_.Get());
}

bool PreviewPlayer::Open(const std::filesystem::path& file, QWidget* listWindow, int rowIndex,
                         std::optional<Thumbnails> ready) {
    listWindow_ = listWindow;
    rowIndex_ = rowIndex;
    if (!BuildGraph(file)) {
        if (graph_) RemoveAllFilters(graph_.Get());
        control_.Reset();
        graph_.Reset();
        return false;
    }
    if (listWindow_) {
        skinOwner_ = std::make_unique<WidgetSkinOwner>(*listWindow_);
        levelMeter_.SetOwner(skinOwner_.get());
        muteButton_.SetOwner(skinOwner_.get());
    }
    if (ready) {
        thumbnails_ = std::move(*ready);
        thumbnailsMade_ = true;
    }
    return true;
}

bool PreviewPlayer::BuildGraph(const std::filesystem::path& file) {
    if (!Create(CLSID_FilterGraph, graph_) || !Create(CLSID_DVVideoCodec, decoder_) ||
        FAILED(graph_->AddFilter(decoder_.Get(), u"NuxDV Video Decoder")))
        return false;
    ComPtr<IIPDVDec> display;
    if (!Query(decoder_, display) ||
        FAILED(display->put_IPDisplay(ResolutionCommand(GetSetting(SettingId::VideoResolution).number))))
        return false;
    if (!Create(CLSID_DvStamp, dvInfoFilter_) || !Query(dvInfoFilter_, dvInfo_) ||
        !Create(CLSID_StillGrab, grabberFilter_) || !Query(grabberFilter_, grabber_) ||
        !Create(CLSID_LevelProbe, meterFilter_) || !Query(meterFilter_, meter_))
        return false;
    if (FAILED(graph_->RenderFile(Utf8ToUtf16(file.string()).c_str(), nullptr))) return false;
    if (!InsertAnalysisFilters()) return false;
    if (!Query(graph_, control_) || !Query(graph_, seeking_) || !Query(graph_, events_) ||
        !Query(graph_, videoWindow_))
        return false;
    // A file without sound has no audio renderer and so no volume to set.
    if (!Query(graph_, audio_)) audio_.Reset();
    LONG volume = 0;
    if (audio_ && FAILED(audio_->get_Volume(&volume))) audio_.Reset();
    if (FAILED(events_->SetNotifyWindow(OaHwndFromWidget(listWindow_), kPlayerGraphEventMessage, rowIndex_)))
        return false;
    if (!MeasureDecodedSize()) return false;
    SetUpVideoWindow();
    LONGLONG duration = 0;
    if (FAILED(seeking_->SetTimeFormat(&TIME_FORMAT_FRAME)) || FAILED(seeking_->GetDuration(&duration)) ||
        duration < 1)
        return false;
    lastFrame_ = duration - 1;
    frameDuration_ = 33;
    ShowFirstFrame();
    return playState_ == 1;
}

bool PreviewPlayer::InsertAnalysisFilters() {
    IGraphBuilder* graph = graph_.Get();
    if (!InsertFilterAfter(graph, dvInfoFilter_.Get(), u"DV Video Info", GUID_NULL, MEDIASUBTYPE_dvsd, GUID_NULL))
        return false;
    // Without a sound stream there is nothing to measure: the file still
    // plays, with a silent meter.
    const bool hasSound =
        FindConnectedPin(graph, PINDIR_OUTPUT, MEDIATYPE_Audio, GUID_NULL, FORMAT_WaveFormatEx).pin != nullptr;
    if (hasSound &&
        !InsertFilterAfter(graph, meterFilter_.Get(), u"Sound Meter", MEDIATYPE_Audio, GUID_NULL, FORMAT_WaveFormatEx))
        return false;
    if (!hasSound) meter_.Reset();
    return InsertFilterAfter(graph, grabberFilter_.Get(), u"Video Grabber", MEDIATYPE_Video, GUID_NULL, GUID_NULL);
}

bool PreviewPlayer::MeasureDecodedSize() {
    ComPtr<IBasicVideo> video;
    LONG width = 0, height = 0;
    if (!Query(graph_, video) || FAILED(video->get_VideoWidth(&width)) || FAILED(video->get_VideoHeight(&height)) ||
        width <= 0 || height <= 0)
        return false;
    decodedWidth_ = width;
    decodedHeight_ = height;
    const PreviewSizes sizes =
        ComputePreviewSizes(GetSetting(SettingId::VideoResolution).number, decodedWidth_, decodedHeight_, wide_);
    sizes_ = {sizes.thumbnailWidth, sizes.thumbnailHeight, sizes.displayWidth, sizes.displayHeight,
              sizes.decodedDisplayHeight};
    return true;
}

void PreviewPlayer::SetUpVideoWindow() {
    videoWindow_->put_AutoShow(OAFALSE);
    videoWindow_->put_Visible(OAFALSE);
    videoWindow_->put_Owner(OaHwndFromWidget(listWindow_));
    videoWindow_->put_MessageDrain(OaHwndFromWidget(listWindow_));
    videoWindow_->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
}

void PreviewPlayer::ShowFirstFrame() {
    soundOn_ = false;
    ApplyMute();
    grabber_->SetGrab(1);
    SetPositions(0, 0);
    control_->Run();
    BYTE ready = 0;
    for (int poll = 0; poll <= kFirstFramePolls; ++poll) {
        if (SUCCEEDED(grabber_->IsFrameReady(&ready)) && ready) break;
        std::this_thread::sleep_for(kFirstFramePoll);
    }
    firstFrame_ = InfoRecord();
    if (firstFrame_.frameMs > 0) {
        wide_ = firstFrame_.wide != 0;
        is576_ = firstFrame_.is625 != 0;
        frameDuration_ = firstFrame_.frameMs;
    }
    // Heights follow the picture's aspect, known only now.
    MeasureDecodedSize();
    Pause();
    // The first frame ran with a stop at frame 0; the file plays to its end
    // from here on, and the end of that short run is not the file's end.
    SetPositions(0, lastFrame_);
    Pause();
    while (OnGraphEvent() != 0) {
    }
    soundOn_ = true;
    ApplyMute();
}

void PreviewPlayer::SetPositions(std::int64_t current, std::int64_t stop) {
    LONGLONG from = current, to = stop;
    seeking_->SetPositions(&from, AM_SEEKING_AbsolutePositioning, &to, AM_SEEKING_AbsolutePositioning);
}

void PreviewPlayer::SetDecoderResolution(std::int64_t resolution) {
    ComPtr<IIPDVDec> display;
    if (!Query(decoder_, display) || FAILED(display->put_IPDisplay(ResolutionCommand(resolution)))) return;
    // The decoder offers the new size at its next connection.
    ReconnectDownstream(graph_.Get(), FindPin(decoder_.Get(), PINDIR_OUTPUT, 0));
}

void PreviewPlayer::Pause() {
    if (!control_) return;
    control_->Pause();
    // Each ask waits up to 10 ms for the change, returning as soon as it is done.
    for (int poll = 0; poll <= kPausePolls; ++poll) {
        OAFilterState state = State_Stopped;
        const HRESULT hr = control_->GetState(kPollInterval.count(), &state);
        if (state == State_Paused && hr != VFW_S_STATE_INTERMEDIATE) break;
        if (hr != VFW_S_STATE_INTERMEDIATE) std::this_thread::sleep_for(kPollInterval);
    }
    playState_ = 1;
}

void PreviewPlayer::Run() {
    if (!control_ || playState_ == 2) return;
    playState_ = 2;
    control_->Run();
}

void PreviewPlayer::Stop(bool rewind) {
    if (!control_) return;
    Pause();
    if (rewind) {
        currentFrame_ = 0;
        SetPositions(0, lastFrame_);
        Pause();
        return;
    }
    LONGLONG current = 0, stop = 0;
    if (SUCCEEDED(seeking_->GetPositions(&current, &stop)))
        currentFrame_ = std::clamp<LONGLONG>(current, 0, lastFrame_);
}

void PreviewPlayer::ReadPosition() {
    LONGLONG current = 0, stop = 0;
    if (seeking_ && SUCCEEDED(seeking_->GetPositions(&current, &stop)))
        currentFrame_ = std::clamp<LONGLONG>(current, 0, lastFrame_);
}

void PreviewPlayer::SetRowIndex(int rowIndex) {
    rowIndex_ = rowIndex;
    if (events_) events_->SetNotifyWindow(OaHwndFromWidget(listWindow_), kPlayerGraphEventMessage, rowIndex_);
}

void PreviewPlayer::SeekTo(std::int64_t frame, std::int64_t scale) {
    if (!seeking_) return;
    if (scale > 0 && scale != lastFrame_) frame = frame * lastFrame_ / scale;
    frame = std::clamp<std::int64_t>(frame, 0, lastFrame_);
    if (frame == currentFrame_) return;
    currentFrame_ = frame;
    SetPositions(frame, lastFrame_);
    if (playState_ != 2) Pause();
}

void PreviewPlayer::Step(int count) {
    const std::int64_t perStep = playState_ == 2 ? std::max(1, 1000 / std::max(1, frameDuration_) / 2) : 1;
    if (playState_ == 2) {
        LONGLONG current = 0, stop = 0;
        if (SUCCEEDED(seeking_->GetPositions(&current, &stop))) currentFrame_ = current;
    }
    SeekTo(currentFrame_ + std::int64_t{count} * perStep);
}

std::string PreviewPlayer::RecordingStamp() {
    const DvFrameInfo info = currentFrame_ == 0 ? firstFrame_ : InfoRecord();
    return RecordingStampText(info.recYear, info.recMonth, info.recDay, info.recHour, info.recMinute, info.recSecond,
                              info.tcHours, info.tcMinutes, info.tcSeconds, info.tcFrames);
}

DvFrameInfo PreviewPlayer::InfoRecord() const {
    DvFrameInfo info{};
    if (dvInfo_) dvInfo_->GetFrameInfo(&info);
    return info;
}

long PreviewPlayer::OnGraphEvent() {
    if (!events_) return 0;
    LONG code = 0;
    LONG_PTR first = 0, second = 0;
    if (events_->GetEvent(&code, &first, &second, 0) != S_OK) return 0;
    events_->FreeEventParams(code, first, second);
    return code;
}

bool PreviewPlayer::HandleGraphEvents() {
    bool ended = false;
    for (long code = OnGraphEvent(); code != 0; code = OnGraphEvent())
        if (code == EC_COMPLETE) ended = true;
    if (!ended) return false;
    // The stream stopped at the last frame; a late frame dropped on the way
    // must not leave the player short of it.
    Stop(false);
    SeekTo(lastFrame_);
    return true;
}

void PreviewPlayer::ToggleSound() {
    soundOn_ = !soundOn_;
    ApplyMute();
}

void PreviewPlayer::ApplyMute() {
    if (!audio_) return;
    if (soundOn_ && GetSetting(SettingId::MuteAll).number == 0) {
        audio_->put_Volume(savedVolume_);
        return;
    }
    LONG volume = 0;
    if (SUCCEEDED(audio_->get_Volume(&volume)) && volume != -10000) savedVolume_ = volume;
    audio_->put_Volume(-10000);
}

long PreviewPlayer::Volume() const {
    LONG volume = 0;
    if (audio_) audio_->get_Volume(&volume);
    return volume;
}

std::array<double, 2> PreviewPlayer::Levels() const {
    double first = 0, second = 0;
    if (meter_) meter_->GetLevels(&first, &second);
    return {first, second};
}

void PreviewPlayer::OnSettingChanged(SettingId id) {
    SettingsObserver::OnSettingChanged(id);
    if (!control_) return;
    if (id == SettingId::MuteAll) ApplyMute();
    if (id != SettingId::VideoResolution) return;
    const bool wasRunning = playState_ == 2;
    control_->Stop();
    SetDecoderResolution(GetSetting(SettingId::VideoResolution).number);
    playState_ = 0;
    MeasureDecodedSize();
    SetPositions(currentFrame_, lastFrame_);
    if (wasRunning)
        Run();
    else
        Pause();
}
