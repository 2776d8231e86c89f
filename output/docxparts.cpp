#include "output/internal/docxparts.h"

#include "output/outputtext.h"

#include <QHash>
#include <QSet>
#include <QStringList>
#include <algorithm>
#include <cstring>

namespace qv::docx {

namespace {
struct Writer : pugi::xml_writer {
    explicit Writer(QByteArray& out) : out_(out) {}
    void write(const void* data, size_t size) override {
        // Room by doubling: a merged document's part runs to hundreds of megabytes.
        const qsizetype needed = out_.size() + static_cast<qsizetype>(size);
        if (needed > out_.capacity())
            out_.reserve(std::max(needed, 2 * out_.capacity()));
        out_.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
    QByteArray& out_;
};
} // namespace

bool load(pugi::xml_document& doc, const QByteArray& bytes) {
    return doc.load_buffer(bytes.constData(), static_cast<size_t>(bytes.size()),
                           pugi::parse_default | pugi::parse_ws_pcdata | pugi::parse_declaration,
                           pugi::encoding_utf8);
}

QByteArray save(const pugi::xml_document& doc) {
    QByteArray out;
    Writer w(out);
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return out;
}

void appendXml(QByteArray& out, pugi::xml_node node) {
    Writer w(out);
    node.print(w, "", pugi::format_raw, pugi::encoding_utf8);
}

bool is(pugi::xml_node n, const char* name) {
    return n.type() == pugi::node_element && std::strcmp(n.name(), name) == 0;
}

int elementDepth(pugi::xml_node root, int limit) {
    int depth = 0, deepest = 0;
    pugi::xml_node n = root.first_child();
    while (n && deepest <= limit) {
        if (n.type() == pugi::node_element)
            deepest = std::max(deepest, depth + 1);
        if (n.first_child()) {
            n = n.first_child();
            ++depth;
            continue;
        }
        while (n && n != root && !n.next_sibling()) {
            n = n.parent();
            --depth;
        }
        n = n && n != root ? n.next_sibling() : pugi::xml_node();
    }
    return deepest;
}

QString attr(pugi::xml_node n, const char* name) {
    return QString::fromUtf8(n.attribute(name).value());
}

void setAttr(pugi::xml_node n, const char* name, const QString& value) {
    pugi::xml_attribute a = n.attribute(name);
    if (!a)
        a = n.append_attribute(name);
    a.set_value(output::xmlText(value).toUtf8().constData());
}

QString relsPathOf(const QString& part) {
    const qsizetype slash = part.lastIndexOf(QLatin1Char('/'));
    return part.left(slash + 1) + QStringLiteral("_rels/") + part.mid(slash + 1) +
           QStringLiteral(".rels");
}

QString folderOf(const QString& part) {
    return part.left(part.lastIndexOf(QLatin1Char('/')) + 1);
}

QString resolveTarget(const QString& sourceFolder, const QString& target) {
    const QString joined =
        target.startsWith(QLatin1Char('/')) ? target.mid(1) : sourceFolder + target;
    QStringList out;
    for (const QString& p : joined.split(QLatin1Char('/'))) {
        if (p == QLatin1String("..")) {
            if (!out.isEmpty()) // never above the package's root
                out.removeLast();
        } else if (p != QLatin1String(".") && !p.isEmpty()) {
            out << p;
        }
    }
    return out.join(QLatin1Char('/'));
}

void Rels::open(const QByteArray& bytes) {
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

pugi::xml_node Rels::byType(const QString& type) const {
    for (pugi::xml_node r : root.children("Relationship"))
        if (attr(r, "Type") == type)
            return r;
    return {};
}

QString Rels::freshId(const QString& stem) const {
    QSet<QString> used;
    for (pugi::xml_node r : root.children("Relationship"))
        used.insert(attr(r, "Id"));
    for (int i = 1;; ++i) {
        const QString id = stem + QString::number(i);
        if (!used.contains(id))
            return id;
    }
}

void Rels::add(const QString& id, const QString& type, const QString& target, bool external) {
    pugi::xml_node r = root.append_child("Relationship");
    setAttr(r, "Id", id);
    setAttr(r, "Type", type);
    setAttr(r, "Target", target);
    if (external)
        r.append_attribute("TargetMode") = "External";
}

void Rels::removeMailMerge() {
    for (pugi::xml_node r = root.first_child(); r;) {
        pugi::xml_node next = r.next_sibling();
        if (attr(r, "Type").contains(QLatin1String("mailMerge"), Qt::CaseInsensitive))
            root.remove_child(r);
        r = next;
    }
}

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
    addOverrides(package, {{part, contentType}});
}

void addOverrides(ooxml::Package& package, const std::vector<std::pair<QString, QString>>& types) {
    pugi::xml_document doc;
    if (types.empty() || !load(doc, package.part(QStringLiteral("[Content_Types].xml"))))
        return;
    pugi::xml_node root = doc.child("Types");
    QHash<QByteArray, pugi::xml_node> overrides;
    for (pugi::xml_node o : root.children("Override"))
        overrides.insert(QByteArray(o.attribute("PartName").value()), o);
    for (const auto& [part, contentType] : types) {
        const QByteArray partName = (QLatin1Char('/') + part).toUtf8();
        pugi::xml_node o = overrides.value(partName);
        if (!o) {
            o = root.append_child("Override");
            o.append_attribute("PartName") = partName.constData();
            o.append_attribute("ContentType");
            overrides.insert(partName, o);
        }
        o.attribute("ContentType").set_value(contentType.toUtf8().constData());
    }
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

} // namespace qv::docx
