// The deck as the program meets it: a device of the video input category,
// bound through the device enumerator and streaming in a capture graph.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <thread>

#include "deck_fixtures.h"
#include "platform/com/com_ptr.h"
#include "platform/com/objbase.h"
#include "platform/com/task_memory.h"
#include "platform/com/utf.h"
#include "platform/devices/deck_devices.h"
#include "platform/devices/extdevice.h"
#include "platform/media/base/kspropertyset.h"
#include "platform/media/base/mediatype.h"
#include "platform/media/control.h"
#include "platform/media/uuids.h"
#include "support/media/test_sink.h"
#include "support/temp_dir.h"

namespace {

using namespace std::chrono_literals;
using decktest::Eventually;

class DeckGraph : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum,
                                   devices.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(graph.As(&control), S_OK);
        ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_ICaptureGraphBuilder2, builder.GetVoidAddress()),
                  S_OK);
        ASSERT_EQ(builder->SetFiltergraph(graph.Get()), S_OK);
    }
    void TearDown() override {
        if (control) control->Stop();
    }

    // The moniker of the deck named name, found by its display name as the program finds devices.
    ComPtr<IMoniker> Moniker(const std::string& name) {
        ComPtr<IEnumMoniker> monikers;
        if (devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, monikers.GetAddressOf(), 0) != S_OK)
            return nullptr;
        ComPtr<IMoniker> moniker;
        while (monikers->Next(1, moniker.GetAddressOf(), nullptr) == S_OK)
            if (DisplayName(moniker.Get()).ends_with("\\" + name)) return moniker;
        return nullptr;
    }
    static std::string DisplayName(IMoniker* moniker) {
        LPOLESTR name = nullptr;
        if (FAILED(moniker->GetDisplayName(nullptr, nullptr, &name))) return {};
        std::string text = Utf16ToUtf8(name);
        CoTaskMemFree(name);
        return text;
    }
    HRESULT Bind(const std::string& name, ComPtr<IBaseFilter>* filter) {
        const ComPtr<IMoniker> moniker = Moniker(name);
        if (!moniker) return VFW_E_NOT_FOUND;
        return moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter->GetVoidAddress());
    }
    // Binds the deck and renders both of its streams into test sinks.
    void BuildGraph(const std::string& name) {
        ASSERT_EQ(Bind(name, &deck), S_OK);
        ASSERT_EQ(graph->AddFilter(deck.Get(), u"DV Camcorder"), S_OK);
        ASSERT_EQ(graph->AddFilter(captureSink.Get(), u"Capture Sink"), S_OK);
        ASSERT_EQ(graph->AddFilter(previewSink.Get(), u"Preview Sink"), S_OK);
        ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, deck.Get(), nullptr,
                                        captureSink.Get()),
                  S_OK);
        ASSERT_EQ(builder->RenderStream(&PIN_CATEGORY_PREVIEW, &MEDIATYPE_Interleaved, deck.Get(), nullptr,
                                        previewSink.Get()),
                  S_OK);
        ASSERT_EQ(deck.As(&transport), S_OK);
        ASSERT_EQ(deck.As(&timecodes), S_OK);
    }
    HRESULT SwitchCapture(bool on) {
        REFERENCE_TIME never = MAXLONGLONG;
        return on ? builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, deck.Get(), nullptr, &never,
                                           0, 0)
                  : builder->ControlStream(&PIN_CATEGORY_CAPTURE, &MEDIATYPE_Interleaved, deck.Get(), &never, nullptr,
                                           0, 0);
    }
    LONG Mode() {
        LONG mode = 0;
        return SUCCEEDED(transport->get_Mode(&mode)) ? mode : 0;
    }
    // The time code under the head as a frame number (25 frames a second).
    int HeadFrame() {
        TIMECODE_SAMPLE sample{};
        sample.dwFlags = ED_DEVCAP_TIMECODE_READ;
        if (timecodes->GetTimecode(&sample) != S_OK) return -1;
        const DWORD bcd = sample.timecode.dwFrames;
        const auto digits = [](DWORD byte) { return static_cast<int>((byte >> 4) * 10 + (byte & 0xF)); };
        return ((digits(bcd >> 24) * 60 + digits((bcd >> 16) & 0xFF)) * 60 + digits((bcd >> 8) & 0xFF)) * 25 +
               digits(bcd & 0xFF);
    }

    DeckDevices deckDevices;
    ComPtr<ICreateDevEnum> devices;
    ComPtr<IGraphBuilder> graph;
    ComPtr<IMediaControl> control;
    ComPtr<ICaptureGraphBuilder2> builder;
    ComPtr<IBaseFilter> deck;
    ComPtr<IAMExtTransport> transport;
    ComPtr<IAMTimecodeReader> timecodes;
    ComPtr<kvtest::TestSink> captureSink = kvtest::TestSink::Create();
    ComPtr<kvtest::TestSink> previewSink = kvtest::TestSink::Create();
};

