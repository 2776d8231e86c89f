#pragma once

#include "output/ooxmlpackage.h"

#include <QString>
#include <memory>

// The letters of a merged document whose copies start with their bookmarks
// (MergeOptions::markCopies), taken out as documents of their own: one letter, or a run of
// letters, each with its own headers and footers and nothing of the other letters.
namespace qv::docx {

class CopySplitter {
public:
    CopySplitter();
    ~CopySplitter();
    CopySplitter(const CopySplitter&) = delete;
    CopySplitter& operator=(const CopySplitter&) = delete;

    // Reads the merged document; false with a message when its main part is damaged or its
    // copies carry no bookmarks.
    bool open(const ooxml::Package& merged, QString* error);
    qsizetype copyCount() const;
    // A document holding copies first to last (from 0, both included).
    ooxml::Package extract(qsizetype first, qsizetype last) const;

private:
    struct Data;
    std::unique_ptr<Data> d_;
};

} // namespace qv::docx
