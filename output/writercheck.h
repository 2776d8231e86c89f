#pragma once

#include "platform/desktophandler.h"

#include <QString>

// Before the new document opens: does the desktop open .odt documents with LibreOffice, and can
// that LibreOffice use the merge file attached to the document? Writer reaches the document's
// embedded database only through LibreOffice's database component, Base (Debian package
// "libreoffice-base"; "libreoffice-writer" alone connects to no data source).
namespace qv::output {

inline const QString kOdtMimeType = QStringLiteral("application/vnd.oasis.opendocument.text");

// What the operator should install or do, or an empty text when all is well or nothing is known
// (no handler at all: opening the document reports that; a LibreOffice whose program folder
// cannot be found, such as a sandboxed one, is taken as complete).
QString writerAdvice(const DesktopHandler& handler);

// writerAdvice() for the desktop's handler of .odt documents.
QString newDocumentAdvice();

} // namespace qv::output
