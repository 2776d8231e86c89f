#include "output/docx.h"

#include <QHash>
#include <QSet>
#include <QUrl>
#include <cstring>
#include <pugixml.hpp>

namespace qv::docx {

namespace {

constexpr const char* kRelsNs = "http://schemas.openxmlformats.org/package/2006/relationships";
constexpr const char* kRelNs =
    "http://schemas.openxmlformats.org/officeDocument/2006/relationships";
constexpr const char* kWordNs = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
const QString kRelType =
    QStringLiteral("http://schemas.openxmlformats.org/officeDocument/2006/relationships/");
const QString kMailMergeSource = kRelType + QStringLiteral("mailMergeSource");
const QString kDocumentType = QStringLiteral(
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
const QString kMacroDocumentType =
    QStringLiteral("application/vnd.ms-word.document.macroEnabled.main+xml");

struct Writer : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override {
        out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
};

bool load(pugi::xml_document& doc, const QByteArray& bytes) {
    return doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                           pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration,
                           pugi::encoding_utf8);
}

QByteArray save(const pugi::xml_document& doc) {
    Writer w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.out;
}

bool is(pugi::xml_node n, const char* name) {
    return n.type() == pugi::node_element && std::strcmp(n.name(), name) == 0;
}

QString attr(pugi::xml_node n, const char* name) {
    return QString::fromUtf8(n.attribute(name).value());
}

// --- Relationships and content types -----------------------------------------------------------

QString relsPathOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

QString folderOf(const QString& part) {
    return part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
}

// Resolves a relationship target against the folder of its source part.
QString resolveTarget(const QString& sourceFolder, const QString& target) {
    if (target.startsWith(QLatin1Char('/')))
        return target.mid(1);
    QStringList parts = (sourceFolder + target).split(QLatin1Char('/'));
    QStringList out;
    for (const QString& p : parts) {
        if (p == QLatin1String(".."))
            out.removeLast();
        else if (p != QLatin1String(".") && !p.isEmpty())
            out << p;
    }
    return out.join(QLatin1Char('/'));
}

struct Rels {
    pugi::xml_document doc;
    pugi::xml_node root;

