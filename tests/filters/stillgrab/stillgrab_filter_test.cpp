// The video grabber driven sample by sample, without a graph.
#include "filters/stillgrab/stillgrab.h"

#include <gtest/gtest.h>

#include <vector>

#include "filters/memory_samples.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/uuids.h"

namespace {

// A grabber as its class factory makes it, kept alive by its IBaseFilter.
struct Grabber {
    Grabber() {
        HRESULT hr = S_OK;
        CUnknown* object = StillGrabFilter::CreateInstance(nullptr, &hr);
        filter = static_cast<StillGrabFilter*>(object);
        object->NonDelegatingQueryInterface(IID_IBaseFilter, owner.GetVoidAddress());
    }
    HRESULT Accept(const CMediaType& mt) { return filter->CheckInputType(&mt); }
    bool Ready() {
        BYTE ready = 0xFF;
        EXPECT_EQ(filter->IsFrameReady(&ready), S_OK);
        return ready != 0;
    }
    std::vector<BYTE> Frame() {
        LONG size = -1;
        EXPECT_EQ(filter->GetFrameSize(&size), S_OK);
        std::vector<BYTE> frame(static_cast<std::size_t>(size));
        EXPECT_EQ(filter->GetFrame(frame.data()), S_OK);
        return frame;
    }
    BITMAPINFOHEADER Header() {
        BITMAPINFOHEADER header{};
        EXPECT_EQ(filter->GetFrameHeader(&header), S_OK);
        return header;
    }

    ComPtr<IBaseFilter> owner;
    StillGrabFilter* filter = nullptr;
};

CMediaType VideoType(const GUID& subtype, LONG width, LONG height, WORD bitCount = 32) {
    CMediaType mt(&MEDIATYPE_Video);
    mt.SetSubtype(&subtype);
    mt.SetFormatType(&FORMAT_VideoInfo);
    VIDEOINFOHEADER vih{};
    vih.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, bitCount, BI_RGB,
                     static_cast<DWORD>(DibWidthBytes(width, bitCount) * height), 0, 0, 0, 0};
    mt.SetFormat(reinterpret_cast<const BYTE*>(&vih), sizeof vih);
    return mt;
}

std::vector<BYTE> Picture(std::size_t bytes, BYTE value) { return std::vector<BYTE>(bytes, value); }

}  // namespace

TEST(StillGrabFilter, AcceptsOnlyRgb32WithAVideoInfoHeader) {
    Grabber grabber;
    EXPECT_EQ(grabber.Accept(VideoType(MEDIASUBTYPE_RGB32, 720, 576)), S_OK);
    EXPECT_EQ(grabber.Accept(VideoType(MEDIASUBTYPE_RGB24, 720, 576, 24)), VFW_E_INVALID_MEDIA_TYPE);
    EXPECT_EQ(grabber.Accept(VideoType(MEDIASUBTYPE_YUY2, 720, 576, 16)), VFW_E_INVALID_MEDIA_TYPE);
    CMediaType noVideoInfo = VideoType(MEDIASUBTYPE_RGB32, 720, 576);
    noVideoInfo.SetFormatType(&FORMAT_None);
    EXPECT_EQ(grabber.Accept(noVideoInfo), VFW_E_INVALID_MEDIA_TYPE);
    CMediaType audio = VideoType(MEDIASUBTYPE_RGB32, 720, 576);
    audio.SetType(&MEDIATYPE_Audio);
    EXPECT_EQ(grabber.Accept(audio), VFW_E_INVALID_MEDIA_TYPE);
    EXPECT_EQ(grabber.filter->CheckInputType(nullptr), VFW_E_INVALID_MEDIA_TYPE);
    // The refused types left the accepted header alone.
    EXPECT_EQ(grabber.Header().biWidth, 720);
    EXPECT_EQ(grabber.Header().biBitCount, 32);
}

TEST(StillGrabFilter, CopiesOneSamplePerArming) {
    Grabber grabber;
    constexpr LONG kBytes = 64 * 48 * 4;
    kvtest::MemorySamples samples(kBytes);
    ASSERT_EQ(grabber.Accept(VideoType(MEDIASUBTYPE_RGB32, 64, 48)), S_OK);
    EXPECT_TRUE(grabber.Frame().empty());
    EXPECT_EQ(grabber.filter->GetFrame(nullptr), S_OK);  // nothing held, nothing copied

    grabber.filter->Transform(samples.Next(Picture(kBytes, 1)).Get());
    EXPECT_FALSE(grabber.Ready());
    EXPECT_TRUE(grabber.Frame().empty());

    grabber.filter->SetGrab(1);
    grabber.filter->SetGrab(1);
    grabber.filter->Transform(samples.Next(Picture(kBytes, 2)).Get());
    grabber.filter->Transform(samples.Next(Picture(kBytes, 3)).Get());
    EXPECT_TRUE(grabber.Ready());
    EXPECT_EQ(grabber.Frame(), Picture(kBytes, 2));
    const BITMAPINFOHEADER header = grabber.Header();
    EXPECT_EQ(header.biWidth, 64);
    EXPECT_EQ(header.biHeight, 48);
    EXPECT_EQ(header.biSizeImage, DWORD{kBytes});

    // Arming clears frame ready; disarming before a sample leaves it clear and the old frame held.
    grabber.filter->SetGrab(1);
    EXPECT_FALSE(grabber.Ready());
    grabber.filter->SetGrab(0);
    grabber.filter->Transform(samples.Next(Picture(kBytes, 4)).Get());
    EXPECT_FALSE(grabber.Ready());
    EXPECT_EQ(grabber.Frame(), Picture(kBytes, 2));
}

