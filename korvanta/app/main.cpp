// korvanta: the desktop program. It takes no arguments.
#include <QApplication>

#include "korvanta/app/placeholder_window.h"
#include "korvanta/core/program_application.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    return RunKorvanta(RunPlaceholderWindow);
}
