#include "korvanta/skin/about_dialog.h"

#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QPixmap>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "korvanta/resources/resource_names.h"
#include "korvanta/skin/dialog_units.h"

AboutDialog::AboutDialog(QWidget* owner) : QDialog(owner) {
    setWindowTitle("About Korvanta");
    setFixedSize(DialogUnits(font()).Size(239, 350));

    auto* picture = new QLabel(this);
    const QPixmap bitmap(QString::fromStdString(BitmapResourcePath(kBitmapId)));
    picture->setPixmap(bitmap);
    picture->setAlignment(Qt::AlignCenter);

    auto* page = new QTextBrowser(this);
    // Links in the page open in the desktop's browser, not in the box.
    page->setOpenExternalLinks(true);
    QFile html(QString::fromStdString(PageResourcePath(kPageId)));
    const bool pageFound = html.open(QIODevice::ReadOnly);
    if (pageFound) page->setHtml(QString::fromUtf8(html.readAll()));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picture);
    layout->addWidget(page, 1);
    layout->addWidget(buttons);
    complete_ = !bitmap.isNull() && pageFound;
}