TEST_F(DeckGraph, EachDeckIsACamcorderWithItsIdentityTypeAndSignal) {
    kvtest::DvClipSpec ntsc = decktest::PalSpec(2);
    ntsc.system = kvtest::DvSystem::Ntsc525;
    decktest::PluggedDeck vcr("vcr", kvtest::MakeDvClip(decktest::PalSpec(2)));
    decktest::PluggedDeck camera("camera", kvtest::MakeDvClip(ntsc), 1.0, true);
    ASSERT_TRUE(vcr.Added() && camera.Added());
    for (const auto* plugged : {&vcr, &camera}) {
        const ComPtr<IMoniker> moniker = Moniker(plugged->Name());
        ASSERT_TRUE(moniker);
        EXPECT_EQ(DisplayName(moniker.Get()), DeckDisplayName(plugged->Config()));
        ComPtr<IBaseFilter> filter;
        ASSERT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.GetVoidAddress()), S_OK);

        ComPtr<IAMExtDevice> device;
        ASSERT_EQ(filter.As(&device), S_OK);
        LONG type = 0;
        ASSERT_EQ(device->GetCapability(ED_DEVCAP_DEVICE_TYPE, &type, nullptr), S_OK);
        EXPECT_EQ(type == ED_DEVTYPE_VCR, !plugged->Config().camera);
        LPOLESTR id = nullptr;
        ASSERT_EQ(device->get_ExternalDeviceID(&id), S_OK);
        EXPECT_EQ(std::memcmp(id, plugged->Config().deviceId.data(), 8), 0);
        CoTaskMemFree(id);

        ComPtr<IAMExtTransport> deckTransport;
        ASSERT_EQ(filter.As(&deckTransport), S_OK);
        LONG signal = 0;
        ASSERT_EQ(deckTransport->GetTransportBasicParameters(ED_TRANSBASIC_INPUT_SIGNAL, &signal, nullptr), S_OK);
        const bool pal = !plugged->Config().camera;
        EXPECT_EQ(signal, pal ? 5040 : 5038);

        // Two outputs, preview then capture, both offering interleaved DV with the system's DVINFO.
        ComPtr<IEnumPins> pins;
        ASSERT_EQ(filter->EnumPins(pins.GetAddressOf()), S_OK);
        std::vector<GUID> categories;
        ComPtr<IPin> pin;
        while (pins->Next(1, pin.GetAddressOf(), nullptr) == S_OK) {
            ComPtr<IKsPropertySet> properties;
            ASSERT_EQ(pin.As(&properties), S_OK);
            GUID category{};
            DWORD size = 0;
            ASSERT_EQ(properties->Get(AMPROPSETID_Pin, AMPROPERTY_PIN_CATEGORY, nullptr, 0, &category, sizeof category,
                                      &size),
                      S_OK);
            categories.push_back(category);
            ComPtr<IEnumMediaTypes> types;
            ASSERT_EQ(pin->EnumMediaTypes(types.GetAddressOf()), S_OK);
            AM_MEDIA_TYPE* type = nullptr;
            ASSERT_EQ(types->Next(1, &type, nullptr), S_OK);
            EXPECT_EQ(type->majortype, MEDIATYPE_Interleaved);
            EXPECT_EQ(type->subtype, MEDIASUBTYPE_dvsd);
            EXPECT_EQ(type->formattype, FORMAT_DvInfo);
            ASSERT_EQ(type->cbFormat, sizeof(DVINFO));
            EXPECT_EQ(reinterpret_cast<const DVINFO*>(type->pbFormat)->dwDVVAuxSrc, pal ? 0xFF20FFFFu : 0xFF00FFFFu);
            DeleteMediaType(type);
        }
        EXPECT_EQ(categories, (std::vector<GUID>{PIN_CATEGORY_PREVIEW, PIN_CATEGORY_CAPTURE}));
    }
}

