// korvanta-capture: captures a DV tape into one file per scene without a
// window, on the capture engine the program's capture window uses.
#include <QApplication>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <iostream>

#include "capture_options.h"
#include "headless_capture.h"
#include "input_deck.h"
#include "repair_files.h"
#include "korvanta/capture/device_list.h"
#include "korvanta/core/ini_documents.h"
#include "platform/devices/deck_devices.h"
#include "platform/devices/ieee1394/firewire_devices.h"
#include "platform/devices/ieee1394/linux_fw_bus.h"
#include "platform/media/graph/builtin_classes.h"
#include "platform/media/renderers/renderer_classes.h"

namespace {

void OnStopSignal(int) { HeadlessCapture::RequestStop(); }

// The virtual decks and the camcorders on the 1394 bus; when no camcorder can
// be used, why (no controller, no rights on its device node) goes to stderr.
int ListDevices(const FireWireDevices& firewire) {
    for (const DeviceEntry& entry : EnumerateDevices())
        std::cout << entry.name << "\t" << (entry.id ? FormatDeviceId(*entry.id) : std::string("-")) << "\n";
    if (const std::string why = firewire.Diagnose(); !why.empty()) std::cerr << "korvanta-capture: " << why << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> arguments(argv + 1, argv + argc);
    std::string error;
    std::optional<CaptureOptions> options = ParseCaptureOptions(arguments, error);
    if (!options) {
        std::cerr << "korvanta-capture: " << error << "\nTry 'korvanta-capture --help' for more information.\n";
        return 2;
    }
    if (options->help) {
        std::cout << CaptureUsageText();
        return 0;
    }
    if (!options->repair.empty()) return RepairFiles(options->repair, std::cout, std::cerr);

    // The picture is decoded for the meters and thumbnails but never shown.
    if (!std::getenv("QT_QPA_PLATFORM")) ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    LoadProgramDocuments(std::filesystem::current_path());
    if (FAILED(KvMediaRegisterPlatformClasses()) || FAILED(KvRegisterRendererClasses())) {
        std::cerr << "korvanta-capture: the media framework cannot be started\n";
        return 1;
    }
    InputDeck input;
    if (options->input) {
        std::string why;
        if (!input.Plug(*options->input, why)) {
            std::cerr << "korvanta-capture: " << *options->input << ": " << why << "\n";
            return 1;
        }
        options->deviceId = input.Id();
        options->waitingDeck = input.Name();
        options->play = true;
    }
    const DeckDevices decks;
    const FireWireDevices firewire(std::make_shared<LinuxFireWireBus>());
    if (options->listDevices) return ListDevices(firewire);

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);
    // A file-size limit reached while writing is a full disk to the capture:
    // the write fails, the capture stops and the file is kept, where the
    // signal's default action would kill the program with the file unclosed.
    std::signal(SIGXFSZ, SIG_IGN);
    HeadlessCapture capture(*options, std::cout, std::cerr);
    capture.SetNoDeviceHint([&firewire] { return firewire.Diagnose(); });
    return capture.Run();
}
