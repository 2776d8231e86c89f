#pragma once

#include "output/ooxmlpackage.h"

#include <QString>

// Word 97-2003 templates are binary files; LibreOffice, when installed, turns them into
// Office Open XML packages.
namespace qv::output {

// The LibreOffice program that is used: the installed services' one, else "soffice" found on
// the PATH.
QString libreOfficeProgram();

// Converts the file with "soffice --headless --convert-to docx"; false with a message when
// LibreOffice is missing or the conversion fails.
bool convertToDocx(const QString& source, ooxml::Package* package, QString* error);

} // namespace qv::output
