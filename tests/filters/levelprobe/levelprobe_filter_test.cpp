// The sound meter driven sample by sample, without a graph.
#include "filters/levelprobe/levelprobe.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "filters/memory_samples.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/base/memallocator.h"
#include "platform/media/formats.h"
#include "platform/media/uuids.h"

namespace {

// A meter as its class factory makes it, kept alive by its IBaseFilter.
struct Meter {
    Meter() {
        HRESULT hr = S_OK;
        CUnknown* object = LevelProbeFilter::CreateInstance(nullptr, &hr);
        filter = static_cast<LevelProbeFilter*>(object);
        object->NonDelegatingQueryInterface(IID_IBaseFilter, owner.GetVoidAddress());
    }
    HRESULT Accept(const CMediaType& mt) { return filter->CheckInputType(&mt); }
    std::pair<double, double> Levels() {
        std::pair<double, double> levels{-1.0, -1.0};
        EXPECT_EQ(filter->GetLevels(&levels.first, &levels.second), S_OK);
        return levels;
    }

    ComPtr<IBaseFilter> owner;
    LevelProbeFilter* filter = nullptr;
};

CMediaType PcmType(WORD bitsPerSample, WORD channels, WORD formatTag = WAVE_FORMAT_PCM) {
    CMediaType mt(&MEDIATYPE_Audio);
    mt.SetSubtype(&MEDIASUBTYPE_PCM);
    mt.SetFormatType(&FORMAT_WaveFormatEx);
    const WORD blockAlign = static_cast<WORD>(bitsPerSample / 8 * channels);
    const WAVEFORMATEX wave{formatTag, channels, 48000, 48000u * blockAlign, blockAlign, bitsPerSample, 0};
    mt.SetFormat(reinterpret_cast<const BYTE*>(&wave), sizeof wave);
    return mt;
}

// Every 16-bit sample at -32768 (0x8000, little-endian): full scale.
std::vector<BYTE> Loud16() {
    std::vector<BYTE> bytes(4096, 0x00);
    for (std::size_t i = 1; i < bytes.size(); i += 2) bytes[i] = 0x80;
    return bytes;
}
const std::vector<BYTE> kLoud16 = Loud16();
const std::vector<BYTE> kSilent(4096, 0x00);
constexpr std::pair<double, double> kFullScale{1.0, 1.0};
constexpr std::pair<double, double> kSilence{0.0, 0.0};

}  // namespace

TEST(LevelProbeFilter, AcceptsOnlyAudioOf8Or16BitPcm) {
    Meter meter;
    EXPECT_EQ(meter.Accept(PcmType(16, 2)), S_OK);
    EXPECT_EQ(meter.Accept(PcmType(8, 1)), S_OK);
    EXPECT_EQ(meter.Accept(PcmType(16, 6)), S_OK);
    EXPECT_EQ(meter.Accept(PcmType(24, 2)), VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(meter.Accept(PcmType(16, 2, 3)), VFW_E_TYPE_NOT_ACCEPTED);

    CMediaType unformatted(&MEDIATYPE_Audio);
    EXPECT_EQ(meter.Accept(unformatted), S_OK);
    CMediaType video = PcmType(16, 2);
    video.SetType(&MEDIATYPE_Video);
    EXPECT_EQ(meter.Accept(video), VFW_E_TYPE_NOT_ACCEPTED);
    CMediaType otherFormat = PcmType(16, 2);
    otherFormat.SetFormatType(&FORMAT_VideoInfo);
    EXPECT_EQ(meter.Accept(otherFormat), VFW_E_TYPE_NOT_ACCEPTED);
    // A block too short to hold the PCM fields is refused rather than read past its end.
    CMediaType shortBlock = PcmType(16, 2);
    shortBlock.AllocFormatBuffer(14);
    EXPECT_EQ(meter.Accept(shortBlock), VFW_E_TYPE_NOT_ACCEPTED);
    EXPECT_EQ(meter.filter->CheckInputType(nullptr), VFW_E_TYPE_NOT_ACCEPTED);
}

TEST(LevelProbeFilter, MeasuresTheNinthBufferAndEveryDiscontinuity) {
    Meter meter;
    kvtest::MemorySamples samples(4096);
    ASSERT_EQ(meter.Accept(PcmType(16, 2)), S_OK);
    for (int buffer = 1; buffer <= 8; ++buffer) {
        EXPECT_EQ(meter.filter->Transform(samples.Next(kLoud16).Get()), S_OK);
        EXPECT_EQ(meter.Levels(), kSilence) << "buffer " << buffer;
    }
    meter.filter->Transform(samples.Next(kLoud16).Get());
    EXPECT_EQ(meter.Levels(), kFullScale);

    // The next eight pass unmeasured, the one after is measured again.
    for (int buffer = 1; buffer <= 8; ++buffer) meter.filter->Transform(samples.Next(kSilent).Get());
    EXPECT_EQ(meter.Levels(), kFullScale);
    meter.filter->Transform(samples.Next(kSilent).Get());
    EXPECT_EQ(meter.Levels(), kSilence);

    meter.filter->Transform(samples.Next(kLoud16, true).Get());
    EXPECT_EQ(meter.Levels(), kFullScale);
    // An empty buffer is measured as silence.
    meter.filter->Transform(samples.Next({}, true).Get());
    EXPECT_EQ(meter.Levels(), kSilence);
}

TEST(LevelProbeFilter, FormatsWithoutLevelsReadSilence) {
    kvtest::MemorySamples samples(4096);
    CMediaType unformatted(&MEDIATYPE_Audio);

    Meter neverSawPcm;
    ASSERT_EQ(neverSawPcm.Accept(unformatted), S_OK);
    neverSawPcm.filter->Transform(samples.Next(kLoud16, true).Get());
    EXPECT_EQ(neverSawPcm.Levels(), kSilence);

    Meter sixChannels;
    ASSERT_EQ(sixChannels.Accept(PcmType(16, 6)), S_OK);
    sixChannels.filter->Transform(samples.Next(kLoud16, true).Get());
    EXPECT_EQ(sixChannels.Levels(), kSilence);

    // A type without a format block keeps the format recorded before.
    Meter keepsFormat;
    ASSERT_EQ(keepsFormat.Accept(PcmType(8, 1)), S_OK);
    ASSERT_EQ(keepsFormat.Accept(unformatted), S_OK);
    keepsFormat.filter->Transform(samples.Next(std::vector<BYTE>(4096, 0), true).Get());
    EXPECT_EQ(keepsFormat.Levels(), kFullScale);
}

TEST(LevelProbeFilter, InterfaceAndMisuse) {
    Meter meter;
    ComPtr<ILevelProbe> probe = meter.owner.As<ILevelProbe>();
    ASSERT_TRUE(probe);
    EXPECT_EQ(probe.As<IBaseFilter>(), meter.owner);
    double level = 0.0;
    EXPECT_EQ(probe->GetLevels(&level, nullptr), E_POINTER);
    EXPECT_EQ(probe->GetLevels(nullptr, &level), E_POINTER);
    EXPECT_EQ(meter.filter->Transform(nullptr), S_OK);

    // Sizing an allocator of its own needs the input's type: refused before the input connects.
    HRESULT hr = S_OK;
    ComPtr<IMemAllocator> allocator;
    CMemAllocator::CreateInstance(nullptr, &hr)->NonDelegatingQueryInterface(IID_IMemAllocator,
                                                                              allocator.GetVoidAddress());
    ALLOCATOR_PROPERTIES request{};
    EXPECT_EQ(meter.filter->DecideBufferSize(allocator.Get(), &request), E_UNEXPECTED);
}
