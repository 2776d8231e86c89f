#include "output/internal/docxspool.h"

#include "output/internal/docxparts.h"
#include "platform/tempfiles.h"

#include <QDir>
#include <QTemporaryFile>

namespace qv::docx {

namespace {
constexpr qsizetype kFlushAt = 4 << 20; // what is held before it goes to the file
}

PartSpool::PartSpool() = default;
PartSpool::~PartSpool() = default;

bool PartSpool::open(QString* error) {
    const QString folder = QDir::tempPath();
    tempfiles::removeStale(folder); // what an interrupted merge left
    file_ =
        std::make_shared<QTemporaryFile>(tempfiles::exportTemplate(folder, QStringLiteral(".xml")));
    if (file_->open())
        return true;
    if (error)
        *error = QStringLiteral("The merged document cannot be written in \"%1\": %2")
                     .arg(QDir::toNativeSeparators(folder), file_->errorString());
    file_.reset();
    return false;
}

void PartSpool::append(pugi::xml_node node) {
    appendXml(buffer_, node);
    if (buffer_.size() >= kFlushAt)
        flush();
}

void PartSpool::append(QByteArrayView bytes) {
    buffer_.append(bytes);
    if (buffer_.size() >= kFlushAt)
        flush();
}

void PartSpool::flush() {
    if (error_.isEmpty() && file_->write(buffer_) != buffer_.size())
        error_ = file_->errorString();
    buffer_.resize(0); // keeps its room for the next copies
}

// A new file: the new head, then what followed the old one, copied a piece at a time.
void PartSpool::replaceHead(qint64 headSize, QByteArrayView head) {
    flush();
    auto old = std::exchange(file_, nullptr);
    QString why;
    if (!open(&why)) {
        error_ = why;
        file_ = old;
        return;
    }
    append(head);
    flush();
    old->seek(headSize);
    while (error_.isEmpty() && !old->atEnd()) {
        const QByteArray piece = old->read(kFlushAt);
        if (piece.isEmpty()) {
            error_ = old->errorString();
            break;
        }
        append(piece);
    }
}

std::shared_ptr<QFile> PartSpool::finish(QString* error) {
    flush();
    if (error_.isEmpty() && !file_->flush())
        error_ = file_->errorString();
    if (error_.isEmpty())
        return file_;
    if (error)
        *error = QStringLiteral("The merged document cannot be written to \"%1\": %2")
                     .arg(QDir::toNativeSeparators(file_->fileName()), error_);
    return nullptr;
}

} // namespace qv::docx
