// The DV AVI source in graphs: files of ours (type 1 and 2) and of ffmpeg
// stream every frame and its sound unchanged, seeking in frames delivers the
// frame asked for first, bad files fail to load with a clear HRESULT, and a
// type-1 file plays through the DV splitter and decoder.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "dv_avi_files.h"
#include "graph_helpers.h"
#include "media_tools.h"
#include "payload_sink.h"
#include "platform/com/objbase.h"
#include "platform/com/task_memory.h"
#include "platform/com/utf.h"
#include "platform/media/control.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/uuids.h"
#include "support/media/test_types.h"
#include "support/temp_dir.h"

namespace {

using kvtest::PayloadSink;
using kvtest::PinOf;
using Frames = std::vector<std::vector<BYTE>>;

constexpr DWORD kWait = 20000;
constexpr std::size_t kClipFrames = 12;

std::vector<BYTE> Joined(const Frames& parts) {
    std::vector<BYTE> all;
    for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

Frames Slice(const Frames& frames, std::size_t first, std::size_t last) {
    return {frames.begin() + std::ptrdiff_t(first), frames.begin() + std::ptrdiff_t(last + 1)};
}

class AviSourceTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph_.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(graph_.As(&control_), S_OK);
        clip_ = kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = int(kClipFrames)});
        frames_ = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip_), 144000);
        for (const auto& frame : frames_) {
            std::vector<BYTE> pcm;
            ExtractDvAudio(frame, pcm, nullptr);
            pcm_.push_back(std::move(pcm));
        }
    }

    void TearDown() override {
        if (control_) control_->Stop();
    }

    // Streams as fast as the filters go, without a clock.
    void WithoutClock() {
        ComPtr<IMediaFilter> asFilter;
        ASSERT_EQ(graph_.As(&asFilter), S_OK);
        ASSERT_EQ(asFilter->SetSyncSource(nullptr), S_OK);
    }

    std::filesystem::path WriteOurs(const std::string& name, DvAviType type, bool withSound) {
        const auto path = dir_ / name;
        kvtest::WriteDvAvi(path, type, frames_, withSound ? pcm_ : Frames{});
        return path;
    }

    std::filesystem::path WriteWithFfmpeg(const std::string& name, const std::string& options) {
        const auto path = dir_ / name;
        EXPECT_EQ(kvtest::RunCommand("ffmpeg -nostdin -v error -y -i '" + clip_.string() + "' " + options + " '" +
                                     path.string() + "'")
                      .exitCode,
                  0);
        return path;
    }

    HRESULT AddSource(const std::filesystem::path& path) {
        source_.Reset();
        return graph_->AddSourceFilter(Utf8ToUtf16(path.string()).c_str(), nullptr, source_.GetAddressOf());
    }

    // A sink for source pin `id`, connected directly.
    ComPtr<PayloadSink> SinkFor(const char16_t* id, const std::u16string& name) {
        auto sink = PayloadSink::Create(kvtest::PartialType(GUID_NULL));
        EXPECT_EQ(graph_->AddFilter(sink.Get(), name.c_str()), S_OK);
        EXPECT_EQ(graph_->ConnectDirect(PinOf(source_.Get(), id), sink->InputPin(), nullptr), S_OK);
        return sink;
    }

    CMediaType PinType(const char16_t* id) {
        CMediaType type;
        EXPECT_EQ(PinOf(source_.Get(), id)->ConnectionMediaType(&type), S_OK);
        return type;
    }

    ComPtr<IMediaSeeking> PinSeeking(const char16_t* id) {
        ComPtr<IMediaSeeking> seeking;
        EXPECT_EQ(PinOf(source_.Get(), id)->QueryInterface(IID_IMediaSeeking, seeking.GetVoidAddress()), S_OK);
        return seeking;
    }

    kvtest::TempDir dir_;
    std::filesystem::path clip_;
    Frames frames_;
    Frames pcm_;
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IBaseFilter> source_;
};

