#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QFile;

// An Office Open XML package (or an OpenDocument one) held in memory: its parts by name, in
// their order in the zip file.
namespace qv::ooxml {

class Package {
public:
    // Reads every part of the zip file; false with a message when it is not a readable zip, or
    // when a part would unpack to more than 256 MB (512 MB for all parts), or packs more than
    // 200 to 1 (a zip bomb): such a file is refused before the part is unpacked. Entries whose
    // names could lead outside the package ("../", absolute paths) are left out.
    bool read(const QString& path, QString* error);
    // Writes the package as a new zip file at path; false with a message on failure.
    bool write(const QString& path, QString* error) const;

    bool contains(const QString& name) const;
    QByteArray part(const QString& name) const;                 // empty when missing
    void setPart(const QString& name, const QByteArray& bytes); // adds or replaces
    // Adds or replaces a part whose bytes are the whole of a file, too large to hold in memory:
    // read only when the package is written (or the part asked for). The package and its copies
    // keep the file as long as they need it; it must not change any more.
    void setPartFile(const QString& name, std::shared_ptr<QFile> file);
    void removePart(const QString& name);
    QStringList partNames() const;

private:
    struct Part {
        QString name;
        QByteArray bytes;
        std::shared_ptr<QFile> file; // when set, the part's bytes are the file's
    };
    Part& place(const QString& name);

    std::vector<Part> parts_;
    QHash<QString, size_t> index_; // part name -> its place in parts_
};

// True when the file starts like a zip archive (an Office Open XML package, whatever its name).
bool looksLikeZip(const QByteArray& head);
// True when the file starts like a compound document (Word 97-2003 binary formats).
bool looksLikeCompoundFile(const QByteArray& head);

} // namespace qv::ooxml
