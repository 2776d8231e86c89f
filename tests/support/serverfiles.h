#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// The files of a test server: a temporary root that holds "u/vantrelle/accounts/".
namespace qv::test {

class ServerFiles {
public:
    ServerFiles();
    virtual ~ServerFiles() = default;
    ServerFiles(const ServerFiles&) = delete;
    ServerFiles& operator=(const ServerFiles&) = delete;

    QString root() const { return root_.path(); }
    QString accountsPath() const; // <root>/u/vantrelle/accounts

    // Files in the server's accounts folder.
    void putFile(const QString& name, const QByteArray& bytes) const;
    bool hasFile(const QString& name) const;
    QByteArray fileBytes(const QString& name) const;
    QStringList fileNames() const; // sorted

    // Opens the root to every user: servers that run a session as another user read and delete
    // the files.
    void shareWithEveryone() const;

protected:
    bool filesReady() const { return root_.isValid(); }

private:
    QTemporaryDir root_;
};

} // namespace qv::test
