#include "settings/inifile.h"

#include "platform/codepage.h"
#include "settings/settingsfile.h"

namespace qv {
namespace {

const QString kCrLf = QStringLiteral("\r\n");
constexpr QChar kCr = QLatin1Char('\r');
constexpr QChar kLf = QLatin1Char('\n');

// Lower case within the code page: a character whose lower-case form the code page cannot hold
// stays as it is, so the text keeps one character per byte and positions agree.
QString lowerCase(const QString& text) {
    QString lower = text;
    for (QChar& c : lower) {
        const QChar l = c.toLower();
        if (l != c && codepage::encodeChar(l) != '?')
            c = l;
    }
    return lower;
}

// Every line end as CR LF: a file a text editor wrote with LF alone (or an old one with CR
// alone) reads and is rewritten as one the program wrote.
QString withCrLf(const QString& text) {
    if (!text.contains(kLf))
        return text;
    QString lines = text;
    lines.replace(kCrLf, QString(kLf));
    lines.replace(kCr, kLf);
    lines.replace(kLf, kCrLf);
    return lines;
}

// The file decoded, after making sure it exists.
bool readText(const QString& path, QString* text, QString* error) {
    QByteArray bytes;
    if (!settingsfile::ensureExists(path, error) || !settingsfile::readBytes(path, &bytes, error))
        return false;
    *text = withCrLf(codepage::decode(bytes));
    return true;
}

} // namespace

namespace ini {

QString lookup(const QString& fileText, const QString& section, const QString& key) {
    const QString header = QLatin1Char('[') + lowerCase(section) + QLatin1Char(']');
    const QString prefix = lowerCase(key) + QLatin1Char('=');
    bool inSection = false;
    qsizetype start = 0;
    const qsizetype size = fileText.size();
    while (start < size) {
        // A line ends at CR or CR LF; a lone LF is an ordinary character.
        qsizetype end = fileText.indexOf(kCr, start);
        if (end < 0)
            end = size;
        const QString line = fileText.mid(start, end - start);
        start = end + 1;
        if (start < size && end < size && fileText[start] == kLf)
            ++start;

        const QString lower = lowerCase(line);
        const bool bracket = lower.contains(QLatin1Char('['));
        if (bracket)
            inSection = false;
        if (lower == header)
            inSection = true;
        if (bracket || !inSection)
            continue;
        if (lower.startsWith(prefix))
            return line.mid(prefix.size());
    }
    return {};
}

QString applyWrite(const QString& fileText, const QString& section, const QString& key,
                   const QString& value) {
    // A leading line end lets a header on the first line be found; the closing "[]" marks the
    // end as if another section began there.
    QString text = kCrLf + fileText + QStringLiteral("[]");
    const QString lower = lowerCase(text);
    const QString header = kCrLf + QLatin1Char('[') + lowerCase(section) + QLatin1Char(']') + kCr;
    const qsizetype h = header.size();
    const QString entry = kLf + lowerCase(key) + QLatin1Char('=');
    const QString line = key + QLatin1Char('=') + value;

    const qsizetype p = lower.indexOf(header); // 0-based here
    text.chop(2);
    if (p < 0) {
        text += kCrLf + kCrLf + QLatin1Char('[') + section + QLatin1Char(']') + kCrLf + line;
    } else {
        const qsizetype next = lower.indexOf(QLatin1Char('['), p + h);
        const qsizetype q = lower.indexOf(entry, p);
        if (q < 0 || q > next) {
            // New entry: the first line of the section, right after the header line's end.
            const qsizetype cut = p + h + 1;
            text = text.left(cut) + line + kCrLf + text.mid(cut);
        } else {
            // Replace the old value up to the end of its line; the rest stays unchanged.
            qsizetype e = text.indexOf(kCr, q);
            if (e < 0)
                e = text.size();
            text = text.left(q + 1) + line + text.mid(e);
        }
    }

    text.remove(0, 1);
    qsizetype last = text.size();
    while (last > 0 && text[last - 1].unicode() <= 13)
        --last;
    text.truncate(last);
    qsizetype first = 0;
    while (first < text.size() && text[first].unicode() <= 13)
        ++first;
    text.remove(0, first);
    return text + kCrLf;
}

} // namespace ini

QString INIread(const QString& path, const QString& section, const QString& key, bool* ok,
                QString* error) {
    QString text;
    const bool good = readText(path, &text, error);
    if (ok)
        *ok = good;
    return good ? ini::lookup(text, section, key) : QString();
}

bool INIwrite(const QString& path, const QString& section, const QString& key, const QString& value,
              QString* error) {
    QString target, text;
    if (!settingsfile::writableTarget(path, &target, error) || !readText(target, &text, error))
        return false;
    return settingsfile::replaceOwnerOnly(
        target, codepage::encode(ini::applyWrite(text, section, key, value)), error);
}

} // namespace qv
