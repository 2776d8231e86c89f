#pragma once

#include <QByteArray>
#include <QString>
#include <memory>
#include <pugixml.hpp>

class QFile;
class QTemporaryFile;

// A part too large to hold in memory (the merged main document, every record's copy), written
// as it grows to a temporary file of the program's own; the package then takes the file as the
// part (ooxml::Package::setPartFile) and reads it only when it is written.
namespace qv::docx {

class PartSpool {
public:
    PartSpool();
    ~PartSpool();

    // Makes the temporary file; false with the system's reason.
    bool open(QString* error);
    // Appends the node and everything below it, written as save() writes it, or bytes.
    void append(pugi::xml_node node);
    void append(QByteArrayView bytes);
    // Puts head in place of the first headSize bytes written.
    void replaceHead(qint64 headSize, QByteArrayView head);
    // Everything written, on the disk: the file for the package; null with the system's reason
    // when a write failed.
    std::shared_ptr<QFile> finish(QString* error);

private:
    void flush();

    std::shared_ptr<QTemporaryFile> file_;
    QByteArray buffer_;
    QString error_;
};

} // namespace qv::docx
