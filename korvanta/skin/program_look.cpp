#include "korvanta/skin/program_look.h"

#include <QFont>
#include <QStyleFactory>

void ApplyProgramLook(QApplication& application) {
    // Fusion draws the same on every desktop, so the dialogs keep the
    // proportions they were laid out with.
    if (QStyle* style = QStyleFactory::create("Fusion"))
        application.setStyle(style);
    QFont font("DejaVu Sans");
    font.setPointSize(9);
    application.setFont(font);
}
