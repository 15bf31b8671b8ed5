// Deck configuration: identifiers as the program stores them, display names
// as the program parses them, and the registry store.
#include "platform/devices/deck_config.h"

#include <gtest/gtest.h>

#include "platform/com/registry_key.h"

namespace {

DeckConfig Deck(const std::string& name, const std::string& id) {
    DeckConfig deck;
    deck.name = name;
    deck.tape = "/tapes/" + name + ".dv";
    deck.deviceId = *ParseDeckDeviceId(id);
    return deck;
}

// The vendor and model the program reads from a display name: the text
// between the first "#" and the next "&", then up to the following "&".
std::pair<std::string, std::string> VendorAndModel(const std::string& display) {
    const auto hash = display.find('#');
    const auto amp = display.find('&', hash);
    const auto next = display.find('&', amp + 1);
    return {display.substr(hash + 1, amp - hash - 1), display.substr(amp + 1, next - amp - 1)};
}

TEST(DeckDeviceId, TextIsTheTwoWordsInMemoryOrderAndRoundTrips) {
    const auto id = ParseDeckDeviceId("0123456789ABCDEF");
    ASSERT_TRUE(id);
    EXPECT_EQ(*id, (DeckDeviceId{0x67, 0x45, 0x23, 0x01, 0xEF, 0xCD, 0xAB, 0x89}));
    for (const char* text : {"0123456789ABCDEF", "FFFFFFFE80000001", "0000000000000000"})
        EXPECT_EQ(FormatDeckDeviceId(*ParseDeckDeviceId(text)), text);
    EXPECT_EQ(FormatDeckDeviceId(*ParseDeckDeviceId("abcdef0123456789")), "ABCDEF0123456789");
    for (const char* bad : {"", "0123456789ABCDE", "0123456789ABCDEF0", "0123456789ABCDEG", "+123456789ABCDEF"})
        EXPECT_FALSE(ParseDeckDeviceId(bad)) << bad;
}

TEST(DeckDisplayName, HasTheCamcorderShapeThatNamesVendorAndModel) {
    DeckConfig deck = Deck("Living room", "4B4F5256414E5441");
    deck.vendor = "KORVANTA";
    deck.model = "DEMO DECK";
    const std::string display = DeckDisplayName(deck);
    EXPECT_EQ(VendorAndModel(display), std::make_pair(std::string("KORVANTA"), std::string("DEMO DECK")));
    EXPECT_TRUE(display.starts_with("@device:pnp:\\\\?\\avc#")) << display;
    EXPECT_NE(display.find("4B4F5256414E5441"), std::string::npos);
    EXPECT_NE(DeckDisplayName(Deck("Other", "4B4F5256414E5441")), display);
    EXPECT_EQ(VendorAndModel(DeckDisplayName(Deck("Plain", "0000000000000001"))).second, "mod_0");
}

TEST(DeckConfigCheck, RefusesWhatWouldBreakTheDisplayNameOrThePlayer) {
    EXPECT_EQ(CheckDeckConfig(Deck("ok", "0000000000000001")), "");
    for (const char* name : {"", "a#b", "a&b", "a\\b"}) EXPECT_NE(CheckDeckConfig(Deck(name, "0000000000000001")), "");
    DeckConfig deck = Deck("ok", "0000000000000001");
    deck.vendor = "A&B";
    EXPECT_NE(CheckDeckConfig(deck), "");
    deck = Deck("ok", "0000000000000001");
    deck.model = "";
    EXPECT_NE(CheckDeckConfig(deck), "");
    for (double speed : {-1.0, 1001.0}) {
        deck = Deck("ok", "0000000000000001");
        deck.speed = speed;
        EXPECT_NE(CheckDeckConfig(deck), "") << speed;
    }
    deck.speed = 0;  // waits for the capture
    EXPECT_EQ(CheckDeckConfig(deck), "");
}

class DeckStore : public testing::Test {
protected:
    void TearDown() override {
        for (const DeckConfig& deck : deck_store::List()) deck_store::Remove(deck.name);
    }
};

TEST_F(DeckStore, AddsListsInNameOrderAndRemoves) {
    std::string why;
    DeckConfig camera = Deck("b-camera", "0000000000000002");
    camera.camera = true;
    camera.speed = 2.5;
    camera.vendor = "Vendor";
    camera.model = "Model 7";
    ASSERT_TRUE(deck_store::Add(camera, &why)) << why;
    ASSERT_TRUE(deck_store::Add(Deck("a-vcr", "0000000000000001"), &why)) << why;
    const auto decks = deck_store::List();
    ASSERT_EQ(decks.size(), 2u);
    EXPECT_EQ(decks[0].name, "a-vcr");
    EXPECT_FALSE(decks[0].camera);
    EXPECT_EQ(decks[1].name, "b-camera");
    EXPECT_TRUE(decks[1].camera);
    EXPECT_EQ(decks[1].speed, 2.5);
    EXPECT_EQ(decks[1].tape, camera.tape);
    EXPECT_EQ(DeckDisplayName(decks[1]), DeckDisplayName(camera));
    EXPECT_TRUE(deck_store::Remove("a-vcr"));
    EXPECT_FALSE(deck_store::Remove("a-vcr"));
    EXPECT_FALSE(deck_store::Find("a-vcr"));
    EXPECT_TRUE(deck_store::Find("b-camera"));
}

TEST_F(DeckStore, RefusesATakenNameOrIdentifierAndSkipsDamagedEntries) {
    std::string why;
    ASSERT_TRUE(deck_store::Add(Deck("one", "0000000000000001"), &why));
    EXPECT_FALSE(deck_store::Add(Deck("one", "0000000000000002"), &why));
    EXPECT_NE(why.find("exists"), std::string::npos);
    EXPECT_FALSE(deck_store::Add(Deck("two", "0000000000000001"), &why));
    EXPECT_NE(why.find("0000000000000001"), std::string::npos);
    RegKey damaged;
    ASSERT_EQ(damaged.Create(HKEY_CURRENT_USER, "Software\\Korvanta\\Decks\\half"), ERROR_SUCCESS);
    damaged.SetString("Tape", "/x.dv");
    EXPECT_EQ(deck_store::List().size(), 1u);
    EXPECT_FALSE(deck_store::Find("half"));
    EXPECT_NE(deck_store::NewDeviceId(), *ParseDeckDeviceId("0000000000000001"));
    RegDeleteTree(HKEY_CURRENT_USER, "Software\\Korvanta\\Decks\\half");
}

}  // namespace
