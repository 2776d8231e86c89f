#pragma once

#include <QIODevice>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// The page "output.html": a title row with the merge file's name, a row of field names and one
// row per record, written line by line in the Windows-1252 code page with CR LF line ends.
// Every text that comes from the merge file is escaped, so a value holding "<" or "&" shows as
// typed and cannot add markup to the page; a NUL shows as U+FFFD (see outputtext.h).
namespace qv::output {

struct HtmlPage {
    QString name;           // the merge file's name
    QString width;          // the table width as the operator typed it
    QStringList columns;    // column titles
    qsizetype rowCount = 0; // rows of the record list
    // Row r (from 0): its text, then its sub-items in order.
    std::function<QStringList(qsizetype)> row;
    QString date, time, dateTime; // current date (short), time (long), date and time (general)
    int major = 0, minor = 0, revision = 0;
};

// "&", "<" and ">" as entities.
QString escapeHtml(const QString& text);

// The width answer: "100" for an answer that reads as the number 0, the answer as typed for
// any other number, nullopt for an answer that is not a number (or none: cancelled).
std::optional<QString> tableWidth(const std::optional<QString>& answer);

// The current date and time in the locale's formats.
void stampNow(HtmlPage& page);

// A page for the named merge file at that width, with the program's version, stamped now; the
// columns and rows are still to be given.
HtmlPage newHtmlPage(const QString& name, const QString& width);

// <program folder>/output.html, where the export writes the page.
QString htmlPagePath();

// Writes the page to the device; false with a message when writing fails.
bool writeHtmlPage(QIODevice& device, const HtmlPage& page, QString* error);

// Writes the page to a temporary file beside path and puts it in place only when complete, so
// a failed export leaves an earlier page untouched.
bool saveHtmlPage(const QString& path, const HtmlPage& page, QString* error);

} // namespace qv::output
