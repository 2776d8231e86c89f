#include "output/fieldformat.h"

namespace qv::fields {

std::optional<double> parseNumber(const QString& text, const QLocale& locale) {
    bool ok = false;
    const double v = locale.toDouble(text.trimmed(), &ok);
    return ok ? std::optional<double>(v) : std::nullopt;
}

QString formatNumber(double value, const QString&, const QLocale&) {
    return QString::number(value);
}

std::optional<QDateTime> parseDate(const QString& text, const QLocale&) {
    const QDateTime d = QDateTime::fromString(text.trimmed(), Qt::ISODate);
    return d.isValid() ? std::optional<QDateTime>(d) : std::nullopt;
}

QString formatDate(const QDateTime& when, const QString& picture, const QLocale& locale) {
    return locale.toString(when, picture);
}

QString applyNumericPicture(const QString& value, const QString& picture, const QLocale& locale) {
    const std::optional<double> n = parseNumber(value, locale);
    return n ? formatNumber(*n, picture, locale) : value;
}

QString applyDatePicture(const QString& value, const QString& picture, const QLocale& locale) {
    const std::optional<QDateTime> d = parseDate(value, locale);
    return d ? formatDate(*d, picture, locale) : value;
}

QString applyGeneralFormat(const QString& value, const QString& format, const QLocale&,
                           bool* known) {
    if (known)
        *known = true;
    const QString f = format.toLower();
    if (f == QLatin1String("upper"))
        return value.toUpper();
    if (f == QLatin1String("lower"))
        return value.toLower();
    return value;
}

} // namespace qv::fields
