#include "platform/system/locale_text.h"

#include <QDate>
#include <QLocale>
#include <QString>
#include <QTime>

namespace {

// The locale's long time format shows the seconds, as a recording time needs,
// but may end in a time zone ("t"); a recording time carries none, so the zone
// and the spaces before it are dropped. Quoted literals are kept as they are.
QString TimeFormatWithoutZone(const QString& format) {
    QString result;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format.at(i);
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == u't') {
            while (!result.isEmpty() && result.back().isSpace()) result.chop(1);
            continue;
        }
        result += c;
    }
    // A zone at the start leaves the spaces that followed it.
    while (!result.isEmpty() && result.front().isSpace()) result.remove(0, 1);
    return result;
}

}  // namespace

std::string LocaleDateTimeText(int year, int month, int day, int hour, int minute, int second, bool dateOnly) {
    const QLocale locale = QLocale::system();
    QString text = locale.toString(QDate(year, month, day), QLocale::ShortFormat);
    if (!dateOnly) {
        const QString format = TimeFormatWithoutZone(locale.timeFormat(QLocale::LongFormat));
        text += u' ';
        text += locale.toString(QTime(hour, minute, second), format);
    }
    return text.toStdString();
}
