#include "output/internal/docxids.h"

#include "output/internal/docxparts.h"

#include <QHash>
#include <algorithm>

namespace qv::docx {

namespace {

// Every element from root down (root too), without recursion.
template <class Visit> void everyElement(pugi::xml_node root, Visit visit) {
    if (root.type() == pugi::node_element)
        visit(root);
    forEachElement(root, [&visit](pugi::xml_node n) {
        visit(n);
        return true;
    });
}

bool isBookmark(pugi::xml_node n) {
    return is(n, "w:bookmarkStart") || is(n, "w:bookmarkEnd");
}

} // namespace

void UniqueIds::reserve(pugi::xml_node root) {
    everyElement(root, [this](pugi::xml_node n) {
        if (is(n, "wp:docPr"))
            nextDrawing_ = std::max(nextDrawing_, n.attribute("id").as_ullong() + 1);
        else if (isBookmark(n))
            nextBookmark_ = std::max(nextBookmark_, n.attribute("w:id").as_llong() + 1);
    });
}

void UniqueIds::renumber(const std::vector<pugi::xml_node>& roots) {
    QHash<long long, long long> bookmarks; // the template's id -> this copy's
    for (pugi::xml_node root : roots)
        everyElement(root, [&](pugi::xml_node n) {
            if (is(n, "wp:docPr")) {
                n.attribute("id").set_value(nextDrawing_++);
            } else if (isBookmark(n)) {
                pugi::xml_attribute id = n.attribute("w:id");
                auto it = bookmarks.find(id.as_llong());
                if (it == bookmarks.end())
                    it = bookmarks.insert(id.as_llong(), nextBookmark_++);
                id.set_value(it.value());
            }
        });
}

} // namespace qv::docx
