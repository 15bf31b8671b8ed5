// korvanta-demotape-stamp FILE [--no-date]
//
// Rewrites, in place, the recording date and time of every frame of a raw
// DV file the way a camcorder records them (see recording_packs.h). The
// ffmpeg command writes the date and time only into the VAUX area; these are
// copied into the subcode, where the program reads them. With --no-date
// every frame gets the packs of a camcorder whose clock was never set.
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "dvshared/dv_frame_reader.h"
#include "platform/devices/recording_packs.h"
#include "platform/devices/tape_file.h"

namespace {

bool StampFrame(std::vector<std::uint8_t>& frame, bool is625, bool noDate) {
    DvPack date = MakeRecordingDatePack(std::nullopt);
    DvPack time = MakeRecordingTimePack(std::nullopt);
    if (!noDate) {
        DvFrameReader reader;
        reader.Attach(frame.data(), static_cast<std::uint32_t>(frame.size()));
        if (!reader.FindVauxPack(kDvPackRecordingDate, date) || !reader.FindVauxPack(kDvPackRecordingTime, time))
            return false;
    }
    WriteRecordingPacks(frame, is625, date, time);
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args.size() > 2 || (args.size() == 2 && args[1] != "--no-date")) {
        std::cerr << "usage: korvanta-demotape-stamp FILE [--no-date]\n";
        return 2;
    }
    const bool noDate = args.size() == 2;
    TapeFile tape;
    if (FAILED(tape.Open(args[0]))) {
        std::cerr << "korvanta-demotape-stamp: " << args[0] << " is not a raw DV file\n";
        return 1;
    }
    std::fstream file(args[0], std::ios::in | std::ios::out | std::ios::binary);
    std::vector<std::uint8_t> frame(tape.FrameBytes());
    for (std::int64_t index = 0; index < tape.FrameCount(); ++index) {
        if (!tape.ReadFrame(index, frame) || !StampFrame(frame, tape.Is625(), noDate)) {
            std::cerr << "korvanta-demotape-stamp: frame " << index << " of " << args[0]
                      << " has no recording date to copy\n";
            return 1;
        }
        file.seekp(index * tape.FrameBytes());
        file.write(reinterpret_cast<const char*>(frame.data()), static_cast<std::streamsize>(frame.size()));
    }
    file.flush();
    if (!file) {
        std::cerr << "korvanta-demotape-stamp: cannot write " << args[0] << "\n";
        return 1;
    }
    return 0;
}
