#pragma once

#include <QByteArray>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

// A real FTP server for tests: pyftpdlib on 127.0.0.1, on a free port, serving a temporary root
// that holds "u/vantrelle/accounts/". Started by the constructor (check isRunning()), stopped by
// the destructor. The fault switches take effect from the next command the server receives.
namespace qv::test {

class FtpServer {
public:
    FtpServer();
    ~FtpServer();
    FtpServer(const FtpServer&) = delete;
    FtpServer& operator=(const FtpServer&) = delete;

    bool isRunning() const;
    QString errorString() const { return error_; }

    quint16 port() const { return port_; }
    QString host() const { return QStringLiteral("127.0.0.1"); }
    QString address() const; // "127.0.0.1:<port>", as typed into the address field
    QString user() const { return QStringLiteral("root"); }
    QString password() const { return QStringLiteral("Merge-2024 pw"); }
    QString root() const { return root_.path(); }
    QString accountsPath() const; // <root>/u/vantrelle/accounts

    // Files in the server's accounts folder.
    void putFile(const QString& name, const QByteArray& bytes) const;
    bool hasFile(const QString& name) const;
    QByteArray fileBytes(const QString& name) const;
    QStringList fileNames() const; // sorted

    // Faults.
    void setRefuseLogin(bool refuse);
    void setLoginRefusalDelay(double seconds); // 0.2 s unless set; pyftpdlib's own is 3 s
    void refuseDownload(const QString& name);
    void refuseDelete(const QString& name = QStringLiteral("*"));
    void dropDownload(const QString& name, qint64 afterBytes); // then the connection is cut
    void stallDownload(const QString& name);                   // 150, then silence
    void setStallListing(bool stall);
    void addListedName(const QString& name); // listed, whether or not the file exists
    // count names prefix + five digits + suffix, listed without files.
    void addListedNameSeries(const QString& prefix, int count, const QString& suffix);
    void dropListing(qint64 afterBytes);          // the listing stops there, the connection drops
    void vanishAfterListing(const QString& name); // the file goes once a listing is made
    void clearFaults();

    // What the server saw: "CONNECT", "LOGIN root", "NLST /u/...", "RETR /u/...", "DELE /u/...",
    // "DISCONNECT", one per line in order.
    QStringList events() const;
    int count(const QString& eventPrefix) const;
    void clearEvents() const;

private:
    void writeConfig() const;
    void appendToList(const QString& key, const QString& value);

    QTemporaryDir root_;
    QTemporaryDir work_;
    QProcess process_;
    QJsonObject config_;
    quint16 port_ = 0;
    QString error_;
};

} // namespace qv::test
