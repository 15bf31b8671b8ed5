// The file graph's platform filters running: a DV source feeding the DV
// splitter, the AVI multiplexer and the file writer as the program wires
// them, files judged by ffprobe, names never taken twice.
#include <gtest/gtest.h>

#include "dv_clip_source.h"
#include "graph_helpers.h"
#include "media_tools.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/task_memory.h"
#include "platform/com/utf.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/filters/avimux/avi_mux.h"
#include "platform/media/filters/dv/dv_audio.h"
#include "platform/media/filters/dvsplit/dv_splitter.h"
#include "platform/media/filters/filewriter/file_writer.h"
#include "platform/media/uuids.h"
#include "support/media/test_sink.h"
#include "support/temp_dir.h"

namespace {

using kvtest::PinOf;

ComPtr<IBaseFilter> Make(CUnknown* (*create)(IUnknown*, HRESULT*)) { return kvtest::MakeFilter(create); }

std::string CurrentFile(IFileSinkFilter* sink) {
    LPOLESTR name = nullptr;
    if (sink->GetCurFile(&name, nullptr) != S_OK) return {};
    std::string text = Utf16ToUtf8(name);
    CoTaskMemFree(name);
    return text;
}

class FileGraphTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph_.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(graph_.As(&control_), S_OK);
        ASSERT_EQ(graph_.As(&events_), S_OK);
        ComPtr<IMediaFilter> asFilter;
        ASSERT_EQ(graph_.As(&asFilter), S_OK);
        ASSERT_EQ(asFilter->SetSyncSource(nullptr), S_OK);  // stream as fast as the filters go

        const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = 12});
        frames_ = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), 144000);
        for (const auto& frame : frames_) {
            std::vector<BYTE> pcm;
            ExtractDvAudio(frame, pcm, nullptr);
            allPcm_.insert(allPcm_.end(), pcm.begin(), pcm.end());
            pcm_.push_back(std::move(pcm));
        }
        mux_ = Make(CAviMux::CreateInstance);
        writer_ = Make(CFileWriter::CreateInstance);
        ASSERT_TRUE(mux_ && writer_);
        ASSERT_EQ(writer_.As(&sink_), S_OK);
    }

    // Source → mux → writer, as the file graph is wired.
    void Build(bool interleaved, bool withAudio) {
        source_ = kvtest::DvClipSource::Create({frames_, withAudio ? pcm_ : std::vector<std::vector<BYTE>>{},
                                                interleaved, true});
        ASSERT_EQ(graph_->AddFilter(source_.Get(), u"Frame Client"), S_OK);
        ConnectMuxAndWriter();
        ASSERT_EQ(graph_->ConnectDirect(source_->Pin(0), PinOf(mux_.Get(), u"Input 00"), nullptr), S_OK);
        if (withAudio) {
            ASSERT_EQ(graph_->ConnectDirect(source_->Pin(1), PinOf(mux_.Get(), u"Input 01"), nullptr), S_OK);
        }
    }

    void ConnectMuxAndWriter() {
        ASSERT_EQ(graph_->AddFilter(writer_.Get(), u"File Sink"), S_OK);
        ASSERT_EQ(graph_->AddFilter(mux_.Get(), u"AVI Mux"), S_OK);
        ASSERT_EQ(graph_->ConnectDirect(PinOf(mux_.Get(), u"AVI Out"), PinOf(writer_.Get(), u"in"), nullptr), S_OK);
    }

    // Runs until the writer reports the end of the stream, then stops (which closes the file).
    void RunToCompletion() {
        ASSERT_EQ(SUCCEEDED(control_->Run()), true);
        LONG code = 0;
        LONG_PTR p1 = 0, p2 = 0;
        while (events_->GetEvent(&code, &p1, &p2, 10000) == S_OK) {
            events_->FreeEventParams(code, p1, p2);
            ASSERT_NE(code, EC_ERRORABORT);
            if (code == EC_COMPLETE) break;
        }
        ASSERT_EQ(code, EC_COMPLETE);
        ASSERT_EQ(control_->Stop(), S_OK);
    }

    kvtest::TempDir dir_;
    std::vector<std::vector<BYTE>> frames_;
    std::vector<std::vector<BYTE>> pcm_;
    std::vector<BYTE> allPcm_;
    ComPtr<IGraphBuilder> graph_;
    ComPtr<IMediaControl> control_;
    ComPtr<IMediaEventEx> events_;
    ComPtr<kvtest::DvClipSource> source_;
    ComPtr<IBaseFilter> mux_;
    ComPtr<IBaseFilter> writer_;
    ComPtr<IFileSinkFilter> sink_;
};

