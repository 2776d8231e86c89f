#include "output/ooxmlpackage.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <vector>
#include <zip.h>

namespace qv::ooxml {

namespace {

// What a document part may unpack to: no template or document holds more, and a part that packs
// far better than text does is a trap, not a document.
constexpr zip_uint64_t kMaxPartSize = 256ull << 20;
constexpr zip_uint64_t kMaxPackageSize = 512ull << 20;
constexpr zip_uint64_t kMaxRatio = 200;
constexpr zip_uint64_t kRatioFrom = 8ull << 20; // smaller parts may pack as well as they like
constexpr zip_uint64_t kChunk = 1ull << 20;

// A part name that stays within the package: relative, "/"-separated, with no empty, "." or
// ".." segment, no backslash and no drive letter.
bool isSafeName(const QString& name) {
    if (name.isEmpty() || name.startsWith(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
        (name.size() > 1 && name[1] == QLatin1Char(':')))
        return false;
    const QStringList segments = name.split(QLatin1Char('/'));
    for (const QString& s : segments)
        if (s.isEmpty() || s == QLatin1String(".") || s == QLatin1String(".."))
            return false;
    return true;
}

// Refuses a part whose declared size is beyond the limits; total counts the parts before it.
QString sizeProblem(const zip_stat_t& st, zip_uint64_t total) {
    const zip_uint64_t mib = st.size >> 20;
    if (st.size > kMaxPartSize)
        return QStringLiteral("unpacks to %1 MB, larger than the %2 MB a document part may hold")
            .arg(mib)
            .arg(kMaxPartSize >> 20);
    if (total + st.size > kMaxPackageSize)
        return QStringLiteral("brings the unpacked package to more than the %1 MB a document "
                              "may hold")
            .arg(kMaxPackageSize >> 20);
    if (st.size > kRatioFrom && st.size / std::max<zip_uint64_t>(st.comp_size, 1) > kMaxRatio)
        return QStringLiteral("unpacks to %1 times its packed size (%2 MB), more than %3 times, "
                              "as no document does")
            .arg(st.size / std::max<zip_uint64_t>(st.comp_size, 1))
            .arg(mib)
            .arg(kMaxRatio);
    return {};
}

// Unpacks one part piece by piece, never beyond its declared size; false when the data do not
// match it.
bool readPart(zip_t* za, zip_uint64_t index, zip_uint64_t size, QByteArray* bytes) {
    zip_file_t* zf = zip_fopen_index(za, index, 0);
    if (!zf)
        return false;
    bytes->clear();
    bytes->reserve(static_cast<qsizetype>(size)); // pages are only taken as the data arrive
    std::vector<char> chunk(static_cast<size_t>(std::min(kChunk, std::max<zip_uint64_t>(size, 1))));
    bool good = true;
    while (good && static_cast<zip_uint64_t>(bytes->size()) < size) {
        const zip_uint64_t want =
            std::min<zip_uint64_t>(chunk.size(), size - static_cast<zip_uint64_t>(bytes->size()));
        const zip_int64_t n = zip_fread(zf, chunk.data(), want);
        good = n > 0;
        if (good)
            bytes->append(chunk.data(), static_cast<qsizetype>(n));
    }
    good = good && zip_fread(zf, chunk.data(), 1) == 0; // no more than declared
    zip_fclose(zf);
    return good;
}

struct Entry {
    zip_uint64_t index;
    QString name;
    zip_uint64_t size;
};

// The entries to take, each checked against the limits before any part is unpacked.
bool listEntries(zip_t* za, const QString& path, std::vector<Entry>* entries, QString* error) {
    const zip_int64_t n = zip_get_num_entries(za, 0);
    zip_uint64_t total = 0;
    for (zip_uint64_t i = 0; i < static_cast<zip_uint64_t>(std::max<zip_int64_t>(n, 0)); ++i) {
        zip_stat_t st;
        if (zip_stat_index(za, i, 0, &st) != 0 || !(st.valid & ZIP_STAT_NAME) ||
            !(st.valid & ZIP_STAT_SIZE) || !(st.valid & ZIP_STAT_COMP_SIZE))
            continue;
        const QString name = QString::fromUtf8(st.name);
        if (name.endsWith(QLatin1Char('/')) || !isSafeName(name))
            continue; // a folder entry, or a name that could lead outside the package
        if (const QString problem = sizeProblem(st, total); !problem.isEmpty()) {
            if (error)
                *error = QStringLiteral("The part \"%1\" of \"%2\" %3; the file is refused.")
                             .arg(name, path, problem);
            return false;
        }
        total += st.size;
        entries->push_back({i, name, st.size});
    }
    return true;
}

} // namespace

bool Package::read(const QString& path, QString* error) {
    parts_.clear();
    index_.clear();
    int code = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_RDONLY, &code);
    if (!za) {
        if (error)
            *error = QStringLiteral("\"%1\" is not a readable Office Open XML package.").arg(path);
        return false;
    }
    std::vector<Entry> entries;
    bool good = listEntries(za, path, &entries, error);
    for (size_t i = 0; good && i < entries.size(); ++i) {
        QByteArray bytes;
        good = readPart(za, entries[i].index, entries[i].size, &bytes);
        // A name the zip file repeats: its first entry is the part.
        if (good && !index_.contains(entries[i].name)) {
            index_.insert(entries[i].name, parts_.size());
            parts_.push_back(Part{entries[i].name, std::move(bytes), nullptr});
        } else if (!good && error)
            *error =
                QStringLiteral("The part \"%1\" of \"%2\" is damaged.").arg(entries[i].name, path);
    }
    zip_discard(za);
    if (!good) {
        parts_.clear();
        index_.clear();
    }
    return good;
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
    std::vector<const Part*> order;
    for (const Part& p : parts_)
        if (leads(p.name))
            order.push_back(&p);
    for (const Part& p : parts_)
        if (!leads(p.name))
            order.push_back(&p);
    for (const Part* p : order) {
        // A part in a file is read from it as the zip file is written, piece by piece.
        zip_source_t* src =
            p->file ? zip_source_file(za, QFile::encodeName(p->file->fileName()).constData(), 0, -1)
                    : zip_source_buffer(za, p->bytes.constData(),
                                        static_cast<zip_uint64_t>(p->bytes.size()), 0);
        const zip_int64_t index = src ? zip_file_add(za, p->name.toUtf8().constData(), src,
                                                     ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                                      : zip_int64_t(-1);
        // Deflate's fastest level: a merged document runs to hundreds of megabytes of XML,
        // which it packs nearly as small as the default level does, in a third of the time.
        const bool stored = p->name == QLatin1String("mimetype");
        if (index < 0 ||
            zip_set_file_compression(za, static_cast<zip_uint64_t>(index),
                                     stored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, stored ? 0 : 1) != 0) {
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
    return index_.contains(name);
}

QByteArray Package::part(const QString& name) const {
    const auto it = index_.constFind(name);
    if (it == index_.constEnd())
        return {};
    const Part& p = parts_[*it];
    if (!p.file)
        return p.bytes;
    QFile file(p.file->fileName());
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

Package::Part& Package::place(const QString& name) {
    if (const auto it = index_.constFind(name); it != index_.constEnd())
        return parts_[*it];
    index_.insert(name, parts_.size());
    parts_.push_back(Part{name, {}, nullptr});
    return parts_.back();
}

void Package::setPart(const QString& name, const QByteArray& bytes) {
    Part& p = place(name);
    p.bytes = bytes;
    p.file.reset();
}

void Package::setPartFile(const QString& name, std::shared_ptr<QFile> file) {
    Part& p = place(name);
    p.bytes.clear();
    p.file = std::move(file);
}

void Package::removePart(const QString& name) {
    if (std::erase_if(parts_, [&](const Part& p) { return p.name == name; }) == 0)
        return;
    index_.clear();
    for (size_t i = 0; i < parts_.size(); ++i)
        index_.insert(parts_[i].name, i);
}

QStringList Package::partNames() const {
    QStringList names;
    for (const Part& p : parts_)
        names << p.name;
    return names;
}

bool looksLikeZip(const QByteArray& head) {
    return head.startsWith("PK\x03\x04");
}

bool looksLikeCompoundFile(const QByteArray& head) {
    return head.startsWith(QByteArray::fromHex("d0cf11e0a1b11ae1"));
}

} // namespace qv::ooxml
