#include "tests/support/serverfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

namespace qv::test {

ServerFiles::ServerFiles() {
    if (root_.isValid())
        QDir(root_.path()).mkpath(QStringLiteral("u/vantrelle/accounts"));
}

QString ServerFiles::accountsPath() const {
    return root_.filePath(QStringLiteral("u/vantrelle/accounts"));
}

void ServerFiles::putFile(const QString& name, const QByteArray& bytes) const {
    QFile file(QDir(accountsPath()).filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
    file.setPermissions(file.permissions() | QFile::ReadOther); // for servers run as another user
}

bool ServerFiles::hasFile(const QString& name) const {
    return QFile::exists(QDir(accountsPath()).filePath(name));
}

QByteArray ServerFiles::fileBytes(const QString& name) const {
    QFile file(QDir(accountsPath()).filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QStringList ServerFiles::fileNames() const {
    return QDir(accountsPath()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

void ServerFiles::shareWithEveryone() const {
    const QFile::Permissions all = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner |
                                   QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup |
                                   QFile::ReadOther | QFile::WriteOther | QFile::ExeOther;
    QFile::setPermissions(root(), all);
    QDirIterator it(root(), QDir::Dirs | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext())
        QFile::setPermissions(it.next(), all);
}

} // namespace qv::test
