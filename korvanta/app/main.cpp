// korvanta: the desktop program. It takes no arguments.
#include <QApplication>
#include <memory>

#include "korvanta/capturewindow/capture_dialog_factory.h"
#include "korvanta/core/program_application.h"
#include "korvanta/mainwindow/main_window.h"
#include "platform/devices/deck_devices.h"
#include "platform/devices/ieee1394/firewire_devices.h"
#include "platform/devices/ieee1394/linux_fw_bus.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return RunKorvanta([] {
        // The camcorders the capture window can choose from while the
        // program runs: the virtual decks and those on the 1394 bus.
        const DeckDevices decks;
        const FireWireDevices firewire(std::make_shared<LinuxFireWireBus>());
        MainWindow window{MakeCaptureDialog};
        window.exec();
    });
}