    void open(const QByteArray& bytes) {
        if (bytes.isEmpty() || !load(doc, bytes) || !doc.child("Relationships")) {
            doc.reset();
            auto decl = doc.append_child(pugi::node_declaration);
            decl.append_attribute("version") = "1.0";
            decl.append_attribute("encoding") = "UTF-8";
            decl.append_attribute("standalone") = "yes";
            root = doc.append_child("Relationships");
            root.append_attribute("xmlns") = kRelsNs;
        } else {
            root = doc.child("Relationships");
        }
    }
    pugi::xml_node byType(const QString& type) const {
        for (pugi::xml_node r : root.children("Relationship"))
            if (attr(r, "Type") == type)
                return r;
        return {};
    }
    QString freshId(const QString& stem) const {
        QSet<QString> used;
        for (pugi::xml_node r : root.children("Relationship"))
            used.insert(attr(r, "Id"));
        for (int i = 1;; ++i) {
            const QString id = stem + QString::number(i);
            if (!used.contains(id))
                return id;
        }
    }
    void add(const QString& id, const QString& type, const QString& target, bool external) {
        pugi::xml_node r = root.append_child("Relationship");
        r.append_attribute("Id") = id.toUtf8().constData();
        r.append_attribute("Type") = type.toUtf8().constData();
        r.append_attribute("Target") = target.toUtf8().constData();
        if (external)
            r.append_attribute("TargetMode") = "External";
    }
    // Removes every relationship of a mail-merge type (data source, header source).
    void removeMailMerge() {
        for (pugi::xml_node r = root.first_child(); r;) {
            pugi::xml_node next = r.next_sibling();
            if (attr(r, "Type").contains(QLatin1String("mailMerge"), Qt::CaseInsensitive))
                root.remove_child(r);
            r = next;
        }
    }
};

QString mainPartName(const ooxml::Package& package) {
    Rels rels;
    rels.open(package.part(QStringLiteral("_rels/.rels")));
    for (pugi::xml_node r : rels.root.children("Relationship"))
        if (attr(r, "Type").endsWith(QLatin1String("/officeDocument")))
            return resolveTarget(QString(), attr(r, "Target"));
    return package.contains(QStringLiteral("word/document.xml"))
               ? QStringLiteral("word/document.xml")
               : QString();
}

void addOverride(ooxml::Package& package, const QString& part, const QString& contentType) {
    pugi::xml_document doc;
    if (!load(doc, package.part(QStringLiteral("[Content_Types].xml"))))
        return;
    pugi::xml_node types = doc.child("Types");
    const QByteArray partName = (QLatin1Char('/') + part).toUtf8();
    for (pugi::xml_node o : types.children("Override"))
        if (std::strcmp(o.attribute("PartName").value(), partName.constData()) == 0) {
            o.attribute("ContentType").set_value(contentType.toUtf8().constData());
            package.setPart(QStringLiteral("[Content_Types].xml"), save(doc));
            return;
        }
    pugi::xml_node o = types.append_child("Override");
    o.append_attribute("PartName") = partName.constData();
    o.append_attribute("ContentType") = contentType.toUtf8().constData();
    package.setPart(QStringLiteral("[Content_Types].xml"), save(doc));
}

QString contentTypeOf(const ooxml::Package& package, const QString& part) {
    pugi::xml_document doc;
    if (!load(doc, package.part(QStringLiteral("[Content_Types].xml"))))
        return {};
    const QByteArray partName = (QLatin1Char('/') + part).toUtf8();
    for (pugi::xml_node o : doc.child("Types").children("Override"))
        if (std::strcmp(o.attribute("PartName").value(), partName.constData()) == 0)
            return attr(o, "ContentType");
    return {};
}

// The settings part of the main document, created when missing.
QString settingsPart(ooxml::Package& package, const QString& main, bool create) {
    Rels rels;
    rels.open(package.part(relsPathOf(main)));
    if (pugi::xml_node r = rels.byType(kRelType + QStringLiteral("settings")))
        return resolveTarget(folderOf(main), attr(r, "Target"));
    if (!create)
        return {};
    const QString part = folderOf(main) + QStringLiteral("settings.xml");
    rels.add(rels.freshId(QStringLiteral("rIdQvSettings")), kRelType + QStringLiteral("settings"),
             QStringLiteral("settings.xml"), false);
    package.setPart(relsPathOf(main), save(rels.doc));
    package.setPart(part, QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                                     "<w:settings xmlns:w=\"") +
                              kWordNs + "\" xmlns:r=\"" + kRelNs + "\"/>");
    addOverride(package, part,
                QStringLiteral(
                    "application/vnd.openxmlformats-officedocument.wordprocessingml.settings+xml"));
    return part;
}

// --- Merge fields --------------------------------------------------------------------------------

struct FieldInstruction {
    QString name, before, after, format;
};

// Splits a field instruction into words; quoted text is one word without its quotes.
QStringList instructionWords(const QString& instr) {
    QStringList words;
    qsizetype i = 0;
    const qsizetype n = instr.size();
    while (i < n) {
        while (i < n && instr[i].isSpace())
            ++i;
        if (i >= n)
            break;
        QString w;
        if (instr[i] == QLatin1Char('"')) {
            ++i;
            while (i < n && instr[i] != QLatin1Char('"')) {
                if (instr[i] == QLatin1Char('\\') && i + 1 < n && instr[i + 1] == QLatin1Char('"'))
                    ++i;
                w += instr[i++];
            }
            ++i;
        } else {
            while (i < n && !instr[i].isSpace())
                w += instr[i++];
        }
        words << w;
    }
    return words;
}

bool parseInstruction(const QString& instr, FieldInstruction* f) {
    const QStringList words = instructionWords(instr);
    if (words.size() < 2 || words[0].compare(QLatin1String("MERGEFIELD"), Qt::CaseInsensitive) != 0)
        return false;
    f->name = words[1];
    for (qsizetype i = 2; i < words.size(); ++i) {
        const QString sw = words[i].toLower();
        const QString next = i + 1 < words.size() ? words[i + 1] : QString();
        if (sw == QLatin1String("\\b")) {
            f->before = next;
            ++i;
        } else if (sw == QLatin1String("\\f")) {
            f->after = next;
            ++i;
        } else if (sw == QLatin1String("\\*")) {
            f->format = next.toLower();
            ++i;
        }
    }
    return true;
}

QString fieldText(const FieldInstruction& f, const output::MergeData& data, qsizetype record) {
    QString v = data.value(record, data.fieldIndex(f.name));
    if (f.format == QLatin1String("upper"))
        v = v.toUpper();
    else if (f.format == QLatin1String("lower"))
        v = v.toLower();
    else if (f.format == QLatin1String("firstcap") && !v.isEmpty())
        v[0] = v[0].toUpper();
    else if (f.format == QLatin1String("caps")) {
        bool start = true;
        for (QChar& c : v) {
            if (start && c.isLetter())
                c = c.toUpper();
            start = c.isSpace();
        }
    }
    if (v.isEmpty())
        return v;
    return f.before + v + f.after;
}

pugi::xml_node insertValueRun(pugi::xml_node before, pugi::xml_node rPrSource,
                              const QString& text) {
    pugi::xml_node run = before.parent().insert_child_before("w:r", before);
    if (pugi::xml_node rPr = rPrSource.child("w:rPr"))
        run.append_copy(rPr);
    pugi::xml_node t = run.append_child("w:t");
    t.append_attribute("xml:space") = "preserve";
    t.text().set(text.toUtf8().constData());
    return run;
}

bool isFieldPart(pugi::xml_node n) {
    return is(n, "w:fldChar") || is(n, "w:instrText");
}

void collectRuns(pugi::xml_node node, std::vector<pugi::xml_node>& runs);

// Gives every field character and instruction piece a run of its own, so fields can be
// replaced run by run.
void splitFieldRuns(pugi::xml_node root) {
    std::vector<pugi::xml_node> all, runs;
    if (is(root, "w:r"))
        all.push_back(root);
    collectRuns(root, all);
    for (pugi::xml_node n : all) {
        bool field = false;
        int content = 0;
        for (pugi::xml_node c : n.children())
            if (c.type() == pugi::node_element && !is(c, "w:rPr")) {
                ++content;
                field = field || isFieldPart(c);
            }
        if (field && content > 1)
            runs.push_back(n);
    }
    for (pugi::xml_node run : runs) {
        pugi::xml_node rPr = run.child("w:rPr");
        std::vector<pugi::xml_node> content;
        for (pugi::xml_node c : run.children())
            if (c.type() == pugi::node_element && !is(c, "w:rPr"))
                content.push_back(c);
        pugi::xml_node after = run;
        for (size_t i = 1; i < content.size(); ++i) {
            pugi::xml_node piece = run.parent().insert_child_after("w:r", after);
            if (rPr)
                piece.append_copy(rPr);
            piece.append_move(content[i]);
            after = piece;
        }
    }
}

void collectRuns(pugi::xml_node node, std::vector<pugi::xml_node>& runs) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:r"))
            runs.push_back(c);
        collectRuns(c, runs);
    }
}

