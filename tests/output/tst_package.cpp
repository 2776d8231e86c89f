#include "output/internal/docxparts.h"
#include "output/ooxmlpackage.h"
#include "pyreader.h"

#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/resource.h>

using namespace qv;

namespace {

// Writes a zip file of parts ("word/part1.xml", ...) that each unpack to the given number of MiB
// of zeros from a few KiB: one fully flushed deflate block of 1 MiB of zeros, repeated.
const char* kWriteBomb = R"(
import sys, zlib, struct, json
path, mib, count = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
zeros = bytes(1 << 20)
c = zlib.compressobj(9, zlib.DEFLATED, -15)
block = c.compress(zeros) + c.flush(zlib.Z_FULL_FLUSH)
data = block * mib + c.flush(zlib.Z_FINISH)
crc = 0
for i in range(mib):
    crc = zlib.crc32(zeros, crc)
size = mib << 20
out, central = b'', b''
for n in range(1, count + 1):
    name = b'word/part%d.xml' % n
    fields = (8, 0, 0x21, crc, len(data), size, len(name), 0)
    central += struct.pack('<IHHH' + 'HHHIIIHH' + 'HHHII', 0x02014b50, 20, 20, 0, *fields,
                           0, 0, 0, 0, len(out)) + name
    out += struct.pack('<IHH' + 'HHHIIIHH', 0x04034b50, 20, 0, *fields) + name + data
end = struct.pack('<IHHHHIIH', 0x06054b50, 0, 0, count, count, len(central), len(out), 0)
with open(path, 'wb') as f:
    f.write(out + central + end)
print(json.dumps({'bytes': len(out) + len(central) + len(end)}))
)";

// The highest resident memory of the process so far, in KiB.
long peakKiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

} // namespace

class PackageTest : public QObject {
    Q_OBJECT
private slots:
    // A part that unpacks to far more than a document holds is refused before it is unpacked,
    // with a message, and without the memory it would take. First, while the process is small.
    void refusesBombs_data() {
        QTest::addColumn<int>("mib");
        QTest::addColumn<int>("parts");
        QTest::addColumn<QString>("message");
        QTest::newRow("1 GiB part") << 1024 << 1 << "larger than the 256 MB";
        QTest::newRow("64 MiB at 1000 to 1") << 64 << 1 << "times its packed size";
        QTest::newRow("70 parts of 8 MiB") << 8 << 70 << "more than the 512 MB";
    }
    void refusesBombs() {
        QFETCH(int, mib);
        QFETCH(int, parts);
        QFETCH(QString, message);
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("ABC.dot"));
        const QJsonObject written =
            test::runPython(QString::fromLatin1(kWriteBomb),
                            {path, QString::number(mib), QString::number(parts)})
                .object();
        QVERIFY(written[QStringLiteral("bytes")].toInt() < parts * (mib << 20) / 500);
        const long before = peakKiB();
        ooxml::Package package;
        QString error;
        QVERIFY(!package.read(path, &error));
        QVERIFY2(error.contains(message) && error.contains(QLatin1String("word/part")),
                 qPrintable(error));
        QVERIFY(package.partNames().isEmpty());
        QVERIFY2(peakKiB() - before < 32 * 1024,
                 qPrintable(QStringLiteral("peak grew by %1 KiB").arg(peakKiB() - before)));
    }

    // Ordinary parts, large and small, are read as they are.
    void readsOrdinaryParts() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.docx"));
        QByteArray text;
        for (int i = 0; text.size() < (3 << 20); ++i)
            text += "<w:p><w:r><w:t>Line " + QByteArray::number(i) + "</w:t></w:r></w:p>";
        ooxml::Package written;
        written.setPart(QStringLiteral("word/document.xml"), text);
        written.setPart(QStringLiteral("word/empty.xml"), QByteArray());
        QString error;
        QVERIFY2(written.write(path, &error), qPrintable(error));
        ooxml::Package read;
        QVERIFY2(read.read(path, &error), qPrintable(error));
        QCOMPARE(read.part(QStringLiteral("word/document.xml")), text);
        QVERIFY(read.contains(QStringLiteral("word/empty.xml")));
    }

    // A part held in a file (a merged document too large for memory): its copies share the
    // file, the zip file holds its bytes, and a part set again in memory replaces it.
    void partInAFile() {
        QTemporaryDir dir;
        auto file = std::make_shared<QFile>(dir.filePath(QStringLiteral("spool.xml")));
        QVERIFY(file->open(QIODevice::WriteOnly));
        const QByteArray text = QByteArray("<w:p/>").repeated(200000);
        QCOMPARE(file->write(text), text.size());
        file->close();
        ooxml::Package package;
        package.setPart(QStringLiteral("[Content_Types].xml"), "<Types/>");
        package.setPartFile(QStringLiteral("word/document.xml"), file);
        const ooxml::Package copy = package;
        QCOMPARE(copy.part(QStringLiteral("word/document.xml")), text);
        QString error;
        const QString path = dir.filePath(QStringLiteral("a.docx"));
        QVERIFY2(copy.write(path, &error), qPrintable(error));
        ooxml::Package read;
        QVERIFY2(read.read(path, &error), qPrintable(error));
        QCOMPARE(read.partNames(), (QStringList{"[Content_Types].xml", "word/document.xml"}));
        QCOMPARE(read.part(QStringLiteral("word/document.xml")), text);
        package.setPart(QStringLiteral("word/document.xml"), "<small/>");
        QCOMPARE(package.part(QStringLiteral("word/document.xml")), QByteArray("<small/>"));
        QCOMPARE(copy.part(QStringLiteral("word/document.xml")), text);
    }

    // Entries whose names could point outside the package are not taken into it.
    void unsafeNamesAreNotCopied() {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("a.dotx"));
        ooxml::Package written;
        const QStringList safe{"[Content_Types].xml", "word/document.xml", "word/a..b.xml"};
        const QStringList unsafe{"../evil.xml", "word/../../evil.xml", "/etc/evil.xml",
                                 "C:/evil.xml", "word\\..\\evil.xml",  "word/./a.xml",
                                 "word//a.xml"};
        for (const QString& name : safe + unsafe)
            written.setPart(name, "x");
        QString error;
        QVERIFY2(written.write(path, &error), qPrintable(error));
        ooxml::Package read;
        QVERIFY2(read.read(path, &error), qPrintable(error));
        QCOMPARE(read.partNames(), safe);
    }

    // Relationship targets never climb above the package's root.
    void relationshipTargets_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("part");
        QTest::newRow("beside") << "word/"
                                << "header1.xml"
                                << "word/header1.xml";
        QTest::newRow("up one") << "word/"
                                << "../media/a.png"
                                << "media/a.png";
        QTest::newRow("absolute") << "word/"
                                  << "/word/x.xml"
                                  << "word/x.xml";
        QTest::newRow("absolute, then up") << "word/"
                                           << "/../word/x.xml"
                                           << "word/x.xml";
        QTest::newRow("above the root") << "word/"
                                        << "../../../x.xml"
                                        << "x.xml";
        QTest::newRow("from the root") << ""
                                       << "../word/x.xml"
                                       << "word/x.xml";
    }
    void relationshipTargets() {
        QFETCH(QString, folder);
        QFETCH(QString, target);
        QFETCH(QString, part);
        QCOMPARE(docx::resolveTarget(folder, target), part);
    }
};

QTEST_GUILESS_MAIN(PackageTest)
#include "tst_package.moc"
