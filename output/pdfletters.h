#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

// A PDF of merged letters laid out once, cut into letters at the pages where each starts (the
// named destinations of the copies' bookmarks, docx::copyBookmarkName). Read with libqpdf.
namespace qv::output {

class PdfLetters {
public:
    PdfLetters();
    ~PdfLetters();
    PdfLetters(const PdfLetters&) = delete;
    PdfLetters& operator=(const PdfLetters&) = delete;

    // Reads the PDF and finds the first page of each of its `letters` letters, marked by the
    // bookmarks of copies firstCopy, firstCopy + 1, ... (from 1); false with a message when it
    // cannot be read or a letter's start is missing.
    bool open(const QString& path, qsizetype firstCopy, qsizetype letters, QString* error);
    int pageCount() const;
    // The pages (from 0) of letter `letter` (from 0): first, and one past the last.
    int firstPage(qsizetype letter) const;
    int endPage(qsizetype letter) const;
    // Writes letters first to last (from 0, both included) as a new PDF at path; false with a
    // message on failure (a partial file is removed).
    bool write(qsizetype first, qsizetype last, const QString& path, QString* error) const;

    // Writes letter i (from 0) to paths[i] on up to `threads` threads, each reading the PDF once;
    // `progress` is called on the calling thread with the files written so far, a few dozen
    // times a second and at the end, and stops the work when it returns false. False with a
    // message when a file cannot be written (or with none when stopped).
    bool writeEach(const QStringList& paths, int threads,
                   const std::function<bool(qsizetype written)>& progress, QString* error) const;

private:
    struct Data;
    std::unique_ptr<Data> d_;
};

} // namespace qv::output
