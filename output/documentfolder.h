#pragma once

#include <QString>
#include <functional>

// Where the documents and workbooks the program makes for the operator are kept: a folder of
// the user's own ("Quorvane" in the documents folder). A document is never written over an
// earlier one: it gets the first free name "Name.ext", "Name (2).ext", ...
namespace qv::output {

QString documentFolder(); // the installed services' folder, else "Quorvane" in the documents

// Writes a new document: write() fills a temporary file in the folder, which then takes the
// first free name. On success *finalPath is the document's path.
using DocumentWriter = std::function<bool(const QString& path, QString* error)>;
bool saveNewDocument(const QString& stem, const QString& extension, const DocumentWriter& write,
                     QString* finalPath, QString* error);

// Saves as above and asks the desktop to open the document; false with a message when either
// fails (the message says where a saved document lies).
bool saveAndOpen(const QString& stem, const QString& extension, const DocumentWriter& write,
                 QString* finalPath, QString* error);

} // namespace qv::output
