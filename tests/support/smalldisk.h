#pragma once

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

namespace qv::test {

// A small file system of its own (tmpfs) mounted on a folder for the test's life. Needs root.
class SmallDisk {
public:
    SmallDisk(const QString& folder, const QString& size) : folder_(folder) {
        QDir().mkpath(folder);
        mounted_ = QProcess::execute(QStringLiteral("mount"),
                                     {QStringLiteral("-t"), QStringLiteral("tmpfs"),
                                      QStringLiteral("-o"), QStringLiteral("size=") + size,
                                      QStringLiteral("tmpfs"), folder}) == 0;
    }
    ~SmallDisk() {
        if (mounted_)
            QProcess::execute(QStringLiteral("umount"), {QStringLiteral("-l"), folder_});
    }
    SmallDisk(const SmallDisk&) = delete;
    SmallDisk& operator=(const SmallDisk&) = delete;
    bool mounted() const { return mounted_; }

    // Fills what is left of the disk with one file.
    void fill() const {
        QFile filler(folder_ + QStringLiteral("/filler"));
        if (!filler.open(QIODevice::WriteOnly))
            return;
        const QByteArray block(4096, 'f');
        while (filler.write(block) == block.size() && filler.flush()) {
        }
    }

private:
    QString folder_;
    bool mounted_ = false;
};

} // namespace qv::test
