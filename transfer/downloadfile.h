#pragma once

#include <QString>
#include <QTemporaryFile>

// The local side of a download: bytes go to a temporary file beside the target, which replaces
// the target in one step only when the transfer completed. A failed or abandoned download leaves
// neither a partial file nor a damaged older copy behind.
namespace qv::transfer {

class DownloadFile {
public:
    explicit DownloadFile(const QString& target);
    ~DownloadFile(); // discards what was not committed

    bool open();
    bool write(const char* data, qint64 size);
    bool commit(); // the copy takes the target's place
    void discard();
    QString errorString() const { return error_; }

private:
    QString target_;
    QTemporaryFile temp_;
    QString error_;
    bool committed_ = false;
};

} // namespace qv::transfer
