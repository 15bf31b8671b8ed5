// The camcorder list: names from display names, numbering of equal names,
// the stored identifier, and listing and binding virtual decks.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <memory>

#include "korvanta/capture/device_list.h"
#include "platform/com/task_memory.h"
#include "platform/devices/deck_devices.h"
#include "platform/devices/deck_fixtures.h"
#include "platform/media/graph/builtin_classes.h"

namespace {

TEST(CamcorderName, VendorAndModelFromTheDisplayName) {
    const auto shaped = [](const std::string& fields) {
        return "@device:pnp:\\\\?\\avc#" + fields +
               "&camcorder&dv#0011223344556677#{65E8773D-8F56-11D0-A3B9-00A0C9223196}\\global";
    };
    const struct {
        std::string displayName;
        const char* name;
    } cases[] = {
        {shaped("acme&kv-100"), "ACME KV-100 - DV Camcorder"},
        {shaped("acme&mod_0"), "ACME - DV Camcorder"},
        {shaped("acme&MOD_0"), "ACME MOD_0 - DV Camcorder"},  // only the exact "mod_0" means no model
        {"@device:sw:{860BB310-5D01-11D0-BD3B-00A0C911CE86}\\webcam", "DV Camcorder"},  // no "#"
        {"x#acme", "DV Camcorder"},                                                      // no "&" after "#"
        {"", "DV Camcorder"},
        // Empty fields leave no stray spaces behind.
        {"x#acme&kv-100", "ACME - DV Camcorder"},  // model not ended by "&"
        {"x#&kv-100&", "KV-100 - DV Camcorder"},
        {"x#&&", "DV Camcorder"},
        // Only the first 259 characters are read.
        {"#" + std::string(300, 'v') + "&m&", "DV Camcorder"},
    };
    for (const auto& c : cases) EXPECT_EQ(CamcorderName(c.displayName), c.name) << c.displayName;
    // The model's closing "&" is character 259 (kept) or 260 (cut off).
    EXPECT_EQ(CamcorderName("#" + std::string(250, 'v') + "&" + std::string(6, 'm') + "&"),
              std::string(250, 'V') + " MMMMMM - DV Camcorder");
    EXPECT_EQ(CamcorderName("#" + std::string(250, 'v') + "&" + std::string(7, 'm') + "&"),
              std::string(250, 'V') + " - DV Camcorder");
}

TEST(NumberDuplicateNames, LaterEqualNamesAreNumbered) {
    const struct {
        std::vector<std::string> in, out;
    } cases[] = {
        {{"A", "A", "A"}, {"A", "A #2", "A #3"}},
        {{"A", "B", "A", "B", "A"}, {"A", "B", "A #2", "B #2", "A #3"}},
        {{"A", "a"}, {"A", "a"}},
        // A number some entry already carries is passed over: names stay unique.
        {{"A", "A #2", "A"}, {"A", "A #2", "A #3"}},
        {{}, {}},
    };
    for (const auto& c : cases) {
        std::vector<DeviceEntry> entries;
        for (const std::string& name : c.in) entries.push_back({std::nullopt, name, {}});
        NumberDuplicateNames(entries);
        std::vector<std::string> names;
        for (const DeviceEntry& entry : entries) names.push_back(entry.name);
        EXPECT_EQ(names, c.out);
    }
}

TEST(DeviceIdText, WordsInMemoryOrderRoundTrip) {
    const DeviceId high = {0xFE, 0xFF, 0xFF, 0xFF, 0x01, 0x02, 0x03, 0x80};
    EXPECT_EQ(FormatDeviceId(high), "FFFFFFFE80030201");
    EXPECT_EQ(ParseDeviceId("FFFFFFFE80030201"), high);
    EXPECT_EQ(ParseDeviceId("fffffffe80030201"), high);
    const DeviceId zero{};
    EXPECT_EQ(FormatDeviceId(zero), "0000000000000000");
    EXPECT_EQ(ParseDeviceId(FormatDeviceId(zero)), zero);

    for (const char* bad : {"", "FFFFFFFE8003020", "FFFFFFFE800302011", "0xFFFFFE80030201", "-FFFFFFE80030201",
                            " FFFFFFE80030201", "FFFFFFFE8003020G", "+0000000+0000000", "FFFFFFFE\x80""0030201"})
        EXPECT_EQ(ParseDeviceId(bad), std::nullopt) << bad;
    EXPECT_EQ(ParseDeviceId(std::string_view("FFFFFFFE\0" "0030201", 16)), std::nullopt);
}

// Virtual decks as camcorders of the video input category.
class DeckDeviceList : public testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_EQ(KvMediaRegisterPlatformClasses(), S_OK); }

    const std::filesystem::path tape = kvtest::MakeDvClip(decktest::PalSpec(3));
    DeckDevices devices;
};

TEST_F(DeckDeviceList, EqualNamesAreNumberedAndUnplayableDecksLeftOut) {
    const decktest::PluggedDeck first("Deck A", tape);
    const decktest::PluggedDeck broken("Deck B", tape.parent_path() / "no such tape.dv");
    const decktest::PluggedDeck second("Deck C", tape);
    ASSERT_TRUE(first.Added() && broken.Added() && second.Added());

    const std::vector<DeviceEntry> entries = EnumerateDevices();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].name, "KORVANTA - DV Camcorder");
    EXPECT_EQ(entries[0].id, first.Config().deviceId);
    EXPECT_EQ(entries[1].name, "KORVANTA - DV Camcorder #2");
    EXPECT_EQ(entries[1].id, second.Config().deviceId);

    // A user names a deck by what the list prints, by its own name or by its identifier.
    EXPECT_EQ(entries[1].friendlyName, "Deck C");
    std::string lowerId = FormatDeviceId(second.Config().deviceId);
    for (char& c : lowerId) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    for (const std::string& wanted : {std::string("KORVANTA - DV Camcorder #2"), std::string("Deck C"),
                                      FormatDeviceId(second.Config().deviceId), lowerId}) {
        EXPECT_TRUE(DeviceMatches(entries[1], wanted)) << wanted;
        EXPECT_FALSE(DeviceMatches(entries[0], wanted)) << wanted;
    }
    EXPECT_FALSE(DeviceMatches(entries[0], "Deck B"));
}

TEST_F(DeckDeviceList, BindsOnlyTheDeckWithTheWantedIdentifier) {
    const decktest::PluggedDeck first("Deck A", tape);
    const decktest::PluggedDeck second("Deck B", tape);
    ASSERT_TRUE(first.Added() && second.Added());

    const std::optional<BoundDevice> bound = BindDevice(second.Config().deviceId);
    ASSERT_TRUE(bound.has_value());
    EXPECT_EQ(bound->id, second.Config().deviceId);
    ASSERT_TRUE(bound->filter && bound->device && bound->transport && bound->timecodeReader);
    LPOLESTR buffer = nullptr;
    ASSERT_EQ(bound->device->get_ExternalDeviceID(&buffer), S_OK);
    const std::unique_ptr<OLECHAR, decltype(&CoTaskMemFree)> owned(buffer, &CoTaskMemFree);
    EXPECT_EQ(std::memcmp(buffer, second.Config().deviceId.data(), 8), 0);

    // Without a wanted identifier, or with one no deck has, nothing is bound.
    EXPECT_FALSE(BindDevice(std::nullopt).has_value());
    DeviceId unknown = second.Config().deviceId;
    unknown[7] ^= 0xFF;
    if (unknown != first.Config().deviceId) {
        EXPECT_FALSE(BindDevice(unknown).has_value());
    }
}

}  // namespace
