#pragma once

#include <pugixml.hpp>
#include <vector>

// Ids that must be unique within a word-processing document: those of drawings (wp:docPr) and of
// bookmarks (w:bookmarkStart and w:bookmarkEnd). Word processors that check them ask to repair
// a document in which they repeat, as they would in every merged copy of a template.
namespace qv::docx {

class UniqueIds {
public:
    // Takes note of the ids used below root, so that fresh ones lie beyond them.
    void reserve(pugi::xml_node root);
    // Gives every drawing and bookmark below the roots (one copy of the template's content) a
    // fresh id; a bookmark's start and end keep sharing one.
    void renumber(const std::vector<pugi::xml_node>& roots);

private:
    unsigned long long nextDrawing_ = 1;
    long long nextBookmark_ = 0;
};

} // namespace qv::docx
