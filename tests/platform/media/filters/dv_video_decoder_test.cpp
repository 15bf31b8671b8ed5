// The DV video decoder against ffmpeg's own rendering of the same frame, at
// every resolution step, in Windows DIB row order.
#include "platform/media/filters/dv/dv_video_decoder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <random>

#include "media_tools.h"
#include "support/temp_dir.h"

namespace {

// The first frame of a clip as ffmpeg decodes it at `lowres`: BGRA rows, top row first.
std::vector<BYTE> FfmpegPicture(const std::filesystem::path& clip, int lowres) {
    const auto out = kvtest::RunCommand("ffmpeg -nostdin -v error -lowres " + std::to_string(lowres) + " -i '" +
                                        clip.string() + "' -frames:v 1 -pix_fmt bgra -f rawvideo -");
    return {out.output.begin(), out.output.end()};
}

// Mean difference per colour byte between a DIB, read bottom-up or top-down, and a top-down picture.
double MeanDifference(const std::vector<BYTE>& dib, bool bottomUp, const std::vector<BYTE>& topDown, LONG width,
                      LONG height) {
    const std::size_t row = std::size_t(width) * 4;
    double sum = 0;
    for (LONG y = 0; y < height; ++y)
        for (std::size_t x = 0; x < row; x += 4)
            for (std::size_t c = 0; c < 3; ++c)
                sum += std::abs(int(dib[std::size_t(bottomUp ? height - 1 - y : y) * row + x + c]) -
                               int(topDown[y * row + x + c]));
    return sum / (double(width) * height * 3);
}

class DvVideoDecoderTest : public ::testing::Test {
protected:
    kvtest::TempDir dir_;
};

TEST_F(DvVideoDecoderTest, EveryResolutionStepMatchesFfmpegBottomRowFirst) {
    struct Case {
        bool pal;
        int lowres;
        LONG width;
        LONG height;
    };
    for (const Case& c : {Case{true, 0, 720, 576}, Case{true, 1, 360, 288}, Case{true, 2, 180, 144},
                          Case{true, 3, 90, 72}, Case{false, 0, 720, 480}, Case{false, 2, 180, 120}}) {
        SCOPED_TRACE(std::to_string(c.width) + "x" + std::to_string(c.height));
        const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = c.pal, .sampleRate = 48000, .frames = 3});
        const auto frames = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), DvSystemFor(c.pal).frameBytes);
        DvVideoDecoder decoder;
        ASSERT_EQ(decoder.Open(DvSystemFor(c.pal), c.lowres), S_OK);
        EXPECT_EQ(decoder.Width(), c.width);
        EXPECT_EQ(decoder.Height(), c.height);
        ASSERT_EQ(decoder.ImageBytes(), DWORD(c.width * c.height * 4));
        std::vector<BYTE> dib(decoder.ImageBytes());
        ASSERT_EQ(decoder.Decode(frames[0], dib), S_OK);

        const std::vector<BYTE> reference = FfmpegPicture(clip, c.lowres);
        ASSERT_EQ(reference.size(), dib.size());
        // The scalers round and filter chroma differently, most visibly at DC size;
        // read the wrong way up the picture differs by far more.
        const double difference = MeanDifference(dib, true, reference, c.width, c.height);
        EXPECT_LT(difference, 4.0);
        EXPECT_LT(difference * 4, MeanDifference(dib, false, reference, c.width, c.height));
        for (std::size_t alpha = 3; alpha < dib.size(); alpha += 4) ASSERT_EQ(dib[alpha], 255) << alpha;
    }
}

// With ffmpeg's own scaler settings the picture is the same to the byte: whole
// rows written straight into an exact buffer leave no trace in their neighbours.
TEST_F(DvVideoDecoderTest, FullAndHalfSizeEqualFfmpegsScalerByteForByte) {
    for (const bool pal : {true, false}) {
        const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = pal, .sampleRate = 48000, .frames = 3});
        const auto frames = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), DvSystemFor(pal).frameBytes);
        for (const int lowres : {0, 1}) {
            SCOPED_TRACE(std::string(pal ? "PAL" : "NTSC") + " lowres " + std::to_string(lowres));
            DvVideoDecoder decoder;
            ASSERT_EQ(decoder.Open(DvSystemFor(pal), lowres), S_OK);
            std::vector<BYTE> dib(decoder.ImageBytes());
            ASSERT_EQ(decoder.Decode(frames[0], dib), S_OK);
            const auto out = kvtest::RunCommand("ffmpeg -nostdin -v error -lowres " + std::to_string(lowres) +
                                                " -i '" + clip.string() +
                                                "' -frames:v 1 -sws_flags bilinear+accurate_rnd -pix_fmt bgra -f rawvideo -");
            ASSERT_EQ(out.output.size(), dib.size());
            const std::size_t row = std::size_t(decoder.Width()) * 4;
            for (LONG y = 0; y < decoder.Height(); ++y)
                ASSERT_EQ(std::memcmp(dib.data() + std::size_t(decoder.Height() - 1 - y) * row,
                                      out.output.data() + std::size_t(y) * row, row),
                          0)
                    << "row " << y;
        }
    }
}

TEST_F(DvVideoDecoderTest, RefusesFramesItCannotDecodeWithoutCrashing) {
    const auto clip = kvtest::MakeDvClip(dir_.path(), {.pal = true, .sampleRate = 48000, .frames = 3});
    const auto pal = kvtest::SplitDvFrames(kvtest::ReadFileBytes(clip), 144000).front();
    DvVideoDecoder decoder;
    std::vector<BYTE> dib(720 * 576 * 4);
    EXPECT_EQ(decoder.Decode(pal, dib), E_UNEXPECTED);
    EXPECT_EQ(decoder.Open(kDvSystem625, 4), E_INVALIDARG);
    EXPECT_EQ(decoder.Open(kDvSystem625, -1), E_INVALIDARG);

    ASSERT_EQ(decoder.Open(kDvSystem625, 0), S_OK);
    EXPECT_EQ(decoder.Decode(std::span(pal).first(143999), dib), E_INVALIDARG);
    EXPECT_EQ(decoder.Decode(pal, std::span(dib).first(dib.size() - 1)), E_INVALIDARG);
    auto ntsc = pal;
    ntsc[3] &= 0x7F;  // DSF 0: a 525/60 frame
    EXPECT_EQ(decoder.Decode(ntsc, dib), VFW_E_TYPE_NOT_ACCEPTED);

    // Noise behind a valid header: whatever comes out, the decoder survives it and goes on.
    std::mt19937 noise(314);
    auto garbage = pal;
    for (std::size_t i = 80; i < garbage.size(); ++i) garbage[i] = BYTE(noise());
    const HRESULT hr = decoder.Decode(garbage, dib);
    EXPECT_TRUE(hr == S_OK || hr == E_FAIL) << hr;
    EXPECT_EQ(decoder.Decode(pal, dib), S_OK);
}

}  // namespace
