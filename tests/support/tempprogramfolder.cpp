#include "tests/support/tempprogramfolder.h"

#include "platform/programfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace qv::test {

TempProgramFolder::TempProgramFolder() {
    if (!dir_.isValid())
        throw std::runtime_error("cannot create a temporary program folder");
    setProgramFolder(dir_.path());
}

TempProgramFolder::~TempProgramFolder() {
    setProgramFolder(QString());
}

void TempProgramFolder::write(const QString& relative, const QByteArray& bytes) const {
    const QString target = filePath(relative);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        throw std::runtime_error("cannot write test file " + target.toStdString());
}

QByteArray TempProgramFolder::read(const QString& relative) const {
    QFile file(filePath(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString sourcePath(const QString& relative) {
    return QDir(QString::fromLocal8Bit(qgetenv("QV_SOURCE_DIR"))).filePath(relative);
}

} // namespace qv::test
