// korvanta-capture when things go wrong, run as a child process on a virtual
// deck playing the PAL demo tape: a full disk, the camcorder unplugged, the
// capture folder removed, an interrupt and bad command lines. Each ends with
// the right exit code and message, never a crash or a hang, and every file
// listed reads back with the frames the listing gives.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "media_tools.h"
#include "platform/media/filters/avi/avi_reader.h"
#include "support/temp_dir.h"
#include "tests/korvanta/capture/support/capture_run.h"
#include "tests/korvanta/capture/support/demo_deck.h"
#include "tests/korvanta/capture/support/listed_files.h"
#include "tests/korvanta/capture/support/module_registration.h"
#include "tests/platform/com/child_process.h"

namespace {

using namespace std::chrono_literals;
namespace fs = std::filesystem;
using kvtest::ListedFile;
using kvtest::ListedFiles;

const fs::path kBin = fs::path(KORVANTA_BINARY_DIR) / "bin";
const fs::path kTape = fs::path(KORVANTA_BINARY_DIR) / "demo/demo-pal.dv";
constexpr const char* kDeviceName = "KORVANTA - DV Camcorder";
constexpr const char* kDeckName = "Faults deck";
constexpr const char* kWriteFailed = "The recorded file cannot be written.";
constexpr std::size_t kPalFrameBytes = 144000;
// Far beyond any run here (the whole tape at real time is 31 s), so only a hang reaches it.
constexpr auto kRunLimit = 90s;

// Frame index of the raw PAL tape.
std::vector<BYTE> TapeFrame(std::uint64_t index) {
    std::vector<BYTE> frame(kPalFrameBytes);
    std::ifstream tape(kTape, std::ios::binary);
    tape.seekg(std::streamoff(index * kPalFrameBytes));
    tape.read(reinterpret_cast<char*>(frame.data()), std::streamsize(frame.size()));
    return tape ? frame : std::vector<BYTE>();
}

// The file is there and both our reader and ffprobe find the frames the listing gives.
void ExpectReadable(const ListedFile& file) {
    SCOPED_TRACE(file.path.string());
    ASSERT_TRUE(fs::exists(file.path));
    AviReader reader;
    ASSERT_EQ(reader.Open(file.path), S_OK);
    EXPECT_EQ(reader.FrameCount(), file.frames);
    EXPECT_EQ(kvtest::ProbeStream(file.path, "v:0")["nb_read_packets"], std::to_string(file.frames));
}

class CaptureFaultsTest : public testing::Test {
protected:
    static void SetUpTestSuite() {
        ASSERT_TRUE(kvtest::RegisterCaptureModules()) << "korvanta-regsvr could not register the modules";
    }

    void SetUp() override {
        ASSERT_TRUE(fs::exists(kTape)) << "build the demo_tapes target";
        fs::create_directory(folder_);
        fs::create_directory(work_);
        fs::create_directory(logs_);
    }

    std::vector<std::string> CaptureCommand(std::vector<std::string> options) const {
        std::vector<std::string> command{(kBin / "korvanta-capture").string(), "--device", kDeviceName,
                                         "--folder", folder_.string(), "--play"};
        command.insert(command.end(), options.begin(), options.end());
        return command;
    }

    std::unique_ptr<kvtest::CaptureRun> Start(const std::vector<std::string>& command) const {
        auto run = std::make_unique<kvtest::CaptureRun>(command, work_, logs_);
        EXPECT_TRUE(run->Started());
        return run;
    }