TEST_F(AviSourceTest, OurType2FileStreamsEveryFrameWithItsSound) {
    WithoutClock();
    ASSERT_EQ(AddSource(WriteOurs("type2.avi", DvAviType::Type2, true)), S_OK);
    const auto video = SinkFor(u"Stream 00", u"video");
    const auto sound = SinkFor(u"Stream 01", u"sound");
    const CMediaType videoType = PinType(u"Stream 00");
    EXPECT_EQ(videoType.majortype, MEDIATYPE_Video);
    EXPECT_EQ(videoType.subtype, MEDIASUBTYPE_dvsd);
    EXPECT_EQ(videoType.formattype, FORMAT_VideoInfo);
    EXPECT_EQ(PinType(u"Stream 01").formattype, FORMAT_WaveFormatEx);

    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(video->WaitForEndOfStreams(1, kWait));
    ASSERT_TRUE(sound->WaitForEndOfStreams(1, kWait));
    EXPECT_EQ(video->Payloads(), frames_);
    EXPECT_EQ(Joined(sound->Payloads()), Joined(pcm_));
    const auto starts = video->StartTimes();
    ASSERT_EQ(starts.size(), kClipFrames);
    for (std::size_t i = 0; i < starts.size(); ++i) EXPECT_EQ(starts[i], REFERENCE_TIME(i) * 400000) << i;
}

TEST_F(AviSourceTest, OurType1FileGivesInterleavedDvWithItsDvInfo) {
    WithoutClock();
    ASSERT_EQ(AddSource(WriteOurs("type1.avi", DvAviType::Type1, false)), S_OK);
    EXPECT_EQ(PinOf(source_.Get(), u"Stream 01"), nullptr);
    const auto dv = SinkFor(u"Stream 00", u"dv");
    const CMediaType type = PinType(u"Stream 00");
    EXPECT_EQ(type.majortype, MEDIATYPE_Interleaved);
    EXPECT_EQ(type.formattype, FORMAT_DvInfo);
    ASSERT_EQ(type.cbFormat, sizeof(DVINFO));
    EXPECT_EQ(std::memcmp(type.pbFormat, &kvtest::kDvInfo625, sizeof(DVINFO)), 0);

    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(dv->WaitForEndOfStreams(1, kWait));
    EXPECT_EQ(dv->Payloads(), frames_);
}

TEST_F(AviSourceTest, PlaysWhatFfmpegWrote) {
    WithoutClock();
    const auto path = WriteWithFfmpeg("ffmpeg.avi", "-c:v dvvideo -c:a pcm_s16le");
    ASSERT_EQ(AddSource(path), S_OK);
    const auto video = SinkFor(u"Stream 00", u"video");
    const auto sound = SinkFor(u"Stream 01", u"sound");
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(video->WaitForEndOfStreams(1, kWait));
    ASSERT_TRUE(sound->WaitForEndOfStreams(1, kWait));
    EXPECT_EQ(video->Payloads().size(), kClipFrames);
    EXPECT_EQ(Joined(video->Payloads()), kvtest::FfmpegDvFrames(path));
    EXPECT_EQ(Joined(sound->Payloads()), kvtest::FfmpegPcm(path));
}

TEST_F(AviSourceTest, Type2WithoutSoundAndTruncatedFilesPlayWhatTheyHave) {
    WithoutClock();
    ASSERT_EQ(AddSource(WriteOurs("silent.avi", DvAviType::Type2, false)), S_OK);
    EXPECT_EQ(PinOf(source_.Get(), u"Stream 01"), nullptr);
    const auto silent = SinkFor(u"Stream 00", u"silent");

    // Cut off in the middle of frame 7, as by a crash while capturing.
    const auto whole = kvtest::ReadFileBytes(WriteOurs("whole.avi", DvAviType::Type2, true));
    const auto frame7 = std::search(whole.begin(), whole.end(), frames_[7].begin(), frames_[7].end());
    ASSERT_NE(frame7, whole.end());
    kvtest::WriteFileBytes(dir_ / "cut.avi", {whole.begin(), frame7 + 1000});
    ASSERT_EQ(AddSource(dir_ / "cut.avi"), S_OK);
    const auto cut = SinkFor(u"Stream 00", u"cut");
    const auto cutSound = SinkFor(u"Stream 01", u"cut sound");

    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(silent->WaitForEndOfStreams(1, kWait));
    ASSERT_TRUE(cut->WaitForEndOfStreams(1, kWait));
    ASSERT_TRUE(cutSound->WaitForEndOfStreams(1, kWait));
    EXPECT_EQ(silent->Payloads(), frames_);
    EXPECT_EQ(cut->Payloads(), Slice(frames_, 0, 6));
    EXPECT_EQ(Joined(cutSound->Payloads()), Joined(Slice(pcm_, 0, 6)));
}

