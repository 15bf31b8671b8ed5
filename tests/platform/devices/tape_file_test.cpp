// Tape files: the system from the header, whole frames only, and a clear
// error for every file a deck cannot play.
#include "platform/devices/tape_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "deck_fixtures.h"
#include "support/temp_dir.h"

namespace {

void WriteBytes(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
}

std::vector<std::uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(TapeFile, TakesTheSystemFromTheHeaderAndReadsWholeFrames) {
    for (const auto system : {kvtest::DvSystem::Pal625, kvtest::DvSystem::Ntsc525}) {
        kvtest::DvClipSpec recipe;
        recipe.system = system;
        recipe.frames = 4;
        const auto clip = kvtest::MakeDvClip(recipe);
        const auto frames = kvtest::ReadDvFrames(clip);
        TapeFile tape;
        ASSERT_EQ(tape.Open(clip), S_OK);
        EXPECT_EQ(tape.Is625(), system == kvtest::DvSystem::Pal625);
        EXPECT_EQ(tape.FrameBytes(), tape.Is625() ? 144000u : 120000u);
        EXPECT_EQ(tape.FrameCount(), 4);
        std::vector<std::uint8_t> frame(tape.FrameBytes());
        ASSERT_TRUE(tape.ReadFrame(3, frame));
        EXPECT_EQ(frame, frames[3]);
        EXPECT_FALSE(tape.ReadFrame(4, frame));
        EXPECT_FALSE(tape.ReadFrame(-1, frame));
    }
}

TEST(TapeFile, APartialFrameAtTheEndIsNotPartOfTheTape) {
    kvtest::TempDir dir;
    auto bytes = ReadBytes(kvtest::MakeDvClip(decktest::PalSpec(3)));
    bytes.resize(2 * 144000 + 70000);
    WriteBytes(dir / "cut.dv", bytes);
    TapeFile tape;
    ASSERT_EQ(tape.Open(dir / "cut.dv"), S_OK);
    EXPECT_EQ(tape.FrameCount(), 2);
}

TEST(TapeFile, FilesADeckCannotPlayAreRefusedWithTheirReason) {
    kvtest::TempDir dir;
    const auto clip = ReadBytes(kvtest::MakeDvClip(decktest::PalSpec(1)));
    WriteBytes(dir / "empty.dv", {});
    WriteBytes(dir / "short.dv", {clip.begin(), clip.begin() + 100000});
    WriteBytes(dir / "tiny.dv", {clip.begin(), clip.begin() + 200});
    WriteBytes(dir / "text.dv", std::vector<std::uint8_t>(200000, 'x'));
    TapeFile tape;
    EXPECT_EQ(tape.Open(dir / "missing.dv"), STG_E_FILENOTFOUND);
    EXPECT_EQ(tape.Open(dir.path()), STG_E_FILENOTFOUND);  // a folder
    EXPECT_EQ(tape.Open(dir / "empty.dv"), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(tape.Open(dir / "short.dv"), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(tape.Open(dir / "tiny.dv"), VFW_E_FILE_TOO_SHORT);
    EXPECT_EQ(tape.Open(dir / "text.dv"), VFW_E_INVALID_FILE_FORMAT);
    EXPECT_FALSE(tape.IsOpen());
}

TEST(TapeFile, ATapeThatShrinksInUseReadsAsEndedNotAsAFault) {
    kvtest::TempDir dir;
    WriteBytes(dir / "tape.dv", ReadBytes(kvtest::MakeDvClip(decktest::PalSpec(3))));
    TapeFile tape;
    ASSERT_EQ(tape.Open(dir / "tape.dv"), S_OK);
    std::filesystem::resize_file(dir / "tape.dv", 144000 + 10);
    std::vector<std::uint8_t> frame(tape.FrameBytes());
    EXPECT_TRUE(tape.ReadFrame(0, frame));
    EXPECT_FALSE(tape.ReadFrame(1, frame));
}

}  // namespace
