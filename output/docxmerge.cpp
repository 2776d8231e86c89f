#include "output/docx.h"
#include "output/internal/docxfields.h"
#include "output/internal/docxids.h"
#include "output/internal/docxparts.h"
#include "output/internal/docxspool.h"

#include <QDir>
#include <QHash>
#include <QSet>
#include <deque>
#include <memory>
#include <utility>

namespace qv::docx {

namespace {

using fields::FieldEvaluator;

// Where the copies written out so far go back into the main document.
constexpr const char* kWrittenMark = "qv:written";
// Holds the template's body content, which every copy is made from, outside the body.
constexpr const char* kOriginals = "qv:originals";

// Header and footer relationship ids of the template -> those of one copy's parts.
using IdMap = QHash<QString, QString>;

// Points the header and footer references of every section below root at other relationships.
void rewireSections(pugi::xml_node root, const IdMap& ids) {
    if (ids.isEmpty())
        return;
    forEachElement(root, [&ids](pugi::xml_node c) {
        if (!is(c, "w:headerReference") && !is(c, "w:footerReference"))
            return true;
        const QString id = attr(c, "r:id");
        if (ids.contains(id))
            c.attribute("r:id").set_value(ids.value(id).toUtf8().constData());
        return false;
    });
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

// A compiled part other than the main document: a header or footer, the footnotes, the
// endnotes.
struct Part {
    QString id, name, type, contentType;
    pugi::xml_document doc;
    // Notes: the template's notes by id, the notes made for the copy being built, the next id.
    QHash<QString, pugi::xml_node> notes;
    std::vector<pugi::xml_node> made;
    long long nextId = 1;
    // Headers and footers: whether fields make the copies differ, and the parts made so far by
    // their merged XML.
    bool hasFields = true;
    QHash<QByteArray, QString> merged;
    // A header or footer whose fields read nothing but the record's values: the part made for
    // each combination of those values (the merge file's columns below).
    bool byValuesOnly = false;
    std::vector<int> columns;
    QHash<QString, QString> byValues;
};

// Adds the merge file's columns that field `index` and the fields nested in it read; false when
// any of them gives more than a function of the record's values (a prompt, a bookmark, the
// record's number, a move to another record).
bool readsValuesOnly(const FieldTable& table, int index, std::vector<int>& columns) {
    using fields::FieldKind;
    const fields::CompiledField& f = table.fields[static_cast<size_t>(index)];
    const FieldKind k = f.code.kind;
    if (k != FieldKind::MergeField && k != FieldKind::If && k != FieldKind::Other)
        return false;
    if (k == FieldKind::MergeField)
        columns.push_back(f.column);
    for (const auto* pieces : {&f.codePieces, &f.result})
        for (const fields::Piece& p : *pieces)
            if (p.kind == fields::Piece::Field && !readsValuesOnly(table, p.field, columns))
                return false;
    return true;
}

// Whether every field placed below root reads only the record's values, and which columns.
bool readsValuesOnly(const FieldTable& table, pugi::xml_node root, std::vector<int>& columns) {
    bool only = true;
    forEachElement(root, [&](pugi::xml_node n) {
        if (is(n, kPlaceholder))
            only = only && readsValuesOnly(table, n.attribute("n").as_int(), columns);
        return only && !is(n, kPlaceholder) && !is(n, kStore);
    });
    return only;
}

// Copies a compiled part without its store.
void copyPart(const pugi::xml_document& from, pugi::xml_document& to) {
    for (pugi::xml_node c : from.children())
        to.append_copy(c);
    to.document_element().remove_child(kStore);
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

// "The template "path"" as a message's subject.
QString templateNamed(const QString& templatePath) {
    return templatePath.isEmpty()
               ? QStringLiteral("The template")
               : QStringLiteral("The template \"%1\"").arg(QDir::toNativeSeparators(templatePath));
}

QString faultMessage(const QList<output::TemplateFault>& faults, const QString& templatePath) {
    QStringList shown;
    for (qsizetype i = 0; i < faults.size() && i < 3; ++i)
        shown << QStringLiteral("{ %1 }: %2").arg(faults[i].fieldCode, faults[i].reason);
    QString text = shown.join(QLatin1Char(' '));
    if (faults.size() > 3)
        text += QStringLiteral(" (and %1 more)").arg(faults.size() - 3);
    return templateNamed(templatePath) +
           QStringLiteral(" has fields the merge cannot fill, so nothing was merged. ") + text;
}

// One merge: the template's parts compiled once, then one copy per record (or per group of
// records joined by NEXT), records that SKIPIF drops getting none.
class Merger {
public:
    Merger(ooxml::Package& out, const output::MergeData& data, const MergeOptions& options)
        : out_(out), data_(data), options_(options),
          interaction_(options.interaction ? *options.interaction : output::mergeInteraction()),
          evaluator_(table_.fields, data, interaction_, options.locale),
          bodyExpander_(table_, evaluator_, [this](pugi::xml_node ref) { note(ref); }),
          headerExpander_(table_, evaluator_) {
        evaluator_.setTableReader(readFormulaTable);
    }

    bool run(QString* error);

private:
    bool open(QString* error);
    void openParts();
    bool mergeCopy(qsizetype start, qsizetype* next);
    IdMap mergeHeaders();
    QString mergedHeader(Part& header);
    QString addHeaderCopy(const Part& header, const QByteArray& xml);
    void note(pugi::xml_node reference);
    void markCopy(const std::vector<pugi::xml_node>& copies);
    void dropCopyNotes();
    bool startWriting(QString* error);
    QByteArray markXml() const;
    void writeOut(pugi::xml_node stop);
    bool writeMain(QString* error);
    bool finish(QString* error);

    ooxml::Package& out_;
    const output::MergeData& data_;
    const MergeOptions& options_;
    output::MergeInteraction& interaction_;
    FieldTable table_;
    FieldEvaluator evaluator_;
    FieldExpander bodyExpander_, headerExpander_;

    QString mainPart_;
    QString deepPart_; // a part whose XML nests too deep to merge
    pugi::xml_document doc_;
    pugi::xml_node body_, finalSection_;
    // Finished copies leave the tree as XML: what stands between the mark and the copy being
    // made goes to the spool's file, so memory holds one copy at a time however many records.
    pugi::xml_node mark_;
    PartSpool spool_;
    QByteArray prefix_; // the main document's XML up to the mark, as the spool starts with it
    std::vector<pugi::xml_node> original_;
    std::vector<char> needs_;
    Rels rels_;
    std::deque<std::unique_ptr<Part>> headers_;
    std::unique_ptr<Part> footnotes_, endnotes_;
    UniqueIds uniqueIds_;
    QSet<QString> relIds_;
    std::vector<std::pair<QString, QString>> newTypes_; // the copies' parts and their types
    int copies_ = 0, partNumber_ = 0, relNumber_ = 0;
    IdMap lastIds_;
};

bool Merger::open(QString* error) {
    auto fail = [&](const QString& text) {
        if (error)
            *error = text;
        return false;
    };
    if (data_.records.isEmpty())
        return fail(QStringLiteral("The merge file holds no records to merge."));
    mainPart_ = mainPartName(out_);
    if (mainPart_.isEmpty() || !load(doc_, out_.part(mainPart_)))
        return fail(QStringLiteral("The template's main document part is damaged."));
    if (elementDepth(doc_, kMaxXmlNesting) > kMaxXmlNesting)
        deepPart_ = mainPart_;
    body_ = doc_.document_element().child("w:body");
    if (!body_)
        return fail(QStringLiteral("The template's main document has no body."));
    rels_.open(out_.part(relsPathOf(mainPart_)));
    for (pugi::xml_node r : rels_.root.children("Relationship"))
        relIds_.insert(attr(r, "Id"));
    if (deepPart_.isEmpty()) {
        uniqueIds_ = usedIds(out_, mainPart_, doc_);
        openParts();
    }
    if (!deepPart_.isEmpty())
        return fail(templateNamed(options_.templatePath) +
                    QStringLiteral(" nests the XML of its part \"%1\" more than %2 levels deep, "
                                   "as no word processor writes a document; nothing was merged.")
                        .arg(deepPart_)
                        .arg(kMaxXmlNesting));
    if (table_.tooDeep)
        return fail(templateNamed(options_.templatePath) +
                    QStringLiteral(" nests fields more than %1 deep, as no letter needs; nothing "
                                   "was merged.")
                        .arg(kMaxFieldNesting));
    for (const auto& h : headers_)
        if (!h->doc.document_element())
            return fail(QStringLiteral("The template part \"%1\" is damaged.").arg(h->name));
    return true;
}

// The headers, footers and notes the main document refers to, compiled with the body.
void Merger::openParts() {
    for (pugi::xml_node r : rels_.root.children("Relationship")) {
        const QString type = attr(r, "Type");
        const bool header =
            type.endsWith(QLatin1String("/header")) || type.endsWith(QLatin1String("/footer"));
        const bool notes =
            type.endsWith(QLatin1String("/footnotes")) || type.endsWith(QLatin1String("/endnotes"));
        if (!header && !notes)
            continue;
        auto part = std::make_unique<Part>();
        part->id = attr(r, "Id");
        part->type = type;
        part->name = resolveTarget(folderOf(mainPart_), attr(r, "Target"));
        part->contentType = contentTypeOf(out_, part->name);
        if (!load(part->doc, out_.part(part->name)) || !part->doc.document_element()) {
            if (header)
                headers_.push_back(std::move(part)); // reported as damaged
            continue;
        }
        if (elementDepth(part->doc, kMaxXmlNesting) > kMaxXmlNesting) {
            deepPart_ = part->name;
            return;
        }
        pugi::xml_node root = part->doc.document_element();
        compileFields(root, data_, table_);
        if (header) {
            part->hasFields = needsExpanding(root);
            part->byValuesOnly = readsValuesOnly(table_, root, part->columns);
            headers_.push_back(std::move(part));
            continue;
        }
        for (pugi::xml_node n : root.children()) {
            const QString kind = attr(n, "w:type");
            part->nextId = std::max(part->nextId, n.attribute("w:id").as_llong() + 1);
            if (n.type() == pugi::node_element && !is(n, kStore) &&
                (kind.isEmpty() || kind == QLatin1String("normal")))
                part->notes.insert(attr(n, "w:id"), n);
        }
        (type.endsWith(QLatin1String("/footnotes")) ? footnotes_ : endnotes_) = std::move(part);
    }
    compileFields(body_, data_, table_);
    // The store sits in the body while compiling; the copies are made of the body's content.
    doc_.document_element().append_move(body_.child(kStore));
    for (pugi::xml_node c : body_.children()) {
        if (c.type() != pugi::node_element)
            continue;
        if (is(c, "w:sectPr") && c == body_.last_child())
            finalSection_ = c;
        else {
            original_.push_back(c);
            needs_.push_back(needsExpanding(c));
        }
    }
    // Out of the body, so that the document's start before the mark stays as it is written now.
    pugi::xml_node originals = doc_.document_element().append_child(kOriginals);
    for (pugi::xml_node& c : original_)
        c = originals.append_move(c);
    mark_ = finalSection_ ? body_.insert_child_before(kWrittenMark, finalSection_)
                          : body_.append_child(kWrittenMark);
}

// A foot- or endnote reference in a copy: the note gets a merged copy of its own.
void Merger::note(pugi::xml_node reference) {
    Part* part = is(reference, "w:footnoteReference") ? footnotes_.get() : endnotes_.get();
    if (!part)
        return;
    const auto it = part->notes.constFind(attr(reference, "w:id"));
    if (it == part->notes.constEnd())
        return;
    pugi::xml_node root = part->doc.document_element();
    pugi::xml_node copy = root.insert_copy_before(*it, root.child(kStore));
    const long long id = part->nextId++;
    copy.attribute("w:id").set_value(id);
    reference.attribute("w:id").set_value(id);
    part->made.push_back(copy);
    bodyExpander_.expand(copy);
}

void Merger::dropCopyNotes() {
    for (Part* part : {footnotes_.get(), endnotes_.get()})
        if (part) {
            for (pugi::xml_node n : part->made)
                n.parent().remove_child(n);
            part->made.clear();
        }
}

// Headers and footers of the copy, merged for its first record: the first copy keeps the
// template's parts; a later copy whose header or footer reads the same as an earlier copy's
// shares that part (a header without fields is the template's for every copy), otherwise it
// gets a part of its own. Returns the ids of the copy's parts.
IdMap Merger::mergeHeaders() {
    IdMap ids;
    const qsizetype record = evaluator_.record();
    for (const auto& h : headers_) {
        if (copies_ > 0 && !h->hasFields)
            continue; // the template's part serves every copy
        evaluator_.setRecord(evaluator_.copyStart());
        QString values;
        if (h->byValuesOnly) {
            for (int column : h->columns)
                values += data_.value(evaluator_.copyStart(), column) + QChar(0x1f);
            if (const auto same = h->byValues.constFind(values); same != h->byValues.constEnd()) {
                if (*same != h->id)
                    ids.insert(h->id, *same);
                continue;
            }
        }
        const QString id = mergedHeader(*h);
        if (id != h->id)
            ids.insert(h->id, id);
        if (h->byValuesOnly)
            h->byValues.insert(values, id);
    }
    evaluator_.setRecord(record);
    return ids;
}

// The part of the copy's header or footer, merged for the current record: the template's own for
// the first copy, an earlier copy's that reads the same, or a new one. Returns its id.
QString Merger::mergedHeader(Part& h) {
    pugi::xml_document copy;
    copyPart(h.doc, copy);
    try {
        headerExpander_.expand(copy.document_element());
    } catch (const fields::SkipRecord&) {
        // SKIPIF in a header or footer: only the body decides which records get a copy.
    }
    QByteArray merged = save(copy);
    if (copies_ == 0) {
        out_.setPart(h.name, merged);
        h.merged.insert(merged, h.id);
        return h.id;
    }
    if (const auto same = h.merged.constFind(merged); same != h.merged.constEnd())
        return *same;
    uniqueIds_.renumber({copy.document_element()});
    const QString id = addHeaderCopy(h, save(copy));
    h.merged.insert(std::move(merged), id);
    return id;
}

// A new part holding a copy's header or footer; returns its relationship id.
QString Merger::addHeaderCopy(const Part& header, const QByteArray& xml) {
    QString part;
    do {
        part = folderOf(mainPart_) + QStringLiteral("qvmerge%1.xml").arg(++partNumber_);
    } while (out_.contains(part));
    out_.setPart(part, xml);
    newTypes_.emplace_back(part, header.contentType);
    QString id;
    do {
        id = QStringLiteral("rIdQvMerge%1").arg(++relNumber_);
    } while (relIds_.contains(id));
    relIds_.insert(id);
    rels_.add(id, header.type, part.mid(folderOf(mainPart_).size()), false);
    return id;
}

// Ends the previous copy before `before`: a section break to a new page with the previous
// copy's headers and footers, or a page break without sections.
void endCopy(pugi::xml_node body, pugi::xml_node before, pugi::xml_node finalSection,
             const IdMap& ids) {
    pugi::xml_node p = before ? body.insert_child_before("w:p", before) : body.append_child("w:p");
    if (finalSection) {
        pugi::xml_node sect = p.append_child("w:pPr").append_copy(finalSection);
        rewireSections(sect.parent(), ids);
        setNextPage(sect);
    } else {
        p.append_child("w:r").append_child("w:br").append_attribute("w:type") = "page";
    }
}

// One copy of the body starting at the record; false when SKIPIF dropped it. *next is the
// record the following copy starts with.
bool Merger::mergeCopy(qsizetype start, qsizetype* next) {
    evaluator_.startCopy(start);
    std::vector<pugi::xml_node> copies;
    for (pugi::xml_node c : original_)
        copies.push_back(finalSection_ ? body_.insert_copy_before(c, finalSection_)
                                       : body_.append_copy(c));
    try {
        for (size_t i = 0; i < copies.size(); ++i)
            if (needs_[i])
                bodyExpander_.expand(copies[i]);
    } catch (const fields::SkipRecord&) {
        for (pugi::xml_node c : copies)
            body_.remove_child(c);
        dropCopyNotes();
        *next = evaluator_.record() + 1;
        return false;
    }
    const IdMap ids = mergeHeaders();
    std::vector<pugi::xml_node> roots = copies;
    for (Part* part : {footnotes_.get(), endnotes_.get()})
        if (part) {
            roots.insert(roots.end(), part->made.begin(), part->made.end());
            part->made.clear();
        }
    if (copies_ > 0) {
        uniqueIds_.renumber(roots);
        endCopy(body_, copies.empty() ? finalSection_ : copies.front(), finalSection_, lastIds_);
    }
    for (pugi::xml_node c : copies)
        rewireSections(c, ids);
    if (options_.markCopies)
        markCopy(copies);
    writeOut(copies.empty() ? finalSection_ : copies.front());
    evaluator_.finishCopy();
    lastIds_ = ids;
    ++copies_;
    *next = evaluator_.record() + 1;
    if (options_.copyMerged && !options_.copyMerged(start, *next))
        throw fields::MergeCancelled();
    return true;
}

// The copy's bookmark, at the start of its first paragraph (a copy without one is not marked).
void Merger::markCopy(const std::vector<pugi::xml_node>& copies) {
    for (pugi::xml_node c : copies) {
        pugi::xml_node p =
            is(c, "w:p") ? c : c.find_node([](pugi::xml_node n) { return is(n, "w:p"); });
        if (!p)
            continue;
        pugi::xml_node after = p.child("w:pPr");
        pugi::xml_node start = after ? p.insert_child_after("w:bookmarkStart", after)
                                     : p.prepend_child("w:bookmarkStart");
        pugi::xml_node end = p.insert_child_after("w:bookmarkEnd", start);
        start.append_attribute("w:id") = 0;
        setAttr(start, "w:name", copyBookmarkName(copies_ + 1));
        end.append_attribute("w:id") = 0;
        uniqueIds_.renumber({start, end}); // an id no bookmark of the document has
        return;
    }
}

// Writes the body's content from the mark up to stop (the end when null) and takes it out of the
// tree.
void Merger::writeOut(pugi::xml_node stop) {
    for (pugi::xml_node n = mark_.next_sibling(); n && n != stop; n = mark_.next_sibling()) {
        spool_.append(n);
        body_.remove_child(n);
    }
}

// The spool starts with the XML of the main document up to the mark, which the copies follow.
bool Merger::startWriting(QString* error) {
    if (!spool_.open(error))
        return false;
    const QByteArray xml = save(doc_);
    prefix_ = xml.left(xml.indexOf(markXml()));
    spool_.append(prefix_);
    return true;
}

QByteArray Merger::markXml() const {
    QByteArray mark;
    appendXml(mark, mark_);
    return mark;
}

// The main document's XML: the tree with the written copies in place of the mark. They were
// written after the start of the document as it stood before the merge; that start is checked
// rather than assumed unchanged, and put right when it differs.
bool Merger::writeMain(QString* error) {
    const QByteArray mark = markXml();
    const QByteArray rest = save(doc_);
    const qsizetype at = rest.indexOf(mark);
    if (QByteArrayView(rest).first(at) != QByteArrayView(prefix_))
        spool_.replaceHead(prefix_.size(), QByteArrayView(rest).first(at));
    spool_.append(QByteArrayView(rest).sliced(at + mark.size()));
    const std::shared_ptr<QFile> file = spool_.finish(error);
    if (file)
        out_.setPartFile(mainPart_, file);
    return bool(file);
}

bool Merger::finish(QString* error) {
    writeOut(finalSection_);
    doc_.document_element().remove_child(kOriginals);
    if (finalSection_)
        rewireSections(finalSection_, lastIds_); // the final section belongs to the last copy
    doc_.document_element().remove_child(kStore);
    for (Part* part : {footnotes_.get(), endnotes_.get()}) {
        if (!part)
            continue;
        pugi::xml_node root = part->doc.document_element();
        for (pugi::xml_node n : part->notes)
            root.remove_child(n);
        root.remove_child(kStore);
        out_.setPart(part->name, save(part->doc));
    }
    addOverrides(out_, newTypes_);
    rels_.removeMailMerge(); // the merged document keeps no data source
    out_.setPart(relsPathOf(mainPart_), save(rels_.doc));
    if (!writeMain(error))
        return false;
    dropMailMergeSettings(out_, mainPart_);
    return true;
}

bool Merger::run(QString* error) {
    if (!open(error))
        return false;
    resolveBookmarks(table_, options_.locale);
    const QList<output::TemplateFault> faults = templateFaults(table_);
    if (!faults.isEmpty() && !interaction_.mergeDespite(faults, options_.templatePath)) {
        if (error)
            *error = faultMessage(faults, options_.templatePath);
        return false;
    }
    if (!startWriting(error))
        return false;
    try {
        qsizetype next = 0;
        while (next < data_.records.size())
            mergeCopy(next, &next);
    } catch (const fields::MergeCancelled&) {
        if (error)
            *error = QStringLiteral("The merge was cancelled.");
        return false;
    }
    if (copies_ == 0) {
        if (error)
            *error = QStringLiteral("Every record was skipped, so the merge made no document.");
        return false;
    }
    return finish(error);
}

} // namespace

QString copyBookmarkName(qsizetype copy) {
    return QStringLiteral("QvLetter%1").arg(copy);
}

bool mergeDocument(const ooxml::Package& main, const output::MergeData& data,
                   ooxml::Package* result, QString* error, const MergeOptions& options) {
    ooxml::Package out = main;
    Merger merger(out, data, options);
    if (!merger.run(error))
        return false;
    *result = std::move(out);
    return true;
}

} // namespace qv::docx