    kvtest::TempDir temp_;
    const fs::path folder_ = temp_ / "captures";
    const fs::path work_ = temp_ / "work";  // no settings file: the defaults apply
    const fs::path logs_ = temp_ / "logs";
};

// A disk that fills while a file is written (a file-size limit stands in for
// it): the capture stops, the file keeps every frame written, in order from
// the tape, and the user is told. The program itself ignores SIGXFSZ.
TEST_F(CaptureFaultsTest, FullDiskStopsTheCaptureAndKeepsTheFramesWritten) {
    kvtest::DemoDeck deck(kDeckName, 8.0);
    ASSERT_TRUE(deck.Added());
    constexpr int kLimitKiB = 3000;  // some twenty frames
    for (const char* type : {"1", "2"}) {
        SCOPED_TRACE(std::string("type ") + type);
        fs::remove_all(folder_);
        fs::create_directory(folder_);
        std::vector<std::string> command{"/bin/bash", "-c", "ulimit -f " + std::to_string(kLimitKiB) + " && exec \"$@\"",
                                         "bash"};
        for (std::string& part : CaptureCommand({"--threshold", "none", "--type", type})) command.push_back(part);
        const auto run = Start(command);
        ASSERT_EQ(run->Wait(kRunLimit), 1) << run->Error();
        EXPECT_NE(run->Error().find(kWriteFailed), std::string::npos) << run->Error();

        const std::vector<ListedFile> files = ListedFiles(run->Output());
        ASSERT_EQ(files.size(), 1u) << run->Output();
        ExpectReadable(files[0]);
        EXPECT_GT(files[0].frames, 5u);
        EXPECT_LE(fs::file_size(files[0].path), std::uintmax_t(kLimitKiB) * 1024);

        // The frames kept are the tape's, one after the other from the start of the capture.
        AviReader reader;
        ASSERT_EQ(reader.Open(files[0].path), S_OK);
        std::vector<BYTE> frame;
        for (std::uint64_t i = 0; i < reader.FrameCount(); ++i) {
            ASSERT_EQ(reader.ReadFrame(i, frame), S_OK);
            ASSERT_TRUE(frame == TapeFrame(i)) << "frame " << i;
        }
    }
}

// The camcorder unplugged mid-capture ends the capture; the file being
// written is closed readable and listed.
TEST_F(CaptureFaultsTest, DeckRemovedMidCaptureEndsItWithTheFileReadable) {
    kvtest::DemoDeck deck(kDeckName, 2.0);
    ASSERT_TRUE(deck.Added());
    const auto run = Start(CaptureCommand({"--threshold", "none", "--type", "2"}));
    ASSERT_TRUE(run->WaitForError("writing ", 30s)) << run->Error();
    std::this_thread::sleep_for(2s);
    ASSERT_EQ(kvtest::RunChild({(kBin / "korvanta-deck").string(), "remove", deck.Name()}).exitCode, 0);

    ASSERT_EQ(run->Wait(kRunLimit), 1) << run->Error();
    EXPECT_NE(run->Error().find("unplugged"), std::string::npos) << run->Error();
    const std::vector<ListedFile> files = ListedFiles(run->Output());
    ASSERT_FALSE(files.empty()) << run->Error();
    for (const ListedFile& file : files) ExpectReadable(file);
    EXPECT_GT(files.back().frames, 0u);
}

// The capture folder removed while files are still to come: the next file
// cannot be written, which stops the capture with the message. The files
// finished before went with the folder, so none is listed as written.
TEST_F(CaptureFaultsTest, FolderRemovedMidCaptureIsReported) {
    kvtest::DemoDeck deck(kDeckName, 1.0);
    ASSERT_TRUE(deck.Added());
    const auto run = Start(CaptureCommand({"--threshold", "1", "--type", "2"}));
    ASSERT_TRUE(run->WaitForError("finished ", 30s)) << run->Error();
    fs::remove_all(folder_);

    ASSERT_EQ(run->Wait(kRunLimit), 1) << run->Error();
    EXPECT_NE(run->Error().find(kWriteFailed), std::string::npos) << run->Error();
    EXPECT_EQ(run->Output(), "");
    EXPECT_FALSE(fs::exists(folder_)) << "nothing is written after the folder is gone";
}

TEST_F(CaptureFaultsTest, MissingFolderAtStartCapturesNothing) {
    kvtest::DemoDeck deck(kDeckName, 8.0);
    ASSERT_TRUE(deck.Added());
    fs::remove_all(folder_);
    const auto run = Start(CaptureCommand({}));
    ASSERT_EQ(run->Wait(kRunLimit), 1) << run->Error();
    EXPECT_NE(run->Error().find("The folder for recorded files does not exist."), std::string::npos) << run->Error();
    EXPECT_EQ(run->Error().find("writing "), std::string::npos) << run->Error();
    EXPECT_EQ(run->Output(), "");
    EXPECT_FALSE(fs::exists(folder_));
}

// An interrupt (Ctrl+C) ends the capture as the stop button does: the file
// closes readable and is listed.
TEST_F(CaptureFaultsTest, InterruptEndsTheCaptureWithTheFilesListed) {
    kvtest::DemoDeck deck(kDeckName, 1.0);
    ASSERT_TRUE(deck.Added());
    const auto run = Start(CaptureCommand({"--threshold", "none", "--type", "1"}));
    ASSERT_TRUE(run->WaitForError("writing ", 30s)) << run->Error();
    std::this_thread::sleep_for(1500ms);
    run->Signal(SIGINT);

    ASSERT_EQ(run->Wait(kRunLimit), 1) << run->Error();
    EXPECT_NE(run->Error().find("interrupted"), std::string::npos) << run->Error();
    const std::vector<ListedFile> files = ListedFiles(run->Output());
    ASSERT_EQ(files.size(), 1u) << run->Output();
    ExpectReadable(files[0]);
    EXPECT_GT(files[0].frames, 0u);
}

TEST_F(CaptureFaultsTest, BadCommandLinesExitWithTwoAndSayWhy) {
    const struct {
        std::vector<std::string> arguments;
        const char* says;
    } cases[] = {
        {{"--bogus"}, "unknown option '--bogus'"},
        {{"--device"}, "option --device needs a value"},
        {{"--folder"}, "option --folder needs a value"},
        {{"--type", "3"}, "invalid --type '3'"},
        {{"--threshold", "soon"}, "invalid threshold 'soon'"},
        {{"--threshold", "-5"}, "invalid threshold '-5'"},
        {{"--threshold", "000 00 60 00"}, "invalid threshold"},
        {{"--start", "later"}, "invalid --start 'later'"},
        {{"--stop", "after=0"}, "invalid --stop 'after=0'"},
        {{"--stop", "after=x"}, "invalid --stop 'after=x'"},
        {{"--stop", "never"}, "invalid --stop 'never'"},
        {{"--play", "extra"}, "unknown option 'extra'"},
    };
    for (const auto& bad : cases) {
        std::vector<std::string> command{(kBin / "korvanta-capture").string()};
        command.insert(command.end(), bad.arguments.begin(), bad.arguments.end());
        SCOPED_TRACE(command.back());
        const kvtest::ChildResult result = kvtest::RunChild(command);
        EXPECT_EQ(result.exitCode, 2) << result.output;
        EXPECT_NE(result.output.find(std::string("korvanta-capture: ") + bad.says), std::string::npos) << result.output;
        EXPECT_NE(result.output.find("--help"), std::string::npos) << result.output;
    }
}

}  // namespace