TEST_F(DeckGraph, ATapeTheDeckCannotPlayFailsTheBindingWithItsReason) {
    kvtest::TempDir dir;
    std::ifstream clip(kvtest::MakeDvClip(decktest::PalSpec(1)), std::ios::binary);
    std::vector<char> half(70000);
    clip.read(half.data(), static_cast<std::streamsize>(half.size()));
    std::ofstream(dir / "half.dv", std::ios::binary).write(half.data(), static_cast<std::streamsize>(half.size()));
    std::ofstream(dir / "empty.dv").close();
    std::ofstream(dir / "text.dv") << std::string(300000, 't');
    decktest::PluggedDeck missing("missing", dir / "missing.dv");
    decktest::PluggedDeck empty("empty", dir / "empty.dv");
    decktest::PluggedDeck half_frame("half", dir / "half.dv");
    decktest::PluggedDeck text("text", dir / "text.dv");
    ComPtr<IBaseFilter> filter;
    EXPECT_EQ(Bind("missing", &filter), STG_E_FILENOTFOUND);
    EXPECT_EQ(Bind("empty", &filter), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(Bind("half", &filter), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(Bind("text", &filter), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_FALSE(filter);
}

TEST_F(DeckGraph, PlayStreamsBothPinsInRealTimeAndTheTimeCodeFollows) {
    decktest::PluggedDeck plugged("realtime", kvtest::MakeDvClip(decktest::PalSpec(80)));
    BuildGraph("realtime");
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(transport->put_Mode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(captureSink->WaitForSamples(1, 2000));
    const auto start = std::chrono::steady_clock::now();
    const LONG firstSample = captureSink->Samples();
    std::this_thread::sleep_for(2s);
    const LONG frames = captureSink->Samples() - firstSample;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    // 25 frames a second, loosely: within 10 % over 2 s.
    EXPECT_NEAR(frames / seconds, 25.0, 2.5);
    EXPECT_NEAR(previewSink->Samples(), captureSink->Samples(), 3);
    // The head shows the frame last delivered.
    EXPECT_NEAR(HeadFrame(), captureSink->Samples() - 1, 3);
    const auto times = captureSink->StartTimes();
    ASSERT_GE(times.size(), 40u);
    const double spacing = static_cast<double>(times.back() - times.front()) / static_cast<double>(times.size() - 1);
    EXPECT_NEAR(spacing, 400000.0, 40000.0);  // 40 ms in 100 ns units, on the graph clock
    EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
    ASSERT_EQ(control->Stop(), S_OK);
    ComPtr<IAMDroppedFrames> counts;
    ComPtr<IPin> capturePin;
    ASSERT_EQ(builder->FindPin(deck.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, FALSE, 0,
                               capturePin.GetAddressOf()),
              S_OK);
    ASSERT_EQ(capturePin.As(&counts), S_OK);
    LONG delivered = 0;
    ASSERT_EQ(counts->GetNumNotDropped(&delivered), S_OK);
    EXPECT_GE(delivered, captureSink->Samples());
}

TEST_F(DeckGraph, ControlStreamSwitchesTheCapturePinAlone) {
    decktest::PluggedDeck plugged("switch", kvtest::MakeDvClip(decktest::PalSpec(80)), 4.0);
    BuildGraph("switch");
    ASSERT_EQ(SwitchCapture(false), S_OK);
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(transport->put_Mode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(previewSink->WaitForSamples(10, 3000));
    EXPECT_EQ(captureSink->Samples(), 0);
    ASSERT_EQ(SwitchCapture(true), S_OK);
    ASSERT_TRUE(captureSink->WaitForSamples(5, 3000));
    ASSERT_EQ(SwitchCapture(false), S_OK);
    std::this_thread::sleep_for(50ms);
    const LONG captured = captureSink->Samples();
    const LONG previewed = previewSink->Samples();
    std::this_thread::sleep_for(200ms);
    EXPECT_EQ(captureSink->Samples(), captured);
    EXPECT_GT(previewSink->Samples(), previewed);
}

TEST_F(DeckGraph, PauseRepeatsTheStillFrameAndTheEndOfTheTapeStopsTheDeck) {
    decktest::PluggedDeck plugged("ending", kvtest::MakeDvClip(decktest::PalSpec(30)), 10.0);
    BuildGraph("ending");
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(transport->put_Mode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(captureSink->WaitForSamples(5, 3000));
    ASSERT_EQ(transport->put_Mode(ED_MODE_FREEZE), S_OK);
    std::this_thread::sleep_for(20ms);
    const int still = HeadFrame();
    const LONG before = previewSink->Samples();
    std::this_thread::sleep_for(100ms);
    EXPECT_GT(previewSink->Samples(), before + 5);  // the still picture keeps coming
    EXPECT_EQ(HeadFrame(), still);
    EXPECT_EQ(Mode(), ED_MODE_FREEZE);
    ASSERT_EQ(transport->put_Mode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(Eventually([&] { return Mode() == ED_MODE_STOP; }));
    EXPECT_EQ(HeadFrame(), 29);
    const LONG atEnd = previewSink->Samples();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(previewSink->Samples(), atEnd);  // stopped: nothing comes
    ASSERT_EQ(transport->put_Mode(ED_MODE_REW), S_OK);
    ASSERT_TRUE(Eventually([&] { return Mode() == ED_MODE_STOP; }));
    EXPECT_EQ(HeadFrame(), 0);
    EXPECT_EQ(previewSink->Samples(), atEnd);  // winding shows nothing
}

TEST_F(DeckGraph, ACaptureConsumerThatHoldsTheDeckUpCostsDroppedFramesAndABusyPreviewNone) {
    decktest::PluggedDeck plugged("slowpoke", kvtest::MakeDvClip(decktest::PalSpec(400)), 4.0);
    BuildGraph("slowpoke");
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(transport->put_Mode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(captureSink->WaitForSamples(3, 3000));
    ComPtr<IPin> capturePin;
    ASSERT_EQ(builder->FindPin(deck.Get(), PINDIR_OUTPUT, &PIN_CATEGORY_CAPTURE, nullptr, FALSE, 0,
                               capturePin.GetAddressOf()),
              S_OK);
    ComPtr<IAMDroppedFrames> counts;
    ASSERT_EQ(capturePin.As(&counts), S_OK);
    LONG dropped = 0;

    // The monitor chain may be slow: the capture stream loses nothing by it.
    previewSink->BlockRendering();
    ASSERT_TRUE(previewSink->WaitUntilBlocked(2000));
    std::this_thread::sleep_for(300ms);
    previewSink->Unblock();
    ASSERT_EQ(counts->GetNumDropped(&dropped), S_OK);
    EXPECT_EQ(dropped, 0);

    // A capture consumer held up for longer than the link buffers costs frames.
    captureSink->BlockRendering();
    ASSERT_TRUE(captureSink->WaitUntilBlocked(2000));
    std::this_thread::sleep_for(1500ms);
    captureSink->Unblock();
    ASSERT_TRUE(Eventually([&] { return SUCCEEDED(counts->GetNumDropped(&dropped)) && dropped > 0; }));
    EXPECT_EQ(control->Stop(), S_OK);
}

TEST_F(DeckGraph, RemovingTheDeckWhileItStreamsEndsThePictureAndTheGraphStillStops) {
    auto plugged = std::make_unique<decktest::PluggedDeck>("pulled", kvtest::MakeDvClip(decktest::PalSpec(80)), 4.0);
    BuildGraph("pulled");
    ASSERT_EQ(control->Run(), S_OK);
    ASSERT_EQ(transport->put_Mode(ED_MODE_PLAY), S_OK);
    ASSERT_TRUE(previewSink->WaitForSamples(3, 3000));
    plugged.reset();
    LONG mode = 0;
    ASSERT_TRUE(Eventually([&] { return transport->get_Mode(&mode) == KV_E_DEVICE_NOT_CONNECTED; }));
    std::this_thread::sleep_for(50ms);
    const LONG last = previewSink->Samples();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(previewSink->Samples(), last);
    EXPECT_EQ(transport->put_Mode(ED_MODE_PLAY), KV_E_DEVICE_NOT_CONNECTED);
    EXPECT_EQ(control->Stop(), S_OK);
    EXPECT_FALSE(Moniker("pulled"));
}

}  // namespace
