// Date and time pictures (the \@ switch) and reading the dates a merge file holds.
#include "output/fieldformat.h"

#include <optional>

namespace qv::fields {

namespace {

const char* const englishMonths[12] = {"january",   "february", "march",    "april",
                                       "may",       "june",     "july",     "august",
                                       "september", "october",  "november", "december"};
const char* const englishDays[7] = {"monday", "tuesday",  "wednesday", "thursday",
                                    "friday", "saturday", "sunday"};

enum class DateOrder { DayMonthYear, MonthDayYear, YearMonthDay };

// A locale's names and short-date order, looked up once per locale and thread.
struct DateNames {
    QLocale locale;
    QString months[12], shortMonths[12], standaloneMonths[12], standaloneShortMonths[12];
    QString days[7], shortDays[7];
    QString am, pm;
    DateOrder order = DateOrder::DayMonthYear;
};

DateOrder shortDateOrder(const QString& format) {
    const qsizetype d = format.indexOf(u'd');
    const qsizetype m = format.indexOf(u'M');
    const qsizetype y = format.indexOf(u'y');
    if (y >= 0 && (d < 0 || y < d) && (m < 0 || y < m))
        return DateOrder::YearMonthDay;
    if (m >= 0 && d >= 0 && m < d)
        return DateOrder::MonthDayYear;
    return DateOrder::DayMonthYear;
}

const DateNames& dateNames(const QLocale& locale) {
    thread_local std::optional<DateNames> cached;
    if (cached && cached->locale == locale)
        return *cached;
    DateNames n;
    n.locale = locale;
    for (int i = 0; i < 12; ++i) {
        n.months[i] = locale.monthName(i + 1, QLocale::LongFormat);
        n.shortMonths[i] = locale.monthName(i + 1, QLocale::ShortFormat);
        n.standaloneMonths[i] = locale.standaloneMonthName(i + 1, QLocale::LongFormat);
        n.standaloneShortMonths[i] = locale.standaloneMonthName(i + 1, QLocale::ShortFormat);
    }
    for (int i = 0; i < 7; ++i) {
        n.days[i] = locale.dayName(i + 1, QLocale::LongFormat);
        n.shortDays[i] = locale.dayName(i + 1, QLocale::ShortFormat);
    }
    n.am = locale.amText().isEmpty() ? QStringLiteral("AM") : locale.amText();
    n.pm = locale.pmText().isEmpty() ? QStringLiteral("PM") : locale.pmText();
    n.order = shortDateOrder(locale.dateFormat(QLocale::ShortFormat));
    cached = std::move(n);
    return *cached;
}

// A name matches a word of the text without regard to case or a trailing abbreviation point.
bool nameMatches(QStringView word, QStringView name) {
    if (name.endsWith(u'.'))
        name.chop(1);
    return !name.isEmpty() && word.compare(name, Qt::CaseInsensitive) == 0;
}

bool englishMatches(QStringView word, const char* name, bool allowShort) {
    const QLatin1StringView full(name);
    if (word.compare(full, Qt::CaseInsensitive) == 0)
        return true;
    return allowShort && word.size() >= 3 && word.size() < full.size() &&
           full.startsWith(word, Qt::CaseInsensitive) && (word.size() == 3 || word.size() == 4);
}

// 1..12 for a month name in the locale or in English, else 0.
int monthNumber(QStringView word, const DateNames& n) {
    for (int i = 0; i < 12; ++i) {
        if (nameMatches(word, n.months[i]) || nameMatches(word, n.shortMonths[i]) ||
            nameMatches(word, n.standaloneMonths[i]) ||
            nameMatches(word, n.standaloneShortMonths[i]) ||
            englishMatches(word, englishMonths[i], true))
            return i + 1;
    }
    return 0;
}

bool isDayName(QStringView word, const DateNames& n) {
    for (int i = 0; i < 7; ++i) {
        if (nameMatches(word, n.days[i]) || nameMatches(word, n.shortDays[i]) ||
            englishMatches(word, englishDays[i], true))
            return true;
    }
    return false;
}

// The text cut into runs of digits and runs of letters, with what lies between them.
struct Tokens {
    static constexpr int Max = 12;
    struct Token {
        QStringView text;
        QStringView before; // the characters between the previous token and this one
        bool number = false;
        int value = 0;
    };
    Token items[Max];
    int count = 0;
    QStringView trailing;
};

bool tokenize(QStringView s, Tokens& t) {
    qsizetype i = 0;
    while (i < s.size()) {
        const qsizetype gap = i;
        while (i < s.size() && !s[i].isLetterOrNumber())
            ++i;
        if (i == s.size()) {
            t.trailing = s.mid(gap);
            break;
        }
        if (t.count == Tokens::Max)
            return false;
        Tokens::Token& token = t.items[t.count++];
        token.before = s.mid(gap, i - gap);
        const qsizetype start = i;
        token.number = s[i] >= u'0' && s[i] <= u'9';
        if (!token.number && !s[i].isLetter())
            return false; // other digits (Arabic-Indic and the like) are not read
        while (i < s.size() && (token.number ? (s[i] >= u'0' && s[i] <= u'9') : s[i].isLetter()))
            ++i;
        token.text = s.mid(start, i - start);
        if (token.number) {
            if (token.text.size() > 9)
                return false;
            for (const QChar c : token.text)
                token.value = token.value * 10 + (c.unicode() - u'0');
        }
    }
    return true;
}

// A year as written: two digits in the window 1930..2029, as Windows reads them; four as is.
int fullYear(const Tokens::Token& token) {
    if (token.text.size() <= 2)
        return token.value < 30 ? 2000 + token.value : 1900 + token.value;
    return token.text.size() == 4 ? token.value : -1;
}

bool isDateSeparator(QStringView s) {
    return s == u"/" || s == u"." || s == u"-";
}

// Reads the date from token `at` on; returns the index after it, or -1.
int readDate(const Tokens& t, int at, const DateNames& names, QDate& date) {
    if (at + 3 > t.count)
        return -1;
    const Tokens::Token& a = t.items[at];
    const Tokens::Token& b = t.items[at + 1];
    const Tokens::Token& c = t.items[at + 2];
    int y = -1, m = 0, d = 0;
    if (a.number && b.number && c.number) {
        if (!isDateSeparator(b.before) || b.before != c.before)
            return -1;
        DateOrder order = a.text.size() == 4 ? DateOrder::YearMonthDay : names.order;
        if (order == DateOrder::YearMonthDay)
            y = fullYear(a), m = b.value, d = c.value;
        else if (order == DateOrder::MonthDayYear)
            m = a.value, d = b.value, y = fullYear(c);
        else
            d = a.value, m = b.value, y = fullYear(c);
    } else if (a.number && !b.number && c.number) { // 5 March 2026, 05-Mar-2026
        d = a.value, m = monthNumber(b.text, names), y = fullYear(c);
    } else if (!a.number && b.number && c.number) { // March 5, 2026
        m = monthNumber(a.text, names), d = b.value, y = fullYear(c);
    }
    if (y < 0 || m < 1 || m > 12 || d < 1 || d > 31)
        return -1;
    date = QDate(y, m, d);
    return date.isValid() ? at + 3 : -1;
}

// Reads "h:mm[:ss[.fff]] [am|pm]" from token `at` on; returns the index after it, or -1.
int readTime(const Tokens& t, int at, const DateNames& names, QTime& time) {
    if (at + 2 > t.count || !t.items[at].number || !t.items[at + 1].number ||
        t.items[at + 1].before != u":")
        return -1;
    const int h = t.items[at].value;
    const int m = t.items[at + 1].value;
    int s = 0;
    int next = at + 2;
    if (next < t.count && t.items[next].number && t.items[next].before == u":")
        s = t.items[next++].value;
    if (next < t.count && t.items[next].number && t.items[next].before == u".")
        ++next; // fractions of a second
    int hour = h;
    if (next < t.count && !t.items[next].number) {
        const QStringView w = t.items[next].text;
        const bool pm = nameMatches(w, names.pm) || w.compare(u"pm", Qt::CaseInsensitive) == 0;
        const bool am = nameMatches(w, names.am) || w.compare(u"am", Qt::CaseInsensitive) == 0;
        if (!am && !pm)
            return -1;
        if (h < 1 || h > 12)
            return -1;
        hour = (h % 12) + (pm ? 12 : 0);
        ++next;
    }
    if (hour > 23 || m > 59 || s > 59)
        return -1;
    time = QTime(hour, m, s);
    return next;
}

} // namespace

std::optional<QDateTime> parseDate(const QString& text, const QLocale& locale) {
    Tokens t;
    if (!tokenize(QStringView(text).trimmed(), t) || t.count == 0 || !t.trailing.isEmpty())
        return std::nullopt;
    const DateNames& names = dateNames(locale);
    int at = 0;
    if (!t.items[0].number && isDayName(t.items[0].text, names))
        at = 1;               // a leading weekday name: "Thursday, 5 March 2026"
    QDate date(1899, 12, 30); // the word processor's day zero, for a time alone
    QTime time(0, 0);
    const int afterDate = readDate(t, at, names, date);
    if (afterDate >= 0) {
        at = afterDate;
        if (at < t.count && !t.items[at].number && t.items[at].before.isEmpty() &&
            t.items[at].text.compare(u"T", Qt::CaseInsensitive) == 0)
            ++at; // ISO "2026-03-05T14:30"
    } else if (at != 0) {
        return std::nullopt;
    }
    if (at < t.count) {
        const QStringView gap = t.items[at].before;
        const QStringView mark = gap.trimmed();
        if (afterDate == at &&
            (gap.isEmpty() || !gap.back().isSpace() || !(mark.isEmpty() || mark == u",")))
            return std::nullopt; // the time follows the date after a space (or a "T")
        at = readTime(t, at, names, time);
        if (at != t.count)
            return std::nullopt;
    } else if (afterDate < 0) {
        return std::nullopt;
    }
    return QDateTime(date, time, Qt::UTC);
}

namespace {

void appendNumber(QString& out, int value, int width) {
    char buf[12];
    int n = 0;
    do {
        buf[n++] = char('0' + value % 10);
        value /= 10;
    } while (value > 0);
    for (int i = n; i < width; ++i)
        out += u'0';
    while (n > 0)
        out += QLatin1Char(buf[--n]);
}

qsizetype runLength(QStringView picture, qsizetype at, bool anyCase) {
    const QChar c = picture[at];
    qsizetype end = at + 1;
    while (end < picture.size() &&
           (picture[end] == c || (anyCase && picture[end].toLower() == c.toLower())))
        ++end;
    return end - at;
}

// Writes the picture item starting at `at`; returns its length.
qsizetype writeItem(QString& out, QStringView picture, qsizetype at, const QDateTime& when,
                    const DateNames& names) {
    const QChar c = picture[at];
    const char16_t lower = c.toLower().unicode();
    const bool anyCase = lower == u'd' || lower == u'y';
    const qsizetype run = runLength(picture, at, anyCase);
    const QDate date = when.date();
    const QTime time = when.time();
    if (lower == u'd') {
        if (run <= 2)
            appendNumber(out, date.day(), int(run));
        else
            out += (run == 3 ? names.shortDays : names.days)[date.dayOfWeek() - 1];
    } else if (c == u'M') {
        if (run <= 2)
            appendNumber(out, date.month(), int(run));
        else
            out += (run == 3 ? names.shortMonths : names.months)[date.month() - 1];
    } else if (lower == u'y') {
        const int year = date.year() < 0 ? -date.year() : date.year();
        appendNumber(out, run <= 2 ? year % 100 : year, run <= 2 ? 2 : 4);
    } else if (c == u'h') {
        appendNumber(out, time.hour() % 12 == 0 ? 12 : time.hour() % 12, run >= 2 ? 2 : 1);
    } else if (c == u'H') {
        appendNumber(out, time.hour(), run >= 2 ? 2 : 1);
    } else if (c == u'm') {
        appendNumber(out, time.minute(), run >= 2 ? 2 : 1);
    } else if (c == u's') {
        appendNumber(out, time.second(), run >= 2 ? 2 : 1);
    } else if (lower == u'a' && picture.mid(at, 5).compare(u"am/pm", Qt::CaseInsensitive) == 0) {
        const QString& text = time.hour() < 12 ? names.am : names.pm;
        out += c.isUpper() ? text.toUpper() : text.toLower();
        return 5;
    } else {
        out += c;
        return 1;
    }
    return run;
}

} // namespace

QString formatDate(const QDateTime& when, const QString& picture, const QLocale& locale) {
    if (!when.isValid())
        return QString();
    const DateNames& names = dateNames(locale);
    QString out;
    out.reserve(picture.size() + 16);
    const QStringView p(picture);
    qsizetype i = 0;
    while (i < p.size()) {
        if (p[i] == u'\'') { // literal text up to the next apostrophe
            const qsizetype close = p.indexOf(u'\'', i + 1);
            const qsizetype end = close < 0 ? p.size() : close;
            out += p.mid(i + 1, end - i - 1);
            i = end + 1;
        } else {
            i += writeItem(out, p, i, when, names);
        }
    }
    return out;
}

} // namespace qv::fields
