#include "korvanta/skin/qt_message_box_presenter.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

#include "korvanta/core/language.h"

namespace {

// Presses a button of the box that is about to open, as a user would, and
// remembers what the box showed.
struct BoxAnswer {
    QMessageBox::StandardButton press;
    QString caption;
    QString text;
    int buttons = 0;

    void Arm() {
        QTimer::singleShot(0, [this] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            caption = box->windowTitle();
            text = box->text();
            buttons = static_cast<int>(box->buttons().size());
            box->button(press)->click();
        });
    }
};

TEST(QtMessageBoxPresenter, ShowsTheTextAndReturnsTheButtonPressed) {
    int argc = 0;
    QApplication application(argc, nullptr);
    QtMessageBoxPresenter presenter;
    ScopedMessageBoxPresenter installed(presenter);

    BoxAnswer no{QMessageBox::No, {}, {}};
    no.Arm();
    EXPECT_EQ(ShowMessageBox("Delete?\nReally", MessageBoxButtons::YesNo), MessageBoxResult::No);
    EXPECT_EQ(no.caption, "Korvanta");
    EXPECT_EQ(no.text, "Delete?\nReally");
    EXPECT_EQ(no.buttons, 2);

    BoxAnswer yes{QMessageBox::Yes, {}, {}};
    yes.Arm();
    EXPECT_EQ(ShowMessageBox("Delete?", MessageBoxButtons::YesNo), MessageBoxResult::Yes);

    BoxAnswer ok{QMessageBox::Ok, {}, {}};
    ok.Arm();
    EXPECT_EQ(ShowMessageBox("Gr\xC3\xBC\xC3\x9F" "e", MessageBoxButtons::Ok), MessageBoxResult::Ok);
    EXPECT_EQ(ok.text, QString::fromUtf8("Grüße"));
    EXPECT_EQ(ok.buttons, 1);
}

}  // namespace
