#include "output/htmlpage.h"

#include "output/outputtext.h"
#include "platform/codepage.h"
#include "platform/dates.h"
#include "platform/outputtarget.h"
#include "platform/programfolder.h"
#include "platform/tempfiles.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QTemporaryFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <vector>

namespace qv::output {

namespace {

// The system's reason for a failed write or flush of a file; never Qt's "Unknown error".
QString reasonOf(const QIODevice& device) {
    const auto* file = qobject_cast<const QFileDevice*>(&device);
    if (file && file->error() == QFileDevice::NoError)
        return QString::fromLocal8Bit(std::strerror(errno ? errno : EIO));
    return device.errorString();
}

// Collects the page's bytes in a fixed buffer and hands them to the device in large pieces.
class Sink {
public:
    explicit Sink(QIODevice& device) : device_(device), buffer_(kChunk) {}

    void raw(const char* text, size_t size) {
        if (pos_ + size > buffer_.size())
            write();
        if (size > buffer_.size()) {
            put(text, size);
            return;
        }
        std::memcpy(buffer_.data() + pos_, text, size);
        pos_ += size;
    }
    template <size_t N> void lit(const char (&text)[N]) { raw(text, N - 1); }
    void number(int n) {
        char digits[16];
        raw(digits, static_cast<size_t>(std::snprintf(digits, sizeof digits, "%d", n)));
    }
    // Text of the program's own (dates, the width): code page only.
    void plain(const QString& text) { put(text, false); }
    // Text from the merge file: escaped.
    void escaped(const QString& text) { put(text, true); }
    void endLine() { lit("\r\n"); }

    bool finish(QString* error) {
        write();
        if (failed_ && error)
            *error = reasonOf(device_);
        return !failed_;
    }

private:
    static constexpr size_t kChunk = 1 << 20;

    void put(const QString& text, bool escape) {
        // At most eight bytes a character ("&#65535;"); long texts go in pieces.
        const QChar* in = text.constData();
        qsizetype left = text.size();
        while (left > 0) {
            const size_t piece = std::min<size_t>(static_cast<size_t>(left), kChunk / 8);
            if (pos_ + piece * 8 > buffer_.size())
                write();
            char* out = buffer_.data() + pos_;
            for (size_t i = 0; i < piece; ++i) {
                const char16_t u = in[i].unicode() == 0 ? kNulReplacement : in[i].unicode();
                if (u < 0x80) {
                    if (escape && (u == u'&' || u == u'<' || u == u'>')) {
                        const char* entity = u == u'&' ? "&amp;" : u == u'<' ? "&lt;" : "&gt;";
                        const size_t len = u == u'&' ? 5 : 4;
                        std::memcpy(out, entity, len);
                        out += len;
                    } else {
                        *out++ = static_cast<char>(u);
                    }
                    continue;
                }
                const char b = codepage::encodeChar(QChar(u));
                if (b == '?') // not in the code page: a character reference keeps it
                    out += std::snprintf(out, 9, "&#%u;", static_cast<unsigned>(u));
                else
                    *out++ = b;
            }
            pos_ = static_cast<size_t>(out - buffer_.data());
            in += piece;
            left -= static_cast<qsizetype>(piece);
        }
    }
    // A write that the disk cuts short is given the rest again: the next one fails with the
    // system's reason (a full disk), which a short count alone does not tell.
    void put(const char* text, size_t size) {
        while (!failed_ && size > 0) {
            const qint64 written = device_.write(text, static_cast<qint64>(size));
            if (written <= 0) {
                failed_ = true;
                break;
            }
            text += written;
            size -= static_cast<size_t>(written);
        }
    }
    void write() {
        if (pos_ > 0)
            put(buffer_.data(), pos_);
        pos_ = 0;
    }

    QIODevice& device_;
    std::vector<char> buffer_;
    size_t pos_ = 0;
    bool failed_ = false;
};

} // namespace

QString escapeHtml(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        if (c == QLatin1Char('&'))
            out += QLatin1String("&amp;");
        else if (c == QLatin1Char('<'))
            out += QLatin1String("&lt;");
        else if (c == QLatin1Char('>'))
            out += QLatin1String("&gt;");
        else
            out += c;
    }
    return out;
}

std::optional<QString> tableWidth(const std::optional<QString>& answer) {
    if (!answer)
        return std::nullopt;
    const QString trimmed = answer->trimmed();
    if (trimmed.isEmpty())
        return std::nullopt;
    bool ok = false;
    double value = QLocale().toDouble(trimmed, &ok);
    if (!ok)
        value = QLocale::c().toDouble(trimmed, &ok);
    if (!ok)
        return std::nullopt;
    if (value == 0)
        return QStringLiteral("100");
    return *answer;
}

void stampNow(HtmlPage& page) {
    const QDateTime now = QDateTime::currentDateTime();
    const QLocale locale;
    page.date = qv::shortDate(now.date(), locale);
    page.time = qv::longTime(now.time(), locale);
    page.dateTime = qv::generalDate(now, locale);
}

