#pragma once

#include "tests/support/scriptserver.h"

#include <QString>

// A real FTP server for tests: pyftpdlib on 127.0.0.1, on a free port, serving a temporary root
// that holds "u/vantrelle/accounts/". Started by the constructor (check isRunning()), stopped by
// the destructor. The fault switches take effect from the next command the server receives.
namespace qv::test {

class FtpServer : public ScriptServer {
public:
    FtpServer();

    QString address() const; // "127.0.0.1:<port>", as typed into the address field
    QString user() const { return QStringLiteral("root"); }
    QString password() const { return QStringLiteral("Merge-2024 pw"); }

    // Faults.
    void setRefuseLogin(bool refuse);
    void setLoginRefusalDelay(double seconds); // 0.2 s unless set; pyftpdlib's own is 3 s
    void refuseDownload(const QString& name);
    void refuseDelete(const QString& name = QStringLiteral("*"));
    void dropDownload(const QString& name, qint64 afterBytes);     // then the connection is cut
    void dropDownloadOnce(const QString& name, qint64 afterBytes); // the first download only
    void setMaxConnections(int connections); // at once; a further one gets 421 ("REFUSED")
    void stallDownload(const QString& name); // 150, then silence
    // 150 announcing the whole size, then only the first bytes, then 226 as if complete.
    void shortDownload(const QString& name, qint64 bytes);
    void setRefuseListing(bool refuse); // 550 to every name listing
    void setStallListing(bool stall);
    void addListedName(const QString& name); // listed, whether or not the file exists
    // count names prefix + five digits + suffix, listed without files.
    void addListedNameSeries(const QString& prefix, int count, const QString& suffix);
    void dropListing(qint64 afterBytes);          // the listing stops there, the connection drops
    void vanishAfterListing(const QString& name); // the file goes once a listing is made
    void clearFaults();

    // events(): "CONNECT", "LOGIN root", "NLST /u/...", "RETR /u/...", "DELE /u/...",
    // "DISCONNECT", one per line in order.
};

} // namespace qv::test