TEST_F(FileGraphTest, VideoAndAudioInputsMakeAType2File) {
    Build(false, true);
    // The program joins folder and name with a backslash.
    const std::string wanted = dir_.path().string() + "\\scene.avi";
    ASSERT_EQ(sink_->SetFileName(Utf8ToUtf16(wanted).c_str(), nullptr), S_OK);
    RunToCompletion();

    const auto file = dir_ / "scene.avi";
    EXPECT_EQ(CurrentFile(sink_.Get()), file.string());
    auto video = kvtest::ProbeStream(file, "v:0");
    EXPECT_EQ(video["codec_name"], "dvvideo");
    EXPECT_EQ(video["nb_read_packets"], "12");
    EXPECT_EQ(kvtest::ProbeStream(file, "a:0")["codec_name"], "pcm_s16le");
    EXPECT_EQ(kvtest::FfmpegPcm(file), allPcm_);
}

TEST_F(FileGraphTest, InterleavedInputMakesAType1File) {
    Build(true, false);
    ASSERT_EQ(sink_->SetFileName(Utf8ToUtf16((dir_ / "type1.avi").string()).c_str(), nullptr), S_OK);
    RunToCompletion();
    const auto file = dir_ / "type1.avi";
    EXPECT_EQ(kvtest::ProbeStream(file, "v:0")["nb_read_packets"], "12");
    EXPECT_EQ(kvtest::FfmpegPcm(file), allPcm_);  // the audio is the DV frames' own
}

// Two scenes in the same second get the same name: the second must not replace the first.
TEST_F(FileGraphTest, ATakenNameIsNumberedAndANewNameWaitsForTheNextRun) {
    Build(false, true);
    const auto taken = dir_ / "Tape 2004-07-14 10.22.31.avi";
    kvtest::WriteFileBytes(taken, {'k', 'e', 'e', 'p'});
    ASSERT_EQ(sink_->SetFileName(Utf8ToUtf16(taken.string()).c_str(), nullptr), S_OK);
    RunToCompletion();
    const auto second = dir_ / "Tape 2004-07-14 10.22.31 (2).avi";
    EXPECT_EQ(CurrentFile(sink_.Get()), second.string());
    EXPECT_EQ(kvtest::ReadFileBytes(taken), (std::vector<BYTE>{'k', 'e', 'e', 'p'}));
    EXPECT_EQ(kvtest::ProbeStream(second, "v:0")["nb_read_packets"], "12");

    // Set while running, a new name is for the next run; this run's file keeps its name.
    ASSERT_EQ(SUCCEEDED(control_->Run()), true);
    ASSERT_EQ(sink_->SetFileName(Utf8ToUtf16((dir_ / "next.avi").string()).c_str(), nullptr), S_OK);
    LONG code = 0;
    LONG_PTR p1 = 0, p2 = 0;
    while (events_->GetEvent(&code, &p1, &p2, 10000) == S_OK && code != EC_COMPLETE)
        events_->FreeEventParams(code, p1, p2);
    EXPECT_EQ(CurrentFile(sink_.Get()), (dir_ / "Tape 2004-07-14 10.22.31 (3).avi").string());
    ASSERT_EQ(control_->Stop(), S_OK);
    EXPECT_EQ(kvtest::ProbeStream(dir_ / "Tape 2004-07-14 10.22.31 (3).avi", "v:0")["nb_read_packets"], "12");
    RunToCompletion();
    EXPECT_EQ(CurrentFile(sink_.Get()), (dir_ / "next.avi").string());
    EXPECT_EQ(kvtest::ProbeStream(dir_ / "next.avi", "v:0")["nb_read_packets"], "12");
}