HtmlPage newHtmlPage(const QString& name, const QString& width) {
    HtmlPage page;
    page.name = name;
    page.width = width;
    page.major = QV_VERSION_MAJOR;
    page.minor = QV_VERSION_MINOR;
    page.revision = QV_VERSION_PATCH;
    stampNow(page);
    return page;
}

QString htmlPagePath() {
    return programPath(QStringLiteral("output.html"));
}

bool writeHtmlPage(QIODevice& device, const HtmlPage& page, QString* error) {
    Sink s(device);
    auto version = [&] {
        s.number(page.major);
        s.lit(".");
        s.number(page.minor);
        s.lit(".");
        s.number(page.revision);
    };
    s.lit("<!-Created by Quorvane ");
    version();
    s.lit(" ->");
    s.endLine();
    s.lit("<!-Created on ");
    s.plain(page.date);
    s.lit(" at ");
    s.plain(page.time);
    s.lit("->");
    s.endLine();
    s.lit("<html>\r\n<center>\r\n<Title>");
    s.escaped(page.name);
    s.lit("\r\n</title>\r\n<h5>\r\nList Generated By Quorvane on ");
    s.plain(page.dateTime);
    s.lit("\r\n</h5>\r\n<table CELLSPACING=0 frame=\"void\" frame Width=");
    s.plain(page.width);
    s.lit("% cellpadding = 0>\r\n<tr>\r\n</body>\r\n</html>\r\n<TR>\r\n"
          "<TH VALIGN=center colspan= ");
    s.number(static_cast<int>(page.columns.size()));
    s.lit(" bgColor=#ccffcc scope=><h3><b><p style=\"font-family:verdana;font-size:120%;"
          "color:red\">");
    s.escaped(page.name);
    s.lit("</b></h3></TH>\r\n</TR>\r\n");
    for (const QString& title : page.columns) {
        s.lit("<td VALIGN=center height=20 align=\"left\" bgcolor=\"#999999\"><b><p style=\""
              "font-family:verdana;font-size:80%;color:blue\">");
        s.escaped(title);
        s.lit("</b></td>\r\n");
    }
    s.lit("</tr>\r\n");
    static constexpr char kNbsp[] = "&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;&nbsp;"
                                    "</b></td>\r\n";
    for (qsizetype r = 0; r < page.rowCount; ++r) {
        const bool odd = (r + 1) % 2 == 1;
        const QStringList cells = page.row(r);
        s.lit("<tr>\r\n");
        for (qsizetype k = 0; k < cells.size(); ++k) {
            if (odd)
                s.lit("   <td height=25 bgcolor=\"#ffffff\"align=\"left\"><b><p style=\"");
            else
                s.lit("   <td height=25 bgcolor=\"#f5f5f5\"align=\"left\"><b><p style=\"");
            if (k == 0)
                s.lit("font-family:arial;font-size:80%;color:black\">");
            else
                s.lit("font-family:verdana;font-size:80%;color:black\">");
            s.escaped(cells[k]);
            s.lit(kNbsp);
        }
        s.lit("</tr>\r\n");
    }
    s.lit("</table>\r\n</Center>\r\n</body>\r\n<h5><hr color=rgb(84,0,168)>\r\n"
          "This file was generated using Quorvane Version ");
    version();
    s.lit("\r\n</h5>\r\n</html>\r\n");
    return s.finish(error);
}

bool saveHtmlPage(const QString& path, const HtmlPage& page, QString* error) {
    auto fail = [&](const QString& why) {
        if (error)
            *error = QStringLiteral("The page \"%1\" cannot be written: %2").arg(path, why);
        return false;
    };
    const QString folder = QFileInfo(path).absolutePath();
    tempfiles::removeStale(folder);
    QTemporaryFile file(tempfiles::exportTemplate(folder, QStringLiteral(".html")));
    if (!file.open())
        return fail(file.errorString());
    // Written straight to the file (the page collects its own large pieces): a write the disk
    // cuts short then ends with the system's reason, where a buffered flush gives none.
    QFile direct;
    if (!direct.open(file.handle(), QIODevice::WriteOnly | QIODevice::Unbuffered,
                     QFileDevice::DontCloseHandle))
        return fail(direct.errorString());
    QString why;
    if (!writeHtmlPage(direct, page, &why))
        return fail(why);
    if (::fsync(file.handle()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    file.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
    // The complete page takes the place of the earlier one in one step; what is not a regular
    // file (a device, a FIFO) is never replaced.
    if (const QString unsafe = unsafeOutputTarget(path); !unsafe.isEmpty()) {
        if (error)
            *error = unsafe;
        return false;
    }
    if (std::rename(QFile::encodeName(file.fileName()).constData(),
                    QFile::encodeName(path).constData()) != 0)
        return fail(QString::fromLocal8Bit(std::strerror(errno)));
    file.setAutoRemove(false);
    return true;
}

} // namespace qv::output
