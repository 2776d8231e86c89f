#pragma once

#include <QByteArray>
#include <QString>

// The local side of a download: bytes go to a temporary file beside the target, which replaces
// the target in one step only when the transfer completed. A failed or abandoned download leaves
// neither a partial file nor a damaged older copy behind.
namespace qv::transfer {

class DownloadFile {
public:
    explicit DownloadFile(const QString& target) : target_(target) {}
    ~DownloadFile(); // discards what was not committed
    DownloadFile(const DownloadFile&) = delete;
    DownloadFile& operator=(const DownloadFile&) = delete;

    bool open();
    bool write(const char* data, qint64 size);
    bool commit(); // the copy takes the target's place
    void discard();
    QString errorString() const { return error_; }

private:
    bool fail(int error);
    bool abandon();

    QString target_;
    QByteArray tempPath_; // as the file system spells it
    int fd_ = -1;
    QString error_;
};

} // namespace qv::transfer
