// libdvstamp.so as the program meets it: registered by korvanta-regsvr into
// the test's own registry, created by its CLSID, and streaming in a graph
// from a DV source to a sink while another thread reads its record.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <fstream>
#include <thread>

#include "dv_clip_source.h"
#include "dvshared/dv_frame_reader.h"
#include "filters/dvstamp/idvstamp.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/registry_key.h"
#include "platform/com/variant.h"
#include "platform/media/control.h"
#include "platform/media/evcode.h"
#include "platform/media/uuids.h"
#include "support/dv/dv_clips.h"
#include "support/media/test_sink.h"
#include "support/temp_dir.h"
#include "tests/platform/com/child_process.h"

namespace {

using kvtest::RunChild;

const std::string kRegsvr = KVTEST_REGSVR;
const std::string kModule = KVTEST_DVSTAMP_MODULE;
const DvFrameInfo kZeros{};

ComPtr<IBaseFilter> CreateStamp() {
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(CoCreateInstance(CLSID_DvStamp, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                               filter.GetVoidAddress()),
              S_OK);
    return filter;
}

ComPtr<IPin> PinOf(IBaseFilter* filter, const char16_t* name) {
    ComPtr<IPin> pin;
    EXPECT_EQ(filter->FindPin(name, pin.GetAddressOf()), S_OK);
    return pin;
}

// The names of the filters the mapper offers for a DV input at the lowest merit.
std::vector<std::u16string> FiltersTakingDv() {
    ComPtr<IFilterMapper2> mapper;
    EXPECT_EQ(CoCreateInstance(CLSID_FilterMapper2, nullptr, CLSCTX_INPROC_SERVER, IID_IFilterMapper2,
                               mapper.GetVoidAddress()),
              S_OK);
    const GUID types[] = {MEDIATYPE_Interleaved, MEDIASUBTYPE_dvsd};
    ComPtr<IEnumMoniker> monikers;
    EXPECT_EQ(mapper->EnumMatchingFilters(monikers.GetAddressOf(), 0, FALSE, MERIT_DO_NOT_USE, TRUE, 1, types,
                                          nullptr, nullptr, FALSE, TRUE, 1, types, nullptr, nullptr),
              S_OK);
    std::vector<std::u16string> names;
    ComPtr<IMoniker> moniker;
    while (monikers && monikers->Next(1, moniker.GetAddressOf(), nullptr) == S_OK) {
        ComPtr<IPropertyBag> bag;
        EXPECT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.GetVoidAddress()), S_OK);
        VARIANT name;
        VariantInit(&name);
        EXPECT_EQ(bag->Read(u"FriendlyName", &name, nullptr), S_OK);
        names.emplace_back(name.bstrVal);
        VariantClear(&name);
    }
    return names;
}

TEST(DvStampModule, RegistersItselfAndIsCreatedByClsidUntilUnregistered) {
    const auto registered = RunChild({kRegsvr, kModule});
    ASSERT_EQ(registered.exitCode, 0) << registered.output;

    RegKey server;
    const std::string serverKey = "CLSID\\" + GuidToString(CLSID_DvStamp) + "\\InprocServer32";
    ASSERT_EQ(server.Open(HKEY_CLASSES_ROOT, serverKey.c_str()), ERROR_SUCCESS);
    std::string path, threadingModel;
    EXPECT_EQ(server.QueryString(nullptr, &path), ERROR_SUCCESS);
    EXPECT_EQ(path, std::filesystem::canonical(kModule).string());
    EXPECT_EQ(server.QueryString("ThreadingModel", &threadingModel), ERROR_SUCCESS);
    EXPECT_EQ(threadingModel, "Both");

    const auto listed = RunChild({kRegsvr, "--list"});
    EXPECT_NE(listed.output.find(GuidToString(CLSID_DvStamp) + "\tTarvik DV Video Info\tmerit 0x00200000"),
              std::string::npos)
        << listed.output;
    EXPECT_EQ(FiltersTakingDv(), std::vector<std::u16string>{u"Tarvik DV Video Info"});

    {
        ComPtr<IBaseFilter> filter = CreateStamp();
        ASSERT_TRUE(filter);
        ComPtr<IDvStamp> stamp = filter.As<IDvStamp>();
        ASSERT_TRUE(stamp);
        DvFrameInfo info;
        std::memset(static_cast<void*>(&info), 0x5A, sizeof info);  // a marker GetFrameInfo must overwrite
        EXPECT_EQ(stamp->GetFrameInfo(&info), S_OK);
        EXPECT_EQ(std::memcmp(&info, &kZeros, sizeof info), 0);
        EXPECT_TRUE(PinOf(filter.Get(), u"Input"));
        EXPECT_TRUE(PinOf(filter.Get(), u"Output"));
    }

    const auto unregistered = RunChild({kRegsvr, "-u", kModule});
    ASSERT_EQ(unregistered.exitCode, 0) << unregistered.output;
    ComPtr<IUnknown> object;
    EXPECT_EQ(CoCreateInstance(CLSID_DvStamp, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, object.GetVoidAddress()),
              REGDB_E_CLASSNOTREG);
    EXPECT_TRUE(FiltersTakingDv().empty());
}

// Clip source -> "DV Video Info" -> sink, in a graph made through COM, with the filter from the registered module.
class DvStampGraph : public testing::Test {
protected:
    void SetUp() override {
        const auto registered = RunChild({kRegsvr, kModule});
        ASSERT_EQ(registered.exitCode, 0) << registered.output;
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(graph.As(&control), S_OK);
        ASSERT_EQ(graph.As(&events), S_OK);
        // Without a clock the sink takes every sample at once: streaming runs flat out.
        ComPtr<IMediaFilter> asFilter;
        ASSERT_EQ(graph.As(&asFilter), S_OK);
        ASSERT_EQ(asFilter->SetSyncSource(nullptr), S_OK);
    }

