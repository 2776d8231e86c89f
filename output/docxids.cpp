#include "output/internal/docxids.h"

#include "output/internal/docxparts.h"

#include <QHash>
#include <algorithm>
#include <functional>

namespace qv::docx {

namespace {

void forEachElement(pugi::xml_node root, const std::function<void(pugi::xml_node)>& visit) {
    if (root.type() == pugi::node_element)
        visit(root);
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling())
        forEachElement(c, visit);
}

bool isBookmark(pugi::xml_node n) {
    return is(n, "w:bookmarkStart") || is(n, "w:bookmarkEnd");
}

} // namespace

void UniqueIds::reserve(pugi::xml_node root) {
    forEachElement(root, [this](pugi::xml_node n) {
        if (is(n, "wp:docPr"))
            nextDrawing_ = std::max(nextDrawing_, n.attribute("id").as_ullong() + 1);
        else if (isBookmark(n))
            nextBookmark_ = std::max(nextBookmark_, n.attribute("w:id").as_llong() + 1);
    });
}

void UniqueIds::renumber(const std::vector<pugi::xml_node>& roots) {
    QHash<long long, long long> bookmarks; // the template's id -> this copy's
    for (pugi::xml_node root : roots)
        forEachElement(root, [&](pugi::xml_node n) {
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
