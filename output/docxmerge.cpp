#include "output/docx.h"
#include "output/docxfields.h"
#include "output/docxids.h"
#include "output/docxparts.h"

#include <QHash>

namespace qv::docx {

namespace {

// Header and footer relationship ids of the template -> those of one record's copies.
using IdMap = QHash<QString, QString>;

// Points the header and footer references of every section below root at other relationships.
void rewireSections(pugi::xml_node root, const QHash<QString, QString>& ids) {
    if (ids.isEmpty())
        return;
    for (pugi::xml_node c = root.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:headerReference") || is(c, "w:footerReference")) {
            const QString id = attr(c, "r:id");
            if (ids.contains(id))
                c.attribute("r:id").set_value(ids.value(id).toUtf8().constData());
        } else {
            rewireSections(c, ids);
        }
    }
}

void setNextPage(pugi::xml_node sectPr) {
    sectPr.remove_child("w:type");
    pugi::xml_node after;
    for (pugi::xml_node c : sectPr.children())
        if (is(c, "w:headerReference") || is(c, "w:footerReference") || is(c, "w:footnotePr") ||
            is(c, "w:endnotePr"))
            after = c;
    pugi::xml_node type =
        after ? sectPr.insert_child_after("w:type", after) : sectPr.prepend_child("w:type");
    type.append_attribute("w:val") = "nextPage";
}

// A header or footer the main document refers to.
struct HeaderPart {
    QString id, part, type, contentType;
    QByteArray xml;
};

std::vector<HeaderPart> headerParts(const ooxml::Package& package, const QString& mainPart,
                                    const Rels& rels) {
    std::vector<HeaderPart> headers;
    for (pugi::xml_node r : rels.root.children("Relationship")) {
        const QString type = attr(r, "Type");
        if (type.endsWith(QLatin1String("/header")) || type.endsWith(QLatin1String("/footer"))) {
            const QString part = resolveTarget(folderOf(mainPart), attr(r, "Target"));
            headers.push_back(
                {attr(r, "Id"), part, type, contentTypeOf(package, part), package.part(part)});
        }
    }
    return headers;
}

// Headers and footers: one merged copy per record, the first record keeping the original parts.
// idsPerRecord gets, per record, the relationship ids of its copies.
bool mergeHeaders(ooxml::Package& out, const QString& mainPart, Rels& rels,
                  const output::MergeData& data, UniqueIds& uniqueIds,
                  std::vector<IdMap>* idsPerRecord, QString* error) {
    const std::vector<HeaderPart> headers = headerParts(out, mainPart, rels);
    idsPerRecord->assign(static_cast<size_t>(data.records.size()), {});
    int partNumber = 0;
    for (qsizetype rec = 0; rec < data.records.size(); ++rec) {
        for (const HeaderPart& h : headers) {
            pugi::xml_document hdoc;
            if (!load(hdoc, h.xml)) {
                if (error)
                    *error = QStringLiteral("The template part \"%1\" is damaged.").arg(h.part);
                return false;
            }
            mergeFields({hdoc.document_element()}, data, rec);
            if (rec == 0) {
                out.setPart(h.part, save(hdoc));
                continue;
            }
            uniqueIds.renumber({hdoc.document_element()});
            QString part;
            do {
                part = folderOf(mainPart) + QStringLiteral("qvmerge%1.xml").arg(++partNumber);
            } while (out.contains(part));
            out.setPart(part, save(hdoc));
            addOverride(out, part, h.contentType);
            const QString id = rels.freshId(QStringLiteral("rIdQvMerge"));
            rels.add(id, h.type, part.mid(folderOf(mainPart).size()), false);
            (*idsPerRecord)[static_cast<size_t>(rec)].insert(h.id, id);
        }
    }
    return true;
}

// The body's elements apart from the final section properties, which close the document.
struct BodyLayout {
    std::vector<pugi::xml_node> original;
    pugi::xml_node finalSection;
};

BodyLayout bodyLayout(pugi::xml_node body) {
    BodyLayout layout;
    for (pugi::xml_node c : body.children()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:sectPr") && !c.next_sibling("w:sectPr") && c == body.last_child())
            layout.finalSection = c;
        else
            layout.original.push_back(c);
    }
    return layout;
}

// Ends a record's copy: a section break to a new page, or a page break without sections.
void endCopy(pugi::xml_node body, pugi::xml_node finalSection, const IdMap& ids) {
    pugi::xml_node p =
        finalSection ? body.insert_child_before("w:p", finalSection) : body.append_child("w:p");
    if (finalSection) {
        pugi::xml_node sect = p.append_child("w:pPr").append_copy(finalSection);
        rewireSections(sect.parent(), ids);
        setNextPage(sect);
    } else {
        p.append_child("w:r").append_child("w:br").append_attribute("w:type") = "page";
    }
}

// The body: one copy per record; copies end with a section break to a new page.
void mergeBody(pugi::xml_node body, const output::MergeData& data, UniqueIds& uniqueIds,
               const std::vector<IdMap>& idsPerRecord) {
    const BodyLayout layout = bodyLayout(body);
    const pugi::xml_node finalSection = layout.finalSection;
    for (qsizetype rec = 0; rec < data.records.size(); ++rec) {
        std::vector<pugi::xml_node> copies;
        for (pugi::xml_node c : layout.original)
            copies.push_back(finalSection ? body.insert_copy_before(c, finalSection)
                                          : body.append_copy(c));
        mergeFields(copies, data, rec);
        if (rec > 0)
            uniqueIds.renumber(copies);
        const IdMap& ids = idsPerRecord[static_cast<size_t>(rec)];
        for (pugi::xml_node c : copies)
            rewireSections(c, ids);
        if (rec + 1 < data.records.size())
            endCopy(body, finalSection, ids);
    }
    for (pugi::xml_node c : layout.original)
        body.remove_child(c);
    if (finalSection) {
        // The final section belongs to the last copy.
        pugi::xml_document holder;
        pugi::xml_node wrap = holder.append_child("wrap");
        wrap.append_copy(finalSection);
        rewireSections(wrap, idsPerRecord.back());
        body.insert_copy_after(wrap.first_child(), finalSection);
        body.remove_child(finalSection);
    }
}

// The ids the template uses in any part of the document's folder; copies get fresh ones.
UniqueIds usedIds(const ooxml::Package& package, const QString& mainPart,
                  const pugi::xml_document& main) {
    UniqueIds ids;
    ids.reserve(main);
    for (const QString& name : package.partNames()) {
        pugi::xml_document doc;
        if (name != mainPart && name.startsWith(folderOf(mainPart)) &&
            name.endsWith(QLatin1String(".xml")) && load(doc, package.part(name)))
            ids.reserve(doc);
    }
    return ids;
}

// The merged document is no longer a main document: its settings keep no mail merge.
void dropMailMergeSettings(ooxml::Package& out, const QString& mainPart) {
    const QString settings = settingsPart(out, mainPart, false);
    pugi::xml_document sdoc;
    if (settings.isEmpty() || !load(sdoc, out.part(settings)))
        return;
    sdoc.child("w:settings").remove_child("w:mailMerge");
    out.setPart(settings, save(sdoc));
    if (!out.contains(relsPathOf(settings)))
        return;
    Rels srels;
    srels.open(out.part(relsPathOf(settings)));
    srels.removeMailMerge();
    out.setPart(relsPathOf(settings), save(srels.doc));
}

} // namespace

