#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

// Dates and times as the operator's locale writes them. The long time is the locale's long time
// without a time zone; the general form is the short date followed by the long time. Every date
// the program shows or writes uses these, so that the same moment reads the same everywhere.
namespace qv {

QString shortDate(const QDate& date, const QLocale& locale = QLocale());
QString longTime(const QTime& time, const QLocale& locale = QLocale());
QString generalDate(const QDateTime& when, const QLocale& locale = QLocale()); // "" when invalid

} // namespace qv