    void Build(const std::filesystem::path& clip, LONG samples) {
        source = kvtest::DvClipSource::Create(clip, samples);
        filter = CreateStamp();
        ASSERT_TRUE(filter);
        stamp = filter.As<IDvStamp>();
        sink = kvtest::TestSink::Create();
        ASSERT_EQ(graph->AddFilter(source.Get(), u"DV Source"), S_OK);
        ASSERT_EQ(graph->AddFilter(filter.Get(), u"DV Video Info"), S_OK);
        ASSERT_EQ(graph->AddFilter(sink.Get(), u"Sink"), S_OK);
        ASSERT_EQ(graph->Connect(source->OutputPin(), PinOf(filter.Get(), u"Input").Get()), S_OK);
        ASSERT_EQ(graph->Connect(PinOf(filter.Get(), u"Output").Get(), sink->InputPin()), S_OK);
    }

    void RunToCompletion() {
        ASSERT_EQ(control->Run(), S_OK);
        LONG code = 0;
        ASSERT_EQ(events->WaitForCompletion(120'000, &code), S_OK);
        EXPECT_EQ(code, EC_COMPLETE);
        EXPECT_EQ(control->Stop(), S_OK);
    }

    DvFrameInfo Info() {
        DvFrameInfo info{};
        EXPECT_EQ(stamp->GetFrameInfo(&info), S_OK);
        return info;
    }

    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<IMediaEventEx> events;
    ComPtr<kvtest::DvClipSource> source;
    ComPtr<IBaseFilter> filter;
    ComPtr<IDvStamp> stamp;
    ComPtr<kvtest::TestSink> sink;
};

TEST_F(DvStampGraph, PassesEveryFrameAndKeepsTheLastOnesRecordAfterStop) {
    kvtest::DvClipSpec recipe;
    recipe.system = kvtest::DvSystem::Pal625;
    recipe.wide = true;
    recipe.creationTime = {2011, 7, 9, 8, 7, 6};
    recipe.startTimeCode = {0, 59, 59, 20};
    recipe.frames = 8;
    Build(kvtest::MakeDvClip(recipe), 8);
    RunToCompletion();

    EXPECT_EQ(sink->Samples(), 8);
    EXPECT_EQ(sink->Bytes(), 8LL * 144000);
    const DvFrameInfo info = Info();
    EXPECT_EQ(info.is625, 1);
    EXPECT_EQ(info.wide, 1);
    EXPECT_EQ(info.frameMs, 40);
    EXPECT_EQ(info.tcHours, 1);  // 00:59:59.20 + 7 frames
    EXPECT_EQ(info.tcMinutes, 0);
    EXPECT_EQ(info.tcSeconds, 0);
    EXPECT_EQ(info.tcFrames, 2);
    EXPECT_EQ(info.recYear, 2011);
    EXPECT_EQ(info.recMonth, 7);
    EXPECT_EQ(info.recDay, 9);
    EXPECT_EQ(info.recHour, 8);
    EXPECT_EQ(info.recMinute, 7);
    EXPECT_EQ(info.recSecond, 6);
}

// Frames of two clips alternate, differing in every field but the system:
// a record read while streaming must be one of the two (or the zeros before
// the first frame), never a mixture.
TEST_F(DvStampGraph, RecordReadWhileStreamingIsAlwaysOneFramesWhole) {
    kvtest::DvClipSpec first;
    first.wide = true;
    first.creationTime = {2001, 1, 1, 1, 1, 1};
    first.startTimeCode = {1, 1, 1, 1};
    first.frames = 1;
    kvtest::DvClipSpec second;
    second.wide = false;
    second.creationTime = {2012, 12, 22, 22, 22, 22};
    second.startTimeCode = {22, 22, 22, 22};
    second.frames = 1;
    auto a = kvtest::MakeDvFrames(first).at(0);
    auto b = kvtest::MakeDvFrames(second).at(0);

    kvtest::TempDir folder;
    const auto clip = folder / "alternating.dv";
    {
        std::ofstream out(clip, std::ios::binary);
        out.write(reinterpret_cast<const char*>(a.data()), static_cast<std::streamsize>(a.size()));
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    DvFrameInfo recordA{};
    DvFrameInfo recordB{};
    DvFrameReader reader;
    reader.Attach(a.data(), static_cast<std::uint32_t>(a.size()));
    ASSERT_TRUE(reader.FillInfo(recordA));
    reader.Attach(b.data(), static_cast<std::uint32_t>(b.size()));
    ASSERT_TRUE(reader.FillInfo(recordB));

    constexpr LONG kSamples = 1500;
    Build(clip, kSamples);

    std::atomic<bool> streaming{true};
    std::atomic<long> reads{0};
    std::atomic<long> torn{0};
    std::thread program([&] {
        while (streaming) {
            DvFrameInfo info{};
            stamp->GetFrameInfo(&info);
            const bool whole = std::memcmp(&info, &recordA, sizeof info) == 0 ||
                               std::memcmp(&info, &recordB, sizeof info) == 0 ||
                               std::memcmp(&info, &kZeros, sizeof info) == 0;
            if (!whole) ++torn;
            ++reads;
        }
    });
    RunToCompletion();
    streaming = false;
    program.join();

    EXPECT_EQ(sink->Samples(), kSamples);
    EXPECT_GT(reads.load(), 0);
    EXPECT_EQ(torn.load(), 0) << reads.load();
    const DvFrameInfo last = Info();
    EXPECT_EQ(std::memcmp(&last, &recordB, sizeof last), 0);  // the last sample is frame b
}

}  // namespace