void collectSimpleFields(pugi::xml_node node, std::vector<pugi::xml_node>& fields) {
    for (pugi::xml_node c = node.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:fldSimple"))
            fields.push_back(c);
        else
            collectSimpleFields(c, fields);
    }
}

pugi::xml_node firstRun(pugi::xml_node node) {
    for (pugi::xml_node c : node.children()) {
        if (is(c, "w:r"))
            return c;
        if (pugi::xml_node r = firstRun(c))
            return r;
    }
    return {};
}

// Replaces the simple fields (w:fldSimple) below the roots by the record's value and gives the
// parts of complex fields runs of their own.
void mergeSimpleFields(const std::vector<pugi::xml_node>& roots, const output::MergeData& data,
                       qsizetype record) {
    for (pugi::xml_node root : roots) {
        std::vector<pugi::xml_node> simple;
        if (is(root, "w:fldSimple"))
            simple.push_back(root);
        else
            collectSimpleFields(root, simple);
        for (pugi::xml_node f : simple) {
            FieldInstruction fi;
            if (!parseInstruction(attr(f, "w:instr"), &fi))
                continue;
            insertValueRun(f, firstRun(f), fieldText(fi, data, record));
            f.parent().remove_child(f);
        }
        splitFieldRuns(root);
    }
}

