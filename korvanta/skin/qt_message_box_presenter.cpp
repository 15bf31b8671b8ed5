#include "korvanta/skin/qt_message_box_presenter.h"

#include <QMessageBox>
#include <QString>

namespace {

QString ToQString(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

MessageBoxResult QtMessageBoxPresenter::Show(std::string_view text, std::string_view caption,
                                             MessageBoxButtons buttons) {
    const bool question = buttons == MessageBoxButtons::YesNo;
    QMessageBox box(QMessageBox::NoIcon, ToQString(caption), ToQString(text),
                    question ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    switch (box.exec()) {
        case QMessageBox::Yes: return MessageBoxResult::Yes;
        case QMessageBox::No: return MessageBoxResult::No;
        default: return question ? MessageBoxResult::No : MessageBoxResult::Ok;
    }
}
