#include "tests/support/tempprogramfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace qv::test {

namespace {
QString validPath(const QTemporaryDir& dir) {
    if (!dir.isValid())
        throw std::runtime_error("cannot create a temporary program folder");
    return dir.path();
}
} // namespace

TempProgramFolder::TempProgramFolder()
    : services_([this](Services& s) { s.programFolder = validPath(dir_); }) {}

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
