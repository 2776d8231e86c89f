#include "output/numbersymbols.h"

#include <optional>

namespace qv::fields {

const NumberSymbols& numberSymbols(const QLocale& locale) {
    thread_local std::optional<NumberSymbols> cached;
    if (!cached || !(cached->locale == locale)) {
        NumberSymbols s;
        s.locale = locale;
        s.decimalPoint = locale.decimalPoint();
        s.groupSeparator = locale.groupSeparator();
        s.currencySymbol = locale.currencySymbol();
        s.groupIsSpace = s.groupSeparator.size() == 1 && s.groupSeparator.at(0).isSpace();
        cached = std::move(s);
    }
    return *cached;
}

} // namespace qv::fields