bool mergeDocument(const ooxml::Package& main, const output::MergeData& data,
                   ooxml::Package* result, QString* error) {
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (data.records.isEmpty())
        return fail(QStringLiteral("The merge file holds no records to merge."));
    ooxml::Package out = main;
    const QString mainPart = mainPartName(out);
    pugi::xml_document doc;
    if (mainPart.isEmpty() || !load(doc, out.part(mainPart)))
        return fail(QStringLiteral("The template's main document part is damaged."));
    pugi::xml_node body = doc.document_element().child("w:body");
    if (!body)
        return fail(QStringLiteral("The template's main document has no body."));

    Rels rels;
    rels.open(out.part(relsPathOf(mainPart)));
    std::vector<IdMap> idsPerRecord;
    UniqueIds uniqueIds = usedIds(out, mainPart, doc);
    if (!mergeHeaders(out, mainPart, rels, data, uniqueIds, &idsPerRecord, error))
        return false;
    rels.removeMailMerge(); // the merged document keeps no data source
    out.setPart(relsPathOf(mainPart), save(rels.doc));

    mergeBody(body, data, uniqueIds, idsPerRecord);
    out.setPart(mainPart, save(doc));
    dropMailMergeSettings(out, mainPart);
    *result = std::move(out);
    return true;
}

} // namespace qv::docx
