#include "platform/dates.h"

namespace qv {
namespace {

// The locale's long time format without its time zone ("t" to "tttt") and the spaces around it.
QString longTimeFormat(const QLocale& locale) {
    const QString format = locale.timeFormat(QLocale::LongFormat);
    QString out;
    bool quoted = false;
    for (const QChar c : format) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        out += c;
    }
    return out.simplified();
}

} // namespace

QString shortDate(const QDate& date, const QLocale& locale) {
    return locale.toString(date, QLocale::ShortFormat);
}

QString longTime(const QTime& time, const QLocale& locale) {
    return locale.toString(time, longTimeFormat(locale));
}

QString generalDate(const QDateTime& when, const QLocale& locale) {
    if (!when.isValid())
        return {};
    return shortDate(when.date(), locale) + QLatin1Char(' ') + longTime(when.time(), locale);
}

} // namespace qv