TEST_F(AviSourceTest, SeekingInFramesDeliversThatFrameFirstWithItsSound) {
    WithoutClock();
    ASSERT_EQ(AddSource(WriteOurs("type2.avi", DvAviType::Type2, true)), S_OK);
    const auto video = SinkFor(u"Stream 00", u"video");
    const auto sound = SinkFor(u"Stream 01", u"sound");

    // Before running, through a pin: one frame, as a paused player shows it.
    const auto seeking = PinSeeking(u"Stream 01");
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    LONGLONG duration = 0;
    ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, LONGLONG(kClipFrames));
    LONGLONG seven = 7;
    ASSERT_EQ(seeking->SetPositions(&seven, AM_SEEKING_AbsolutePositioning, &seven, AM_SEEKING_AbsolutePositioning),
              S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(video->WaitForEndOfStreams(1, kWait));
    ASSERT_TRUE(sound->WaitForEndOfStreams(1, kWait));
    EXPECT_EQ(video->Payloads(), Slice(frames_, 7, 7));
    EXPECT_EQ(sound->Payloads(), Slice(pcm_, 7, 7));

    // Through the graph, while running, after the end: the span starts again at frame 3.
    ComPtr<IMediaSeeking> graphSeeking;
    ASSERT_EQ(graph_.As(&graphSeeking), S_OK);
    ASSERT_EQ(graphSeeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    ASSERT_EQ(graphSeeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(duration, LONGLONG(kClipFrames));
    LONGLONG three = 3, last = LONGLONG(kClipFrames) - 1;
    ASSERT_EQ(graphSeeking->SetPositions(&three, AM_SEEKING_AbsolutePositioning, &last,
                                         AM_SEEKING_AbsolutePositioning),
              S_OK);
    ASSERT_TRUE(video->WaitForEndOfStreams(2, kWait));
    ASSERT_TRUE(sound->WaitForEndOfStreams(2, kWait));
    EXPECT_EQ(video->PayloadsSinceFlush(), Slice(frames_, 3, kClipFrames - 1));
    EXPECT_EQ(Joined(sound->PayloadsSinceFlush()), Joined(Slice(pcm_, 3, kClipFrames - 1)));
    LONGLONG current = -1, stop = -1;
    ASSERT_EQ(graphSeeking->GetPositions(&current, &stop), S_OK);
    EXPECT_EQ(current, last);  // the frame last shown: the span played to its end
    EXPECT_EQ(stop, last);
}

// On the graph's clock the workers are held in Deliver while the renderers
// wait for each frame's time; a seek frees them, and frame 9 comes next.
TEST_F(AviSourceTest, SeekingWhileFramesWaitForTheirTime) {
    ASSERT_EQ(AddSource(WriteOurs("type2.avi", DvAviType::Type2, true)), S_OK);
    const auto video = SinkFor(u"Stream 00", u"video");
    const auto sound = SinkFor(u"Stream 01", u"sound");
    const auto seeking = PinSeeking(u"Stream 00");
    ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(video->WaitForSamples(2, kWait));
    LONGLONG nine = 9;
    ASSERT_EQ(seeking->SetPositions(&nine, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
    ASSERT_TRUE(video->WaitForEndOfStreams(1, kWait));
    ASSERT_TRUE(sound->WaitForEndOfStreams(1, kWait));
    EXPECT_EQ(video->PayloadsSinceFlush(), Slice(frames_, 9, kClipFrames - 1));
    EXPECT_EQ(Joined(sound->PayloadsSinceFlush()), Joined(Slice(pcm_, 9, kClipFrames - 1)));
}

TEST_F(AviSourceTest, BadFilesFailToLoadWithAClearResult) {
    std::vector<BYTE> garbage(5000);
    std::mt19937 noise(11);
    for (BYTE& b : garbage) b = BYTE(noise());
    kvtest::WriteFileBytes(dir_ / "garbage.avi", garbage);
    kvtest::WriteFileBytes(dir_ / "empty.avi", {});
    const auto wave = WriteWithFfmpeg("sound.wav", "");
    const auto mjpeg = WriteWithFfmpeg("mjpeg.avi", "-c:v mjpeg -an");

    EXPECT_EQ(AddSource(dir_ / "missing.avi"), VFW_E_NOT_FOUND);
    EXPECT_EQ(AddSource(dir_ / "empty.avi"), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(AddSource(dir_ / "garbage.avi"), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_EQ(AddSource(wave), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_EQ(AddSource(mjpeg), VFW_E_UNSUPPORTED_STREAM);
    EXPECT_EQ(AddSource(clip_), VFW_E_INVALID_FILE_FORMAT);  // raw DV, no RIFF
    EXPECT_EQ(graph_->RenderFile(Utf8ToUtf16((dir_ / "garbage.avi").string()).c_str(), nullptr),
              VFW_E_INVALID_FILE_FORMAT);
    // A source that failed to load does not stay in the graph.
    ComPtr<IEnumFilters> filters;
    ASSERT_EQ(graph_->EnumFilters(filters.GetAddressOf()), S_OK);
    ComPtr<IBaseFilter> any;
    EXPECT_EQ(filters->Next(1, any.GetAddressOf(), nullptr), S_FALSE);

    // The filter by its class: a missing file is named as such, and a loaded one keeps its file.
    ComPtr<IFileSourceFilter> direct;
    ASSERT_EQ(CoCreateInstance(CLSID_AviSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_IFileSourceFilter,
                               direct.GetVoidAddress()),
              S_OK);
    LPOLESTR name = nullptr;
    EXPECT_EQ(direct->GetCurFile(&name, nullptr), S_FALSE);
    EXPECT_EQ(direct->Load(Utf8ToUtf16((dir_ / "missing.avi").string()).c_str(), nullptr), HRESULT_FROM_WIN32(2));
    const std::u16string good = Utf8ToUtf16(WriteOurs("good.avi", DvAviType::Type1, false).string());
    ASSERT_EQ(direct->Load(good.c_str(), nullptr), S_OK);
    EXPECT_EQ(direct->Load(good.c_str(), nullptr), E_UNEXPECTED);
    ASSERT_EQ(direct->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(std::u16string(name), good);
    CoTaskMemFree(name);
}

// The program's file graph for a type-1 file, joined by the graph manager:
// source → DV splitter → DV decoder → RGB32, and the splitter's sound.
TEST_F(AviSourceTest, Type1FilePlaysThroughTheSplitterAndDecoder) {
    WithoutClock();
    ASSERT_EQ(AddSource(WriteOurs("type1.avi", DvAviType::Type1, false)), S_OK);
    ComPtr<IBaseFilter> splitter, decoder;
    ASSERT_EQ(CoCreateInstance(CLSID_DVSplitter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               splitter.GetVoidAddress()),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_DVVideoCodec, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               decoder.GetVoidAddress()),
              S_OK);
    const auto picture = PayloadSink::Create(kvtest::PartialType(MEDIATYPE_Video, MEDIASUBTYPE_RGB32));
    const auto sound = PayloadSink::Create(kvtest::PartialType(MEDIATYPE_Audio, MEDIASUBTYPE_PCM));
    ASSERT_EQ(graph_->AddFilter(splitter.Get(), u"DV Splitter"), S_OK);
    ASSERT_EQ(graph_->AddFilter(decoder.Get(), u"DV Video Decoder"), S_OK);
    ASSERT_EQ(graph_->AddFilter(picture.Get(), u"picture"), S_OK);
    ASSERT_EQ(graph_->AddFilter(sound.Get(), u"sound"), S_OK);
    ASSERT_EQ(graph_->Connect(PinOf(source_.Get(), u"Stream 00"), PinOf(splitter.Get(), u"Input")), S_OK);
    ASSERT_EQ(graph_->Connect(PinOf(splitter.Get(), u"DVVidOut0"), PinOf(decoder.Get(), u"XForm In")), S_OK);
    ASSERT_EQ(graph_->Connect(PinOf(decoder.Get(), u"XForm Out"), picture->InputPin()), S_OK);
    ASSERT_EQ(graph_->Connect(PinOf(splitter.Get(), u"AudOut00"), sound->InputPin()), S_OK);

    ASSERT_EQ(control_->Run(), S_OK);
    ASSERT_TRUE(picture->WaitForEndOfStreams(1, kWait));
    ASSERT_TRUE(sound->WaitForEndOfStreams(1, kWait));
    const auto pictures = picture->Payloads();
    ASSERT_EQ(pictures.size(), kClipFrames);
    // The decoder starts at quarter size: 180 x 144 RGB32.
    for (const auto& bitmap : pictures) EXPECT_EQ(bitmap.size(), 180u * 144u * 4u);
    EXPECT_EQ(Joined(sound->Payloads()), Joined(pcm_));
}

}  // namespace
