// korvanta: the desktop program. It takes no arguments.
#include <QApplication>

#include "korvanta/core/program_application.h"
#include "korvanta/mainwindow/main_window.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return RunKorvanta([] {
        MainWindow window{CaptureWindowFactory()};
        window.exec();
    });
}
