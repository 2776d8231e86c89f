#include "output/odtdocument.h"

#include "output/ooxmlpackage.h"
#include "output/outputtext.h"
#include "output/writerdata.h"

#include <QUrl>
#include <pugixml.hpp>
#include <utility>

namespace qv::odt {

namespace {

constexpr const char* kOfficeNs = "urn:oasis:names:tc:opendocument:xmlns:office:1.0";
constexpr const char* kVersion = "1.3";
const QByteArray kTextType = "application/vnd.oasis.opendocument.text";
const QByteArray kBaseType = "application/vnd.oasis.opendocument.base";
const QByteArray kDatabaseFolder = "EmbeddedDatabase";

struct Writer : pugi::xml_writer {
    QByteArray out;
    void write(const void* data, size_t size) override {
        out.append(static_cast<const char*>(data), static_cast<qsizetype>(size));
    }
};

QByteArray xml(const pugi::xml_document& doc) {
    Writer w;
    doc.save(w, "", pugi::format_raw, pugi::encoding_utf8);
    return w.out;
}

// A document with its declaration and a root element declaring a namespace (the office one
// unless another is named).
pugi::xml_node root(pugi::xml_document& doc, const char* name,
                    const char* namespaceAttribute = "xmlns:office",
                    const char* namespaceName = kOfficeNs) {
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node r = doc.append_child(name);
    r.append_attribute(namespaceAttribute) = namespaceName;
    return r;
}

void set(pugi::xml_node n, const char* name, const QString& value) {
    n.append_attribute(name) = output::xmlText(value).toUtf8().constData();
}

QString sqlName(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

QByteArray contentPart() {
    pugi::xml_document doc;
    pugi::xml_node r = root(doc, "office:document-content");
    r.append_attribute("xmlns:text") = "urn:oasis:names:tc:opendocument:xmlns:text:1.0";
    r.append_attribute("office:version") = kVersion;
    r.append_child("office:body").append_child("office:text").append_child("text:p");
    return xml(doc);
}

void configItem(pugi::xml_node set_, const char* name, const char* type, const QString& value) {
    pugi::xml_node item = set_.append_child("config:config-item");
    item.append_attribute("config:name") = name;
    item.append_attribute("config:type") = type;
    item.text() = output::xmlText(value).toUtf8().constData();
}

// The document's current data source and its embedded database. The "ooo" namespace must be
// declared: LibreOffice ignores the set when its name's prefix is unknown.
QByteArray settingsPart(const MergeSource& source) {
    pugi::xml_document doc;
    pugi::xml_node r = root(doc, "office:document-settings");
    r.append_attribute("xmlns:config") = "urn:oasis:names:tc:opendocument:xmlns:config:1.0";
    r.append_attribute("xmlns:ooo") = "http://openoffice.org/2004/office";
    r.append_attribute("office:version") = kVersion;
    pugi::xml_node items = r.append_child("office:settings").append_child("config:config-item-set");
    items.append_attribute("config:name") = "ooo:configuration-settings";
    configItem(items, "CurrentDatabaseDataSource", "string", source.dataSource);
    configItem(items, "CurrentDatabaseCommand", "string", source.query);
    configItem(items, "CurrentDatabaseCommandType", "short", QStringLiteral("1")); // a query
    configItem(items, "EmbeddedDatabaseName", "string", QString::fromLatin1(kDatabaseFolder));
    return xml(doc);
}

// The flat-file connection: "|" between fields, no string delimiter (a value may start with a
// quotation mark), UTF-8, no header line (the query names the columns).
void dataSource(pugi::xml_node database, const MergeSource& source) {
    pugi::xml_node ds = database.append_child("db:data-source");
    pugi::xml_node connection = ds.append_child("db:connection-data");
    pugi::xml_node file =
        connection.append_child("db:database-description").append_child("db:file-based-database");
    QString folder = QUrl::fromLocalFile(source.folder).toString(QUrl::FullyEncoded);
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    set(file, "xlink:href", folder);
    file.append_attribute("db:media-type") = "text/csv";
    set(file, "db:extension", source.extension);
    connection.append_child("db:login").append_attribute("db:is-password-required") = "false";

    pugi::xml_node driver = ds.append_child("db:driver-settings");
    driver.append_attribute("db:is-first-row-header-line") = "false";
    driver.append_attribute("db:parameter-name-substitution") = "false";
    pugi::xml_node delimiter = driver.append_child("db:delimiter");
    delimiter.append_attribute("db:field") = "|";
    delimiter.append_attribute("db:string") = "";
    delimiter.append_attribute("db:decimal") = ".";
    delimiter.append_attribute("db:thousand") = "";
    driver.append_child("db:font-charset").append_attribute("db:encoding") = "utf-8";

    // No table matches "/" (a file name cannot hold it): only the query is offered.
    pugi::xml_node settings = ds.append_child("db:application-connection-settings");
    settings.append_attribute("db:is-table-name-length-limited") = "false";
    settings.append_attribute("db:append-table-alias-name") = "false";
    settings.append_child("db:table-filter")
        .append_child("db:table-include-filter")
        .append_child("db:table-filter-pattern")
        .text() = "/";
}

QByteArray databasePart(const MergeSource& source) {
    pugi::xml_document doc;
    pugi::xml_node r = root(doc, "office:document-content");
    r.append_attribute("xmlns:db") = "urn:oasis:names:tc:opendocument:xmlns:database:1.0";
    r.append_attribute("xmlns:xlink") = "http://www.w3.org/1999/xlink";
    r.append_attribute("office:version") = kVersion;
    pugi::xml_node database = r.append_child("office:body").append_child("office:database");
    dataSource(database, source);
    pugi::xml_node query = database.append_child("db:queries").append_child("db:query");
    set(query, "db:name", source.query);
    set(query, "db:command", queryCommand(source));
    return xml(doc);
}

QByteArray manifestPart() {
    pugi::xml_document doc;
    pugi::xml_node r = root(doc, "manifest:manifest", "xmlns:manifest",
                            "urn:oasis:names:tc:opendocument:xmlns:manifest:1.0");
    r.append_attribute("manifest:version") = kVersion;
    const std::pair<QByteArray, QByteArray> entries[] = {
        {"/", kTextType},
        {"content.xml", "text/xml"},
        {"settings.xml", "text/xml"},
        {kDatabaseFolder + "/", kBaseType},
        {kDatabaseFolder + "/content.xml", "text/xml"},
    };
    for (const auto& [path, type] : entries) {
        pugi::xml_node e = r.append_child("manifest:file-entry");
        e.append_attribute("manifest:full-path") = path.constData();
        if (path == "/")
            e.append_attribute("manifest:version") = kVersion;
        e.append_attribute("manifest:media-type") = type.constData();
    }
    return xml(doc);
}

} // namespace

QString dataSourceName(const QString& mergeName) {
    return QStringLiteral("Quorvane ") + mergeName;
}

QStringList uniqueFieldNames(const QStringList& header) {
    QStringList names;
    auto taken = [&names](const QString& n) { return names.contains(n, Qt::CaseInsensitive); };
    for (qsizetype i = 0; i < header.size(); ++i) {
        QString name = header[i];
        name.replace(QLatin1Char('"'), QLatin1Char('\''));
        if (name.isEmpty())
            name = QStringLiteral("Field %1").arg(i + 1);
        QString unique = name;
        for (int n = 2; taken(unique) || (unique != name && header.contains(unique)); ++n)
            unique = QStringLiteral("%1 %2").arg(name).arg(n);
        names << unique;
    }
    return names;
}

QString queryCommand(const MergeSource& source) {
    QStringList columns;
    for (qsizetype i = 0; i < source.fields.size(); ++i)
        columns << QStringLiteral("\"C%1\" AS %2").arg(i + 1).arg(sqlName(source.fields[i]));
    if (columns.isEmpty())
        columns << QStringLiteral("\"C1\"");
    return QStringLiteral("SELECT %1 FROM %2 WHERE \"C1\" <> '%3' OR \"C1\" IS NULL")
        .arg(columns.join(QStringLiteral(", ")), sqlName(source.table),
             QString(QChar(output::kWriterDataMarker)));
}

bool writeDocument(const QString& path, const MergeSource& source, QString* error) {
    ooxml::Package package;
    package.setPart(QStringLiteral("mimetype"), kTextType);
    package.setPart(QStringLiteral("content.xml"), contentPart());
    package.setPart(QStringLiteral("settings.xml"), settingsPart(source));
    package.setPart(QString::fromLatin1(kDatabaseFolder + "/content.xml"), databasePart(source));
    package.setPart(QStringLiteral("META-INF/manifest.xml"), manifestPart());
    return package.write(path, error);
}

} // namespace qv::odt
