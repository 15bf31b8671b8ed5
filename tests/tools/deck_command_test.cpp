// korvanta-deck as scripts use it: its output lines and exit codes.
#include "tools/deck/deck_command.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/devices/deck_config.h"
#include "platform/devices/virtual_deck.h"
#include "support/dv/dv_clips.h"
#include "support/temp_dir.h"

namespace {

struct Outcome {
    int code;
    std::string out;
    std::string err;
};

Outcome Deck(std::vector<std::string> args) {
    std::ostringstream out, err;
    const int code = RunDeckCommand(args, out, err);
    return {code, out.str(), err.str()};
}

class DeckCommand : public testing::Test {
protected:
    void TearDown() override {
        for (const DeckConfig& deck : deck_store::List()) deck_store::Remove(deck.name);
    }
    static std::string Tape() {
        kvtest::DvClipSpec recipe;
        recipe.frames = 3;
        return kvtest::MakeDvClip(recipe).string();
    }
};

TEST_F(DeckCommand, AddsListsAndRemovesDecks) {
    const std::string tape = Tape();
    EXPECT_EQ(Deck({"add", "--name", "Hall", "--tape", tape, "--id", "0123456789abcdef"}).out,
              "Hall\t0123456789ABCDEF\n");
    const Outcome camera = Deck({"add", "--name", "Garden", "--tape", tape, "--camera", "--vendor", "ACME", "--model",
                                "CAM 1", "--speed", "4"});
    ASSERT_EQ(camera.code, kDeckExitDone) << camera.err;
    const auto garden = deck_store::Find("Garden");
    ASSERT_TRUE(garden);
    EXPECT_TRUE(garden->camera);
    EXPECT_EQ(garden->speed, 4.0);
    EXPECT_EQ(garden->vendor, "ACME");
    EXPECT_EQ(garden->model, "CAM 1");
    EXPECT_EQ(Deck({"list"}).out, "Garden\t" + FormatDeckDeviceId(garden->deviceId) + "\tcamera\t" + tape +
                                     "\nHall\t0123456789ABCDEF\tvcr\t" + tape + "\n");
    EXPECT_EQ(Deck({"remove", "Hall"}).code, kDeckExitDone);
    EXPECT_EQ(Deck({"remove", "Hall"}).code, kDeckExitFailed);
    EXPECT_EQ(Deck({"list"}).out.find("Hall"), std::string::npos);
}

TEST_F(DeckCommand, RefusesBadTapesTakenNamesAndMalformedCommandLines) {
    kvtest::TempDir dir;
    std::ofstream(dir / "notes.txt") << std::string(200000, 'n');
    const std::string tape = Tape();
    const Outcome notDv = Deck({"add", "--name", "x", "--tape", (dir / "notes.txt").string()});
    EXPECT_EQ(notDv.code, kDeckExitFailed);
    EXPECT_NE(notDv.err.find("not a raw DV stream"), std::string::npos);
    EXPECT_EQ(Deck({"add", "--name", "x", "--tape", (dir / "none.dv").string()}).code, kDeckExitFailed);
    ASSERT_EQ(Deck({"add", "--name", "x", "--tape", tape}).code, kDeckExitDone);
    EXPECT_EQ(Deck({"add", "--name", "x", "--tape", tape}).code, kDeckExitFailed);
    EXPECT_EQ(Deck({"add", "--name", "a&b", "--tape", tape}).code, kDeckExitFailed);
    for (const std::vector<std::string>& malformed :
         {std::vector<std::string>{}, {"add", "--tape", tape}, {"add", "--name", "y", "--tape", tape, "--id", "12"},
          {"add", "--name", "y", "--tape", tape, "--speed", "fast"}, {"add", "--name"}, {"list", "extra"},
          {"press", "x", "eject"}, {"press", "x"}, {"status"}, {"rewind"}})
        EXPECT_EQ(Deck(malformed).code, kDeckExitUsage) << malformed.size();
    EXPECT_EQ(deck_store::List().size(), 1u);
}

TEST_F(DeckCommand, PressesButtonsOfADeckInUseAndSaysWhenNoneUsesIt) {
    ASSERT_EQ(Deck({"add", "--name", "desk", "--tape", Tape()}).code, kDeckExitDone);
    const Outcome idle = Deck({"status", "desk"});
    EXPECT_EQ(idle.code, kDeckExitFailed);
    EXPECT_NE(idle.err.find("not in use"), std::string::npos);
    EXPECT_EQ(Deck({"press", "nobody", "play"}).code, kDeckExitFailed);
    std::shared_ptr<VirtualDeck> deck;
    ASSERT_EQ(VirtualDeck::Acquire("desk", &deck), S_OK);
    EXPECT_EQ(Deck({"status", "desk"}).out, "stop 00:00:00:00\n");
    EXPECT_EQ(Deck({"press", "desk", "pause"}).out, "pause 00:00:00:00\n");
    EXPECT_EQ(Deck({"press", "desk", "step-forward"}).out, "pause 00:00:00:01\n");
    EXPECT_EQ(Deck({"press", "desk", "ff"}).out.substr(0, 3), "ff ");
    const Outcome refused = Deck({"press", "desk", "step-back"});
    EXPECT_EQ(refused.code, kDeckExitFailed);
    EXPECT_NE(refused.err.find("refused"), std::string::npos);
}

}  // namespace