// A complex field to replace: the runs from its begin to its end character, the run whose
// format the value takes, and the value.
struct FieldReplacement {
    size_t begin, end, style;
    QString text;
};

// The merge fields among the runs (begin, instruction, separate, result, end), with the
// record's values.
std::vector<FieldReplacement> complexFields(const std::vector<pugi::xml_node>& runs,
                                            const output::MergeData& data, qsizetype record) {
    struct Open {
        size_t begin;
        QString instruction;
        bool separated = false;
        size_t resultRun = 0;
    };
    std::vector<Open> open;
    std::vector<FieldReplacement> replaces;
    for (size_t i = 0; i < runs.size(); ++i) {
        for (pugi::xml_node c : runs[i].children()) {
            if (is(c, "w:instrText") && !open.empty() && !open.back().separated) {
                open.back().instruction += QString::fromUtf8(c.text().get());
                continue;
            }
            if (!is(c, "w:fldChar"))
                continue;
            const char* type = c.attribute("w:fldCharType").value();
            if (std::strcmp(type, "begin") == 0) {
                open.push_back({i, {}, false, 0});
            } else if (std::strcmp(type, "separate") == 0 && !open.empty()) {
                open.back().separated = true;
                open.back().resultRun = i + 1;
            } else if (std::strcmp(type, "end") == 0 && !open.empty()) {
                const Open f = open.back();
                open.pop_back();
                FieldInstruction fi;
                if (parseInstruction(f.instruction, &fi)) {
                    const size_t style = f.separated && f.resultRun < i ? f.resultRun : f.begin;
                    replaces.push_back({f.begin, i, style, fieldText(fi, data, record)});
                }
            }
        }
    }
    return replaces;
}

// Puts each value in place of its field's runs. Outer fields end after inner ones: a
// replacement is kept only when no kept one covers it.
void replaceFields(const std::vector<pugi::xml_node>& runs,
                   std::vector<FieldReplacement> replaces) {
    std::sort(
        replaces.begin(), replaces.end(),
        [](const FieldReplacement& a, const FieldReplacement& b) { return a.begin < b.begin; });
    std::vector<char> removed(runs.size(), 0);
    size_t coveredTo = 0;
    bool any = false;
    for (const FieldReplacement& r : replaces) {
        if (any && r.begin <= coveredTo)
            continue;
        insertValueRun(runs[r.begin], runs[r.style], r.text);
        for (size_t k = r.begin; k <= r.end; ++k)
            removed[k] = 1;
        coveredTo = r.end;
        any = true;
    }
    // Later runs first, so a run inside a removed run goes before its container.
    for (size_t k = runs.size(); k-- > 0;)
        if (removed[k])
            runs[k].parent().remove_child(runs[k]);
}

// Replaces every merge field below the roots by the record's value.
void mergeFields(const std::vector<pugi::xml_node>& roots, const output::MergeData& data,
                 qsizetype record) {
    mergeSimpleFields(roots, data, record);
    std::vector<pugi::xml_node> runs;
    for (pugi::xml_node root : roots) {
        if (is(root, "w:r"))
            runs.push_back(root);
        collectRuns(root, runs);
    }
    std::vector<FieldReplacement> replaces = complexFields(runs, data, record);
    if (!replaces.empty())
        replaceFields(runs, std::move(replaces));
}

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

