// The conversion of a Word 97-2003 template by LibreOffice: the program's events go on while it
// runs, and a conversion that hangs is stopped with a clear message.
#include "output/legacyconvert.h"
#include "platform/services.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

class LegacyConvertTest : public QObject {
    Q_OBJECT
private slots:
    void hangingConversionIsStoppedWhileEventsGoOn();
};

void LegacyConvertTest::hangingConversionIsStoppedWhileEventsGoOn() {
    QTemporaryDir dir;
    const QString program = dir.filePath("soffice");
    {
        QFile stand(program);
        QVERIFY(stand.open(QIODevice::WriteOnly));
        stand.write("#!/bin/sh\nexec sleep 30\n");
    }
    QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    const qv::ScopedServices office([&](qv::Services& s) { s.libreOfficeProgram = program; });
    int ticks = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] { ++ticks; });
    tick.start(20);

    QElapsedTimer clock;
    clock.start();
    qv::ooxml::Package package;
    QString error;
    const bool ok = qv::output::convertToDocx(dir.filePath("ABC.dot"), &package, &error, 500);

    QVERIFY(!ok);
    QVERIFY2(error.contains("did not finish"), qPrintable(error));
    QVERIFY2(clock.elapsed() < 10000, "the hanging conversion was waited out");
    QVERIFY2(ticks >= 5, "no events were handled while the conversion ran");
}

QTEST_GUILESS_MAIN(LegacyConvertTest)
#include "tst_legacyconvert.moc"