TEST(StillGrabFilter, HeldFrameFollowsTheBufferSize) {
    Grabber grabber;
    ASSERT_EQ(grabber.Accept(VideoType(MEDIASUBTYPE_RGB32, 64, 48)), S_OK);
    const auto grab = [&](LONG bufferBytes, BYTE value) {
        kvtest::MemorySamples samples(bufferBytes);
        grabber.filter->SetGrab(1);
        // Only the data length is filled: the whole buffer is what gets copied.
        grabber.filter->Transform(samples.Next(Picture(64 * 48 * 4, value)).Get());
        EXPECT_TRUE(grabber.Ready());
    };

    // Rows padded to 80 pixels by the allocator: the header's width follows.
    grab(80 * 48 * 4, 5);
    EXPECT_EQ(grabber.Frame().size(), 80u * 48 * 4);
    EXPECT_EQ(grabber.Header().biWidth, 80);
    grab(80 * 48 * 4, 6);
    std::vector<BYTE> expected = Picture(80 * 48 * 4, 0);
    std::fill_n(expected.begin(), 64 * 48 * 4, BYTE{6});
    EXPECT_EQ(grabber.Frame(), expected);
    // Back to unpadded rows; width 64 follows from the stored 80 as well.
    grab(64 * 48 * 4, 7);
    EXPECT_EQ(grabber.Frame(), Picture(64 * 48 * 4, 7));
    EXPECT_EQ(grabber.Header().biWidth, 64);
    EXPECT_EQ(grabber.Header().biSizeImage, 64u * 48 * 4);
}

TEST(StillGrabFilter, FormatChangeOnASampleSetsTheNextHeader) {
    Grabber grabber;
    ASSERT_EQ(grabber.Accept(VideoType(MEDIASUBTYPE_RGB32, 64, 48)), S_OK);
    kvtest::MemorySamples samples(32 * 24 * 4);

    CMediaType smaller = VideoType(MEDIASUBTYPE_RGB32, 32, -24);
    ComPtr<IMediaSample> changing = samples.Next(Picture(32 * 24 * 4, 1));
    ASSERT_EQ(changing->SetMediaType(&smaller), S_OK);
    grabber.filter->Transform(changing.Get());
    EXPECT_FALSE(grabber.Ready());

    // A later type without a picture size keeps the header of the one before.
    CMediaType sizeless = VideoType(MEDIASUBTYPE_RGB32, 0, 0);
    ComPtr<IMediaSample> armed = samples.Next(Picture(32 * 24 * 4, 2));
    ASSERT_EQ(armed->SetMediaType(&sizeless), S_OK);
    grabber.filter->SetGrab(1);
    grabber.filter->Transform(armed.Get());
    ASSERT_TRUE(grabber.Ready());
    const BITMAPINFOHEADER header = grabber.Header();
    EXPECT_EQ(header.biWidth, 32);
    EXPECT_EQ(header.biHeight, -24);
    EXPECT_EQ(header.biSizeImage, 32u * 24 * 4);
}

TEST(StillGrabFilter, GrabsWithoutAnyFormat) {
    Grabber grabber;
    kvtest::MemorySamples samples(4096);
    grabber.filter->SetGrab(1);
    grabber.filter->Transform(samples.Next(Picture(4096, 9)).Get());
    ASSERT_TRUE(grabber.Ready());
    EXPECT_EQ(grabber.Frame(), Picture(4096, 9));
    EXPECT_EQ(grabber.Header().biSizeImage, 4096u);
    EXPECT_EQ(grabber.Header().biWidth, 0);
}

TEST(StillGrabFilter, InterfaceAndMisuse) {
    Grabber grabber;
    ComPtr<IStillGrab> grab = grabber.owner.As<IStillGrab>();
    ASSERT_TRUE(grab);
    EXPECT_EQ(grab.As<IBaseFilter>(), grabber.owner);
    EXPECT_EQ(grab->SetReservedFlag(1), S_OK);
    EXPECT_EQ(grab->ReservedMethod(nullptr), E_NOTIMPL);
    EXPECT_EQ(grab->IsFrameReady(nullptr), E_POINTER);
    EXPECT_EQ(grab->GetFrameSize(nullptr), E_POINTER);
    EXPECT_EQ(grab->GetFrameHeader(nullptr), E_POINTER);
    EXPECT_EQ(grabber.filter->Transform(nullptr), S_OK);

    kvtest::MemorySamples samples(256);
    grab->SetGrab(1);
    grabber.filter->Transform(samples.Next(Picture(256, 1)).Get());
    EXPECT_EQ(grab->GetFrame(nullptr), E_POINTER);
}
