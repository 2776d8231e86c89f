#pragma once

#include <QString>
#include <QStringList>

// What a search that listed the server folder tells the operator at its end: the summary for the
// status area, and the lines naming every listed file that was not stored, with its reason. The
// window and the command line show the same texts; the control and format characters of a
// server's names are shown escaped ("bell\x07.LET").
namespace qv {

struct SearchResult;

// "Search Complete 3 files found"; when listed files were not stored, followed by how many and
// the first of their names ("Search Complete 2 files found, 1 not stored: B.LET"). After a local
// write error the search stopped: "Search Stopped 1 files found, 2 not stored: B.LET, C.LET".
QString searchSummary(const SearchResult& result);

// One line a listed file not stored, in the listing's order: the downloads that failed
// ("B.LET: Permission denied. (error 550)"), then the names that cannot be stored ("<name>:
// cannot be stored here: a name holding a path separator"), then how many more names there were
// than are kept.
QStringList notStoredLines(const SearchResult& result);

// "1 listed file was not stored:", "3 listed files were not stored:"
QString notStoredHeading(int count);

// The message at the end of a search that did not store every listed file: the summary, a blank
// line, how many were not stored, and at most maxLines of notStoredLines (then how many more);
// lines end with CR LF. "" when every listed file was stored.
QString searchEndMessage(const SearchResult& result, int maxLines = 12);

} // namespace qv
