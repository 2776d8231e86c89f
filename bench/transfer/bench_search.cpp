// One search against a running FTP server, timed from the click to the end: the listing, every
// download into the data folder, the browser entries and the settings. Prints one line:
//   search_ms=<wall time> files=<entries> bytes=<bytes downloaded> peak_kb=<peak resident size>
// Usage: bench_transfer_search <address> <login> <password> [<CA file> [<known_hosts file>]]
// (the CA that issued a TLS server's certificate, and the known_hosts that holds an SFTP server's
// key: nobody is there to answer a trust question)

#include "app/actions/search.h"
#include "app/form2.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "ui/listview.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

using qv::test::designControl;

int main(int argc, char** argv) {
    if (argc < 4 || argc > 6) {
        std::fprintf(stderr, "usage: %s <address> <login> <password> [<CA file> [<known_hosts>]]\n",
                     argv[0]);
        return 2;
    }
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QTemporaryDir folder;
    const qv::ScopedServices services([&](qv::Services& s) {
        s.programFolder = folder.path();
        if (argc > 4)
            s.certificateAuthorities = QString::fromLocal8Bit(argv[4]);
        if (argc > 5)
            s.knownHostsFile = QString::fromLocal8Bit(argv[5]);
    });

    Form2 form;
    designControl<QLineEdit>(form, "Text10")->setText(QString::fromLocal8Bit(argv[1]));
    designControl<QLineEdit>(form, "Text11")->setText(QString::fromLocal8Bit(argv[2]));
    designControl<QLineEdit>(form, "Text12")->setText(QString::fromLocal8Bit(argv[3]));

    QElapsedTimer clock;
    clock.start();
    searchServer(form);
    const qint64 ms = clock.elapsed();

    qint64 bytes = 0;
    const QDir data(qv::programPath(QStringLiteral("data")));
    for (const QFileInfo& file : data.entryInfoList(QDir::Files))
        bytes += file.size();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("search_ms=%lld files=%d bytes=%lld peak_kb=%ld\n", static_cast<long long>(ms),
                designControl<ListView>(form, "ListView1")->itemCount(),
                static_cast<long long>(bytes), usage.ru_maxrss);
    return designControl<ListView>(form, "ListView1")->itemCount() > 0 ? 0 : 1;
}
