#pragma once

#include "output/ooxmlpackage.h"

#include <QString>

// Word 97-2003 templates are binary files; LibreOffice, when installed, turns them into
// Office Open XML packages.
namespace qv::output {

// The LibreOffice program that is used: the installed services' one, else "soffice" found on
// the PATH.
QString libreOfficeProgram();

// How long a conversion may take before it is stopped.
constexpr int kConversionLimitMs = 120000;

// Converts the file with "soffice --headless --convert-to docx"; false with a message when
// LibreOffice is missing, the conversion fails or takes longer than limitMs. The program's
// events are handled meanwhile, so its window stays painted.
bool convertToDocx(const QString& source, ooxml::Package* package, QString* error,
                   int limitMs = kConversionLimitMs);

} // namespace qv::output
