// The DV video info filter driven sample by sample, without a graph.
#include "filters/dvstamp/dvstamp_filter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "filters/memory_samples.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/uuids.h"
#include "support/dv/dv_clips.h"
#include "support/dv/dv_frame_builder.h"

namespace {

using kvtest::DvSystem;

// A filter as its class factory makes it, kept alive by its IBaseFilter.
struct Stamp {
    Stamp() {
        HRESULT hr = S_OK;
        CUnknown* object = DvStampFilter::CreateInstance(nullptr, &hr);
        filter = static_cast<DvStampFilter*>(object);
        object->NonDelegatingQueryInterface(IID_IBaseFilter, owner.GetVoidAddress());
    }
    DvFrameInfo Info() {
        DvFrameInfo info;
        std::memset(static_cast<void*>(&info), 0x5A, sizeof info);  // a marker GetFrameInfo must overwrite
        EXPECT_EQ(filter->GetFrameInfo(&info), S_OK);
        return info;
    }

    ComPtr<IBaseFilter> owner;
    DvStampFilter* filter = nullptr;
};

bool SameBytes(const DvFrameInfo& a, const DvFrameInfo& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A record as the reader makes it from a frame, starting from zeros.
DvFrameInfo Expected(std::vector<std::uint8_t> frame) {
    DvFrameReader reader;
    reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
    DvFrameInfo info{};
    EXPECT_TRUE(reader.FillInfo(info));
    return info;
}

std::vector<std::uint8_t> WideFrame() {
    kvtest::DvClipSpec recipe;
    recipe.wide = true;
    recipe.creationTime = {2003, 12, 24, 15, 30, 5};
    recipe.startTimeCode = {0, 12, 34, 10};
    recipe.frames = 1;
    return kvtest::MakeDvFrames(recipe).at(0);
}

TEST(DvStampFilter, RecordIsZeroBeforeTheFirstFrame) {
    Stamp stamp;
    EXPECT_TRUE(SameBytes(stamp.Info(), DvFrameInfo{}));
    EXPECT_EQ(stamp.filter->GetFrameInfo(nullptr), E_POINTER);
}

TEST(DvStampFilter, AcceptsDvsdOfAnyMajorTypeOnly) {
    Stamp stamp;
    for (const GUID* major : {&MEDIATYPE_Interleaved, &MEDIATYPE_Video, &GUID_NULL}) {
        CMediaType mt(major);
        mt.SetSubtype(&MEDIASUBTYPE_dvsd);
        EXPECT_EQ(stamp.filter->CheckInputType(&mt), S_OK);
    }
    for (const GUID* subtype : {&MEDIASUBTYPE_dvhd, &MEDIASUBTYPE_dvsl, &GUID_NULL}) {
        CMediaType mt(&MEDIATYPE_Interleaved);
        mt.SetSubtype(subtype);
        EXPECT_EQ(stamp.filter->CheckInputType(&mt), E_INVALIDARG);
    }
    EXPECT_EQ(stamp.filter->CheckInputType(nullptr), E_POINTER);
}

TEST(DvStampFilter, DecodesEachFrameAndLeavesItsBytesAlone) {
    Stamp stamp;
    kvtest::MemorySamples samples(144000);
    const auto wide = WideFrame();
    auto sample = samples.Next(wide);
    ASSERT_EQ(stamp.filter->Transform(sample.Get()), S_OK);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    EXPECT_EQ(std::memcmp(data, wide.data(), wide.size()), 0);

    const DvFrameInfo info = stamp.Info();
    EXPECT_TRUE(SameBytes(info, Expected(wide)));
    EXPECT_EQ(info.wide, 1);
    EXPECT_EQ(info.recYear, 2003);
    EXPECT_EQ(info.tcSeconds, 34);

    // A frame without time code and date packs changes only system, 16:9 flag and duration.
    ASSERT_EQ(stamp.filter->Transform(samples.Next(kvtest::BlankDvFrame(DvSystem::Ntsc525)).Get()), S_OK);
    DvFrameInfo kept = Expected(wide);
    kept.is625 = 0;
    kept.wide = 0;
    kept.frameMs = 33;
    EXPECT_TRUE(SameBytes(stamp.Info(), kept));
}

// Samples that are not whole frames leave the record as the last whole frame
// set it, even when the recycled buffer still holds an earlier frame's bytes.
TEST(DvStampFilter, ShortAndEmptySamplesLeaveTheRecord) {
    Stamp stamp;
    kvtest::MemorySamples samples(144000);
    const auto wide = WideFrame();
    ASSERT_EQ(stamp.filter->Transform(samples.Next(wide).Get()), S_OK);
    const DvFrameInfo before = stamp.Info();

    auto ntsc = kvtest::BlankDvFrame(DvSystem::Ntsc525);
    const std::vector<std::uint8_t> truncated(ntsc.begin(), ntsc.end() - 1);
    ASSERT_EQ(stamp.filter->Transform(samples.Next(truncated).Get()), S_OK);
    EXPECT_TRUE(SameBytes(stamp.Info(), before));

    auto empty = samples.Next(wide);
    empty->SetActualDataLength(0);
    ASSERT_EQ(stamp.filter->Transform(empty.Get()), S_OK);
    EXPECT_TRUE(SameBytes(stamp.Info(), before));
    EXPECT_EQ(stamp.filter->Transform(nullptr), E_POINTER);
}

TEST(DvStampFilter, AllOnesAndRandomFramesPassWithoutHarm) {
    Stamp stamp;
    kvtest::MemorySamples samples(144000);
    ASSERT_EQ(stamp.filter->Transform(samples.Next(std::vector<std::uint8_t>(144000, 0xFF)).Get()), S_OK);
    const DvFrameInfo dropout = stamp.Info();
    EXPECT_EQ(dropout.is625, 1);
    EXPECT_EQ(dropout.wide, 0);
    EXPECT_EQ(dropout.frameMs, 40);
    EXPECT_EQ(dropout.tcHours, 0);

    std::mt19937 random(7);
    std::vector<std::uint8_t> noise(144000);
    for (int round = 0; round < 8; ++round) {
        for (auto& b : noise) b = static_cast<std::uint8_t>(random());
        EXPECT_EQ(stamp.filter->Transform(samples.Next(noise).Get()), S_OK);
    }
}

TEST(DvStampFilter, InterfaceBelongsToTheFilterObject) {
    Stamp stamp;
    ComPtr<IDvStamp> info = stamp.owner.As<IDvStamp>();
    ASSERT_TRUE(info);
    EXPECT_EQ(info.As<IBaseFilter>(), stamp.owner);
    CLSID clsid{};
    EXPECT_EQ(stamp.owner->GetClassID(&clsid), S_OK);
    EXPECT_EQ(clsid, CLSID_DvStamp);
}

}  // namespace