// The type-2 file graph: interleaved DV → DV splitter → multiplexer → file writer.
TEST_F(FileGraphTest, SplitterFeedsTheMultiplexerAType2File) {
    source_ = kvtest::DvClipSource::Create({frames_, {}, true, true});
    const ComPtr<IBaseFilter> splitter = Make(CDvSplitter::CreateInstance);
    ASSERT_TRUE(splitter);
    ASSERT_EQ(graph_->AddFilter(source_.Get(), u"Frame Client"), S_OK);
    ASSERT_EQ(graph_->AddFilter(splitter.Get(), u"DV Capture Splitter"), S_OK);
    ConnectMuxAndWriter();
    ASSERT_EQ(graph_->ConnectDirect(source_->Pin(0), PinOf(splitter.Get(), u"Input"), nullptr), S_OK);
    ASSERT_EQ(graph_->ConnectDirect(PinOf(splitter.Get(), u"DVVidOut0"), PinOf(mux_.Get(), u"Input 00"), nullptr), S_OK);
    ASSERT_EQ(graph_->ConnectDirect(PinOf(splitter.Get(), u"AudOut00"), PinOf(mux_.Get(), u"Input 01"), nullptr), S_OK);
    const auto file = dir_ / "split.avi";
    ASSERT_EQ(sink_->SetFileName(Utf8ToUtf16(file.string()).c_str(), nullptr), S_OK);
    RunToCompletion();

    auto video = kvtest::ProbeStream(file, "v:0");
    EXPECT_EQ(video["codec_name"], "dvvideo");
    EXPECT_EQ(video["nb_read_packets"], "12");
    auto audio = kvtest::ProbeStream(file, "a:0");
    EXPECT_EQ(audio["sample_rate"], "48000");
    EXPECT_EQ(kvtest::FfmpegPcm(file), allPcm_);
    EXPECT_EQ(kvtest::FfmpegDvFrames(file), kvtest::ReadFileBytes(dir_ / "pal_48000_12.dv"));
}

// A tape whose audio changes from 48 to 32 kHz: the new type comes with the first sample in it.
TEST_F(FileGraphTest, SplitterAnnouncesAnAudioRateChangeOnTheSample) {
    const auto later = kvtest::SplitDvFrames(
        kvtest::ReadFileBytes(kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 32000, .frames = 12})),
        144000);
    std::vector<std::vector<BYTE>> tape = frames_;
    tape.insert(tape.end(), later.begin(), later.end());
    std::size_t expectedBytes = allPcm_.size();
    for (const auto& frame : later) {
        std::vector<BYTE> pcm;
        ExtractDvAudio(frame, pcm, nullptr);
        expectedBytes += pcm.size();
    }
    source_ = kvtest::DvClipSource::Create({tape, {}, true, true});
    const ComPtr<IBaseFilter> splitter = Make(CDvSplitter::CreateInstance);
    const ComPtr<kvtest::TestSink> sink = kvtest::TestSink::Create();
    ASSERT_EQ(graph_->AddFilter(source_.Get(), u"Source"), S_OK);
    ASSERT_EQ(graph_->AddFilter(splitter.Get(), u"Splitter"), S_OK);
    ASSERT_EQ(graph_->AddFilter(sink.Get(), u"Sink"), S_OK);
    ASSERT_EQ(graph_->ConnectDirect(source_->Pin(0), PinOf(splitter.Get(), u"Input"), nullptr), S_OK);
    ASSERT_EQ(graph_->ConnectDirect(PinOf(splitter.Get(), u"AudOut00"), sink->InputPin(), nullptr), S_OK);
    ASSERT_EQ(SUCCEEDED(control_->Run()), true);
    ASSERT_TRUE(sink->WaitForEndOfStream(10000));
    EXPECT_EQ(sink->Samples(), 24);
    EXPECT_EQ(sink->Bytes(), LONGLONG(expectedBytes));
    const CMediaType now = sink->ConnectionType();
    ASSERT_GE(now.cbFormat, sizeof(WAVEFORMATEX));
    EXPECT_EQ(reinterpret_cast<const WAVEFORMATEX*>(now.pbFormat)->nSamplesPerSec, 32000u);
    ASSERT_EQ(control_->Stop(), S_OK);
}

}  // namespace
