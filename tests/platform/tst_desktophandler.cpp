#include "platform/desktophandler.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using namespace qv;

namespace {
const QString kOdt = QStringLiteral("application/vnd.oasis.opendocument.text");
}

// The freedesktop.org associations, laid out in a temporary home and system folder.
class DesktopHandlerTest : public QObject {
    Q_OBJECT
    QTemporaryDir dir_;

    void write(const QString& relative, const QByteArray& text) {
        const QString path = dir_.filePath(relative);
        QDir().mkpath(QFileInfo(path).path());
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(text);
    }

private slots:
    void init() {
        QVERIFY(dir_.isValid());
        QDir(dir_.path()).removeRecursively();
        QDir().mkpath(dir_.path());
        qputenv("XDG_CONFIG_HOME", dir_.filePath("config").toUtf8());
        qputenv("XDG_CONFIG_DIRS", dir_.filePath("etc").toUtf8());
        qputenv("XDG_DATA_HOME", dir_.filePath("local").toUtf8());
        qputenv("XDG_DATA_DIRS", dir_.filePath("usr").toUtf8());
        qputenv("XDG_CURRENT_DESKTOP", "Test");
        write("usr/applications/libreoffice-writer.desktop",
              "[Desktop Entry]\nName=LibreOffice Writer\nExec=libreoffice --writer %U\n"
              "[Desktop Action new]\nExec=libreoffice --writer --new\n");
        write("usr/applications/abiword.desktop",
              "[Desktop Entry]\nName=AbiWord\nExec=\"/opt/abi word/abiword\" %f\n");
        write("usr/applications/kde/calligra.desktop", "[Desktop Entry]\nName=Calligra\n");
        write("usr/applications/mimeinfo.cache",
              "[MIME Cache]\n" + kOdt.toUtf8() + "=missing.desktop;libreoffice-writer.desktop;\n");
    }

    void fromTheCache() {
        const DesktopHandler h = desktopHandler(kOdt);
        QCOMPARE(h.desktopId, QStringLiteral("libreoffice-writer.desktop"));
        QCOMPARE(h.name, QStringLiteral("LibreOffice Writer"));
        QCOMPARE(h.command, (QStringList{"libreoffice", "--writer"}));
        QCOMPARE(desktopHandler(QStringLiteral("text/x-nothing")).desktopId, QString());
    }

    void userDefaultFirst() {
        write("etc/mimeapps.list",
              "[Default Applications]\n" + kOdt.toUtf8() + "=libreoffice-writer.desktop\n");
        write("config/test-mimeapps.list",
              "[Default Applications]\n" + kOdt.toUtf8() + "=gone.desktop;abiword.desktop\n");
        const DesktopHandler h = desktopHandler(kOdt);
        QCOMPARE(h.desktopId, QStringLiteral("abiword.desktop"));
        QCOMPARE(h.command, QStringList{"/opt/abi word/abiword"});
    }

    void addedAndRemoved() {
        write("config/mimeapps.list",
              "[Removed Associations]\n" + kOdt.toUtf8() + "=libreoffice-writer.desktop\n");
        write("etc/mimeapps.list", "[Added Associations]\n" + kOdt.toUtf8() +
                                       "=libreoffice-writer.desktop;kde-calligra.desktop\n");
        QCOMPARE(desktopHandler(kOdt).desktopId, QStringLiteral("kde-calligra.desktop"));
        QCOMPARE(desktopHandler(kOdt).name, QStringLiteral("Calligra"));
    }
};

QTEST_GUILESS_MAIN(DesktopHandlerTest)
#include "tst_desktophandler.moc"
