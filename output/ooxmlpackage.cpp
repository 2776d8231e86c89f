#include "output/ooxmlpackage.h"

#include <QFile>
#include <zip.h>

namespace qv::ooxml {

bool Package::read(const QString& path, QString* error) {
    parts_.clear();
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!za) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a readable Office Open XML package.").arg(path);
        return false;
    }
    const zip_int64_t n = zip_get_num_entries(za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, i, 0, &st) != 0)
            continue;
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(QLatin1Char('/')))
            continue; // folder entry
        zip_file_t* zf = zip_fopen_index(za, i, 0);
        if (!zf) {
            zip_discard(za);
            if (error)
                *error =
                    QStringLiteral("The part \"%1\" of \"%2\" cannot be read.").arg(name, path);
            return false;
        }
        QByteArray bytes(static_cast<qsizetype>(st.size), Qt::Uninitialized);
        const zip_int64_t got = zip_fread(zf, bytes.data(), st.size);
        zip_fclose(zf);
        if (got != static_cast<zip_int64_t>(st.size)) {
            zip_discard(za);
            if (error)
                *error = QStringLiteral("The part \"%1\" of \"%2\" is damaged.").arg(name, path);
            return false;
        }
        parts_.emplace_back(name, bytes);
    }
    zip_discard(za);
    return true;
}

bool Package::write(const QString& path, QString* error) const {
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    auto fail = [&](const QString& what) {
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2").arg(path, what);
        return false;
    };
    if (!za)
        return fail(QStringLiteral("the file cannot be created."));
    // [Content_Types].xml first, as readers expect; an OpenDocument's "mimetype" first and
    // stored, so its type can be read at a fixed offset.
    auto leads = [](const QString& name) {
        return name == QLatin1String("[Content_Types].xml") || name == QLatin1String("mimetype");
    };
    std::vector<const std::pair<QString, QByteArray>*> order;
    for (const auto& p : parts_)
        if (leads(p.first))
            order.push_back(&p);
    for (const auto& p : parts_)
        if (!leads(p.first))
            order.push_back(&p);
    for (const auto* p : order) {
        zip_source_t* src = zip_source_buffer(za, p->second.constData(),
                                              static_cast<zip_uint64_t>(p->second.size()), 0);
        const zip_int64_t index = src ? zip_file_add(za, p->first.toUtf8().constData(), src,
                                                     ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                                      : zip_int64_t(-1);
        if (index < 0 || (p->first == QLatin1String("mimetype") &&
                          zip_set_file_compression(za, static_cast<zip_uint64_t>(index),
                                                   ZIP_CM_STORE, 0) != 0)) {
            if (src && index < 0)
                zip_source_free(src);
            const QString what = QString::fromUtf8(zip_strerror(za));
            zip_discard(za);
            return fail(what);
        }
    }
    if (zip_close(za) != 0) {
        const QString what = QString::fromUtf8(zip_strerror(za));
        zip_discard(za);
        return fail(what);
    }
    return true;
}

bool Package::contains(const QString& name) const {
    for (const auto& p : parts_)
        if (p.first == name)
            return true;
    return false;
}

QByteArray Package::part(const QString& name) const {
    for (const auto& p : parts_)
        if (p.first == name)
            return p.second;
    return {};
}

void Package::setPart(const QString& name, const QByteArray& bytes) {
    for (auto& p : parts_)
        if (p.first == name) {
            p.second = bytes;
            return;
        }
    parts_.emplace_back(name, bytes);
}

void Package::removePart(const QString& name) {
    std::erase_if(parts_, [&](const auto& p) { return p.first == name; });
}

QStringList Package::partNames() const {
    QStringList names;
    for (const auto& p : parts_)
        names << p.first;
    return names;
}

bool looksLikeZip(const QByteArray& head) {
    return head.startsWith("PK\x03\x04");
}

bool looksLikeCompoundFile(const QByteArray& head) {
    return head.startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1"));
}

} // namespace qv::ooxml
