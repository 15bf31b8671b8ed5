#include "korvanta/app/placeholder_window.h"

#include <QDialog>
#include <QLabel>
#include <QVBoxLayout>

void RunPlaceholderWindow() {
    QDialog window;
    window.setWindowTitle("Korvanta");
    window.setMinimumSize(400, 400);
    auto* label = new QLabel("Korvanta is ready.\nThe preview folder window is not built yet; close this window to end the program.",
                             &window);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(label);
    window.exec();
}
