// The settings file's reader and writer on arbitrary input. The input holds, one to a line, the
// section, the key and the value; the rest of it is the file's contents.
//
// Every input is written as it is (the writer and the reader must not fail on any text). Then the
// file is given CR LF line ends, the way the program writes it, and no control characters at its
// start. For a section and key the dialect can name (no line end in either, no "[" in the key)
// and a value it can hold (no CR, no "[", no trailing control character), the written text (and,
// now and then, the same write through real files with INIwrite and INIread) must show:
//   - INIread then returns exactly the value written;
//   - every other line of the file is kept, in order: the written file equals the old file with
//     the key's first line in the section replaced (or, when it had none, a new line first in the
//     first such section, or a new section at the end), with blank lines and control characters
//     at the very end of the file trimmed and a final CR LF.
// The expected file is built line by line below, independently of the writer's position arithmetic.
#include "platform/codepage.h"
#include "settings/inifile.h"

#include <QDir>
#include <QFile>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void fail(const char* what, const QString& detail = {}) {
    std::fprintf(stderr, "inifile invariant broken: %s\n%s\n", what, detail.toUtf8().constData());
    std::abort();
}

QString lowerCase(const QString& text) {
    QString lower = text;
    for (QChar& c : lower) {
        const QChar l = c.toLower();
        if (l != c && qv::codepage::encodeChar(l) != '?')
            c = l;
    }
    return lower;
}

// Every CR, LF and CR LF becomes CR LF.
QString crLfLines(const QString& text) {
    QString out;
    out.reserve(text.size() + text.size() / 8);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == u'\r') {
            out += QLatin1String("\r\n");
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
        } else if (c == u'\n') {
            out += QLatin1String("\r\n");
        } else {
            out += c;
        }
    }
    return out;
}

QString trimControl(const QString& text) {
    qsizetype first = 0, last = text.size();
    while (last > 0 && text[last - 1].unicode() <= 13)
        --last;
    while (first < last && text[first].unicode() <= 13)
        ++first;
    return text.mid(first, last - first);
}

bool hasControlAtEnd(const QString& s) {
    return !s.isEmpty() && s.back().unicode() <= 13;
}

// The written file for a CR LF file, from its lines.
QString expectedWrite(const QString& file, const QString& section, const QString& key,
                      const QString& value) {
    const bool endsWithLineEnd = file.endsWith(QLatin1String("\r\n"));
    QStringList lines = file.split(QStringLiteral("\r\n"));
    if (endsWithLineEnd)
        lines.removeLast(); // no line after the last line end
    const QString header = QLatin1Char('[') + lowerCase(section) + QLatin1Char(']');
    const QString prefix = lowerCase(key) + QLatin1Char('=');
    const QString entry = key + QLatin1Char('=') + value;

    // The first header line with a line end after it.
    qsizetype h = -1;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lowerCase(lines[i]) == header && (i + 1 < lines.size() || endsWithLineEnd)) {
            h = i;
            break;
        }
    }
    if (h < 0) {
        QString text = file;
        text += QLatin1String("\r\n\r\n[") + section + QLatin1String("]\r\n") + entry;
        return trimControl(text) + QLatin1String("\r\n");
    }
    // For the writer the section runs up to the first "[": the line holding it still counts
    // when it starts with the key (the reader skips that line, but finds the new value there).
    qsizetype found = -1;
    for (qsizetype i = h + 1; i < lines.size(); ++i) {
        const QString lower = lowerCase(lines[i]);
        if (lower.startsWith(prefix)) {
            found = i;
            break;
        }
        if (lower.contains(u'['))
            break;
    }
    if (found >= 0)
        lines[found] = entry;
    else
        lines.insert(h + 1, entry);
    return trimControl(lines.join(QLatin1String("\r\n"))) + QLatin1String("\r\n");
}

QString readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail("cannot read the written file");
    return qv::codepage::decode(f.readAll());
}

void writeFile(const QString& path, const QString& text) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        fail("cannot write the test file");
    f.write(qv::codepage::encode(text));
}

QString show(const QString& s) {
    QString out;
    for (const QChar c : s) {
        if (c.unicode() < 0x20)
            out += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
        else
            out += c;
    }
    return out;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString input =
        qv::codepage::decode(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    // section \n key \n value \n file
    QString parts[3];
    qsizetype at = 0;
    for (QString& part : parts) {
        qsizetype end = input.indexOf(u'\n', at);
        if (end < 0)
            end = input.size();
        part = input.mid(at, end - at);
        at = qMin(end + 1, input.size());
    }
    const QString& section = parts[0];
    const QString& key = parts[1];
    const QString& value = parts[2];
    const QString raw = input.mid(at);

    // Any text: no failure, and the written line is in the result.
    const QString written = qv::ini::applyWrite(raw, section, key, value);
    (void)qv::ini::lookup(raw, section, key);
    (void)qv::ini::lookup(written, section, key);
    if (!written.endsWith(QLatin1String("\r\n")))
        fail("the written file does not end with CR LF", show(written));
    if (!hasControlAtEnd(value) && !written.contains(key + QLatin1Char('=') + value))
        fail("the written entry is missing", show(written));

    const bool nameable = !section.contains(u'\r') && !key.contains(u'\r') && !key.contains(u'[') &&
                          !value.contains(u'\r') && !value.contains(u'[') &&
                          !hasControlAtEnd(value);
    if (!nameable)
        return 0;

    // The program's own line ends: read after write, and the other lines kept. The file starts
    // with a printable character: every write trims control characters at the start, which could
    // turn a first line such as "\x01[Default]" into a header that then hides the written entry.
    QString file = crLfLines(raw);
    qsizetype lead = 0;
    while (lead < file.size() && file[lead].unicode() <= 13)
        ++lead;
    file.remove(0, lead);
    const QString expected = expectedWrite(file, section, key, value);
    const QString result = qv::ini::applyWrite(file, section, key, value);
    if (qv::ini::lookup(result, section, key) != value)
        fail("read after write differs", show(value));
    if (result != expected)
        fail("other lines were not kept", QLatin1String("file:\n") + show(file) +
                                              QLatin1String("\nwritten:\n") + show(result) +
                                              QLatin1String("\nexpected:\n") + show(expected));

    // Now and then the same through real files (a write syncs the file to disk, which is slow).
    static unsigned calls = 0;
    if (calls++ % 32 != 0)
        return 0;
    static QTemporaryDir dir;
    if (!dir.isValid())
        fail("no temporary folder");
    const QString path = dir.filePath(QStringLiteral("auto.ini"));
    writeFile(path, file);
    QString error;
    if (!qv::INIwrite(path, section, key, value, &error))
        fail("INIwrite failed", error);
    bool ok = false;
    const QString read = qv::INIread(path, section, key, &ok, &error);
    if (!ok)
        fail("INIread failed", error);
    if (read != value)
        fail("INIread after INIwrite differs", show(value) + QLatin1String(" -> ") + show(read));
    if (readFile(path) != expected)
        fail("the file on disk is not the written text", show(readFile(path)));
    return 0;
}
