#pragma once

#include <QLocale>
#include <QString>

// The characters a locale writes numbers with, looked up once per locale and thread: the field
// switches run for every field of every record and QLocale builds these strings on each call.
namespace qv::fields {

struct NumberSymbols {
    QLocale locale;
    QString decimalPoint;
    QString groupSeparator;
    QString currencySymbol;
    bool groupIsSpace = false; // a (no-break) space groups digits; a plain space is read as one too
};

const NumberSymbols& numberSymbols(const QLocale& locale);

} // namespace qv::fields