// --- Data source -----------------------------------------------------------------------------

// The data source relationship of the settings part, replacing an earlier one; returns its id.
QString replaceSourceRelationship(ooxml::Package& package, const QString& settings,
                                  const QString& path) {
    Rels rels;
    rels.open(package.part(relsPathOf(settings)));
    while (pugi::xml_node old = rels.byType(kMailMergeSource))
        rels.root.remove_child(old);
    const QString id = rels.freshId(QStringLiteral("rIdQvMergeSource"));
    rels.add(id, kMailMergeSource, QUrl::fromLocalFile(path).toString(), true);
    package.setPart(relsPathOf(settings), save(rels.doc));
    return id;
}

// A new, empty w:mailMerge element in its place among the settings: after every setting that
// comes before it.
pugi::xml_node insertMailMerge(pugi::xml_node settings) {
    static const char* const kBefore[] = {"w:writeProtection",
                                          "w:view",
                                          "w:zoom",
                                          "w:removePersonalInformation",
                                          "w:removeDateAndTime",
                                          "w:doNotDisplayPageBoundaries",
                                          "w:displayBackgroundShape",
                                          "w:printPostScriptOverText",
                                          "w:printFractionalCharacterWidth",
                                          "w:printFormsData",
                                          "w:embedTrueTypeFonts",
                                          "w:embedSystemFonts",
                                          "w:saveSubsetFonts",
                                          "w:saveFormsData",
                                          "w:mirrorMargins",
                                          "w:alignBordersAndEdges",
                                          "w:bordersDoNotSurroundHeader",
                                          "w:bordersDoNotSurroundFooter",
                                          "w:gutterAtTop",
                                          "w:hideSpellingErrors",
                                          "w:hideGrammaticalErrors",
                                          "w:activeWritingStyle",
                                          "w:proofState",
                                          "w:formsDesign",
                                          "w:attachedTemplate",
                                          "w:linkStyles",
                                          "w:stylePaneFormatFilter",
                                          "w:stylePaneSortMethod",
                                          "w:documentType"};
    pugi::xml_node after;
    for (pugi::xml_node c : settings.children())
        for (const char* b : kBefore)
            if (is(c, b))
                after = c;
    return after ? settings.insert_child_after("w:mailMerge", after)
                 : settings.prepend_child("w:mailMerge");
}

// The mail-merge settings of a form letter fed by the data source behind relationship id.
void fillMailMerge(pugi::xml_node mm, const DataSource& source, const QString& id) {
    auto val = [&](pugi::xml_node parent, const char* name, const QString& v) {
        parent.append_child(name).append_attribute("w:val") = v.toUtf8().constData();
    };
    val(mm, "w:mainDocumentType", QStringLiteral("formLetters"));
    if (source.linkToSource)
        mm.append_child("w:linkToQuery");
    val(mm, "w:dataType", QStringLiteral("textFile"));
    if (!source.connection.isEmpty())
        val(mm, "w:connectString", source.connection);
    if (!source.query.isEmpty())
        val(mm, "w:query", source.query);
    mm.append_child("w:dataSource").append_attribute("r:id") = id.toUtf8().constData();
    pugi::xml_node odso = mm.append_child("w:odso");
    odso.append_child("w:src").append_attribute("r:id") = id.toUtf8().constData();
    val(odso, "w:colDelim", QString::number(source.delimiter.unicode()));
    odso.append_child("w:fHdr");
}

// --- Merge -------------------------------------------------------------------------------------

// A header or footer of the main document.
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

