#include "output/writercheck.h"
#include "platform/services.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace qv;

// The advice before the new document opens, for handlers set up in a temporary folder: a
// LibreOffice with or without Base behind a link, as Debian installs it.
class WriterCheckTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    QString office(const QString& name, bool base) {
        const QString program = dir_.filePath(name + QStringLiteral("/program"));
        QDir().mkpath(program);
        QFile soffice(program + QStringLiteral("/soffice"));
        soffice.open(QIODevice::WriteOnly);
        soffice.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (base)
            QFile(program + QStringLiteral("/libdbaxmllo.so")).open(QIODevice::WriteOnly);
        const QString link = dir_.filePath(name + QStringLiteral("-bin-libreoffice"));
        QFile::link(program + QStringLiteral("/soffice"), link);
        return link;
    }

private slots:
    void advice_data() {
        QTest::addColumn<QString>("id");
        QTest::addColumn<QStringList>("command");
        QTest::addColumn<QString>("says"); // empty: no advice
        const QString with = office(QStringLiteral("with"), true);
        const QString without = office(QStringLiteral("without"), false);
        QTest::newRow("no handler") << QString() << QStringList() << QString();
        QTest::newRow("LibreOffice with Base")
            << "libreoffice-writer.desktop" << QStringList{with, "--writer"} << QString();
        QTest::newRow("LibreOffice without Base")
            << "libreoffice-writer.desktop" << QStringList{without, "--writer"}
            << "install the package \"libreoffice-base\"";
        QTest::newRow("through env")
            << "writer.desktop" << QStringList{"env", "SAL_USE_VCLPLUGIN=gen", without}
            << "libreoffice-base";
        QTest::newRow("sandboxed LibreOffice")
            << "org.libreoffice.LibreOffice.writer.desktop"
            << QStringList{"/usr/bin/flatpak", "run", "org.libreoffice.LibreOffice", "--writer"}
            << QString();
        QTest::newRow("another program")
            << "abiword.desktop" << QStringList{"abiword"} << "opens in \"AbiWord\"";
    }
    void advice() {
        QFETCH(QString, id);
        QFETCH(QStringList, command);
        QFETCH(QString, says);
        const QString advice = output::writerAdvice(
            {id, id == QLatin1String("abiword.desktop") ? QStringLiteral("AbiWord") : QString(),
             command});
        if (says.isEmpty())
            QCOMPARE(advice, QString());
        else
            QVERIFY2(advice.contains(says, Qt::CaseInsensitive), qPrintable(advice));
    }

    // The check asks the desktop about .odt documents.
    void asksForOdt() {
        QStringList asked;
        const ScopedServices s([&asked](Services& services) {
            services.desktopHandler = [&asked](const QString& type) {
                asked << type;
                return DesktopHandler{};
            };
        });
        QCOMPARE(output::newDocumentAdvice(), QString());
        QCOMPARE(asked, QStringList{"application/vnd.oasis.opendocument.text"});
    }
};

QTEST_GUILESS_MAIN(WriterCheckTest)
#include "tst_writercheck.moc"
