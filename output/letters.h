#pragma once

#include "output/mergeinteraction.h"

#include <QLocale>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// Complete Merge's letters as operators send them: one file a letter (Word documents or PDF)
// named from a pattern of merge fields, or one PDF of all letters. The letters are merged once
// and, for PDF, laid out once by LibreOffice; each letter's file is cut from that one result at
// the copies' boundaries. Everything is written under temporary names first: a failure or a
// cancel leaves none of the files, nor a LibreOffice running.
namespace qv::output {

enum class LetterOutput { Document, DocumentEach, Pdf, PdfEach };

// The outputs as the settings and the command line name them: "docx", "docx-each", "pdf",
// "pdf-each".
QString letterOutputKey(LetterOutput output);
std::optional<LetterOutput> letterOutputFromKey(const QString& key);
bool isOneFileEach(LetterOutput output);

struct LetterProgress {
    enum Stage { Merging, LayingOut, Writing } stage = Merging;
    qsizetype done = 0, total = 0; // records merged, pages laid out, files written
    QString text;                  // what is being done, as the operator reads it
};

struct LetterJob {
    QString name;         // the merge file's name: the one file's name and the job's
    QString dataPath;     // the merge file's copy in the data folder
    QString templatePath; // its Word template
    LetterOutput output = LetterOutput::PdfEach;
    QString pattern; // one file each: the names, e.g. "{Account} {Last}"
    QString target;  // one file: its path ("" a free name in the document folder); one file
                     // each: the folder ("" the document folder)
    bool replaceExisting = false; // one file each: replace files of the same names, else number
    // Only the letters whose first record lies in this range (from 0, both included).
    qsizetype firstRecord = 0, lastRecord = -1;
    MergeInteraction* interaction = nullptr; // nullptr: mergeInteraction()
    QLocale locale = QLocale::system();
    std::function<void(const LetterProgress&)> progress; // may be empty
    std::function<bool()> cancelled;                     // may be empty
    int layoutLimitMs = 0;                               // 0: LibreOffice takes its time
};

struct LetterResult {
    QStringList files; // the files written, in letter order
    qsizetype letters = 0;
    int pages = 0;
    bool cancelled = false;
    bool localWrite = false; // the failure was a file that could not be written here
    QString error;
    bool ok() const { return error.isEmpty() && !cancelled; }
};

// The folder the files of one file each go to, the document folder unless the job names one.
QString letterFolder(const LetterJob& job);

// The file names a job of one file each would write, in letter order, before any is written
// (for asking about existing files first); empty with *error when the merge file or the pattern
// fails. Taken names are numbered unless replaceExisting is set.
QStringList plannedLetterNames(const LetterJob& job, QString* error);

// Runs the job.
LetterResult makeLetters(const LetterJob& job);

} // namespace qv::output