// Headers and footers: one merged copy per record (the first record keeps the originals).
// idsPerRecord tells, for each record, which relationship replaces which; false with the name
// of the part when one is damaged.
bool mergeHeaders(ooxml::Package& out, const QString& mainPart, Rels& rels,
                  const output::MergeData& data, std::vector<QHash<QString, QString>>* idsPerRecord,
                  QString* damaged) {
    const std::vector<HeaderPart> headers = headerParts(out, mainPart, rels);
    idsPerRecord->assign(static_cast<size_t>(data.records.size()), {});
    int partNumber = 0;
    for (qsizetype rec = 0; rec < data.records.size(); ++rec) {
        for (const HeaderPart& h : headers) {
            pugi::xml_document hdoc;
            if (!load(hdoc, h.xml)) {
                *damaged = h.part;
                return false;
            }
            mergeFields({hdoc.document_element()}, data, rec);
            if (rec == 0) {
                out.setPart(h.part, save(hdoc));
                continue;
            }
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

// Ends one record's copy with a break to a new page: a paragraph holding a copy of the final
// section (starting the next on a new page), or a page break when the body has no final
// section.
void appendRecordBreak(pugi::xml_node body, pugi::xml_node finalSection,
                       const QHash<QString, QString>& ids) {
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
void mergeBody(pugi::xml_node body, const output::MergeData& data,
               const std::vector<QHash<QString, QString>>& idsPerRecord) {
    std::vector<pugi::xml_node> original;
    pugi::xml_node finalSection;
    for (pugi::xml_node c : body.children()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:sectPr") && !c.next_sibling("w:sectPr") && c == body.last_child())
            finalSection = c;
        else
            original.push_back(c);
    }
    for (qsizetype rec = 0; rec < data.records.size(); ++rec) {
        std::vector<pugi::xml_node> copies;
        for (pugi::xml_node c : original)
            copies.push_back(finalSection ? body.insert_copy_before(c, finalSection)
                                          : body.append_copy(c));
        mergeFields(copies, data, rec);
        const auto& ids = idsPerRecord[static_cast<size_t>(rec)];
        for (pugi::xml_node c : copies)
            rewireSections(c, ids);
        if (rec + 1 < data.records.size())
            appendRecordBreak(body, finalSection, ids);
    }
    for (pugi::xml_node c : original)
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

// Settings: no mail merge any more.
void dropMailMergeSettings(ooxml::Package& out, const QString& mainPart) {
    const QString settings = settingsPart(out, mainPart, false);
    pugi::xml_document sdoc;
    if (settings.isEmpty() || !load(sdoc, out.part(settings)))
        return;
    sdoc.child("w:settings").remove_child("w:mailMerge");
    out.setPart(settings, save(sdoc));
    Rels srels;
    srels.open(out.part(relsPathOf(settings)));
    srels.removeMailMerge();
    if (out.contains(relsPathOf(settings)))
        out.setPart(relsPathOf(settings), save(srels.doc));
}

} // namespace

bool mergeFieldName(const QString& instruction, QString* name) {
    FieldInstruction f;
    if (!parseInstruction(instruction, &f))
        return false;
    if (name)
        *name = f.name;
    return true;
}

ooxml::Package newDocument() {
    ooxml::Package p;
    p.setPart(QStringLiteral("[Content_Types].xml"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"rels\" "
              "ContentType=\"application/vnd.openxmlformats-package.relationships+xml\"/>"
              "<Default Extension=\"xml\" ContentType=\"application/xml\"/>"
              "<Override PartName=\"/word/document.xml\" ContentType=\"application/"
              "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/>"
              "<Override PartName=\"/word/settings.xml\" ContentType=\"application/"
              "vnd.openxmlformats-officedocument.wordprocessingml.settings+xml\"/>"
              "</Types>");
    p.setPart(QStringLiteral("_rels/.rels"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
              "officeDocument/2006/relationships/officeDocument\" Target=\"word/document.xml\"/>"
              "</Relationships>");
    p.setPart(QStringLiteral("word/_rels/document.xml.rels"),
              "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats.org/"
              "officeDocument/2006/relationships/settings\" Target=\"settings.xml\"/>"
              "</Relationships>");
    p.setPart(QStringLiteral("word/document.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                         "<w:document xmlns:w=\"") +
                  kWordNs + "\" xmlns:r=\"" + kRelNs +
                  "\"><w:body><w:p/><w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/>"
                  "<w:pgMar w:top=\"1440\" w:right=\"1440\" w:bottom=\"1440\" w:left=\"1440\" "
                  "w:header=\"708\" w:footer=\"708\" w:gutter=\"0\"/></w:sectPr></w:body>"
                  "</w:document>");
    p.setPart(QStringLiteral("word/settings.xml"),
              QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
                         "<w:settings xmlns:w=\"") +
                  kWordNs + "\" xmlns:r=\"" + kRelNs +
                  "\"><w:defaultTabStop w:val=\"720\"/></w:settings>");
    return p;
}

bool attachDataSource(ooxml::Package& package, const DataSource& source, QString* error) {
    const QString main = mainPartName(package);
    if (main.isEmpty()) {
        if (error)
            *error = QStringLiteral("The document has no main part.");
        return false;
    }
    const QString settings = settingsPart(package, main, true);
    pugi::xml_document doc;
    if (!load(doc, package.part(settings)) || !doc.child("w:settings")) {
        if (error)
            *error = QStringLiteral("The document settings are damaged.");
        return false;
    }
    pugi::xml_node root = doc.child("w:settings");
    if (!root.attribute("xmlns:r"))
        root.append_attribute("xmlns:r") = kRelNs;
    const QString id = replaceSourceRelationship(package, settings, source.path);
    root.remove_child("w:mailMerge");
    fillMailMerge(insertMailMerge(root), source, id);
    package.setPart(settings, save(doc));
    return true;
}

bool attachedDataSource(const ooxml::Package& package, DataSource* source) {
    ooxml::Package copy = package;
    const QString main = mainPartName(copy);
    if (main.isEmpty())
        return false;
    const QString settings = settingsPart(copy, main, false);
    pugi::xml_document doc;
    if (settings.isEmpty() || !load(doc, package.part(settings)))
        return false;
    pugi::xml_node mm = doc.child("w:settings").child("w:mailMerge");
    if (!mm)
        return false;
    const QString id = attr(mm.child("w:dataSource"), "r:id");
    Rels rels;
    rels.open(package.part(relsPathOf(settings)));
    QString target;
    for (pugi::xml_node r : rels.root.children("Relationship"))
        if (attr(r, "Id") == id)
            target = attr(r, "Target");
    source->path = QUrl(target).isLocalFile() ? QUrl(target).toLocalFile() : target;
    source->connection = attr(mm.child("w:connectString"), "w:val");
    source->query = attr(mm.child("w:query"), "w:val");
    source->linkToSource = bool(mm.child("w:linkToQuery"));
    const int delim = attr(mm.child("w:odso").child("w:colDelim"), "w:val").toInt();
    source->delimiter = QChar(delim ? delim : ',');
    return true;
}

QString makeDocument(ooxml::Package& package) {
    const QString main = mainPartName(package);
    const QString type = contentTypeOf(package, main);
    const bool macros = type.contains(QLatin1String("macroEnabled"), Qt::CaseInsensitive);
    if (type.contains(QLatin1String("template"), Qt::CaseInsensitive))
        addOverride(package, main, macros ? kMacroDocumentType : kDocumentType);
    return macros ? QStringLiteral("docm") : QStringLiteral("docx");
}

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
    std::vector<QHash<QString, QString>> idsPerRecord;
    QString damaged;
    if (!mergeHeaders(out, mainPart, rels, data, &idsPerRecord, &damaged))
        return fail(QStringLiteral("The template part \"%1\" is damaged.").arg(damaged));
    // The merged document is no longer a main document: it keeps no data source.
    rels.removeMailMerge();
    out.setPart(relsPathOf(mainPart), save(rels.doc));

    mergeBody(body, data, idsPerRecord);
    out.setPart(mainPart, save(doc));
    dropMailMergeSettings(out, mainPart);
    *result = std::move(out);
    return true;
}

} // namespace qv::docx
