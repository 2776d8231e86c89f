#pragma once

#include <QString>
#include <functional>

// Word-processing documents laid out by LibreOffice ("soffice --headless") and written as PDF,
// the document's bookmarks becoming the PDF's named destinations. One LibreOffice run a
// document, with a private profile in a temporary folder (the operator's own LibreOffice, open
// or not, is never touched), in a process group of its own that a cancel ends whole.
namespace qv::output {

// What to install when LibreOffice is missing.
QString pdfNeedsLibreOffice();

// True when the LibreOffice program (libreOfficeProgram()) can be started.
bool libreOfficeInstalled();

struct PdfLayoutControl {
    // Asked every tenth of a second while LibreOffice works; true stops it.
    std::function<bool()> cancelled;
    // How long LibreOffice may take, in milliseconds; 0 for no limit.
    int limitMs = 0;
};

// Lays out `document` (a .docx) and writes the PDF to `pdf` (a new file; nothing is left there
// on failure). False with a message when LibreOffice is missing, fails, is cancelled (*error
// empty then) or takes too long; its processes are ended either way.
bool layOutPdf(const QString& document, const QString& pdf, const PdfLayoutControl& control,
               QString* error);

// Ends every LibreOffice run of this process at once and removes its temporary folders and those
// noted with a TemporaryFolderNote, for an interruption of the command line (callable from
// another thread).
void stopPdfLayouts();

// Notes a temporary folder of the letters' work for stopPdfLayouts() while it lives.
class TemporaryFolderNote {
public:
    explicit TemporaryFolderNote(const QString& folder);
    ~TemporaryFolderNote();
    TemporaryFolderNote(const TemporaryFolderNote&) = delete;
    TemporaryFolderNote& operator=(const TemporaryFolderNote&) = delete;

private:
    QString folder_;
};

} // namespace qv::output
