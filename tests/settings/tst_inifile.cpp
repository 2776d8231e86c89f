#include "settings/inifile.h"
#include "tests/support/tempprogramfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <sys/stat.h>

using qv::test::TempProgramFolder;

namespace {
const QString kIni = QStringLiteral("auto.ini");
const QString kDefault = QStringLiteral("Default");

// The permission bits of the file (links followed), in octal.
QString modeOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return QStringLiteral("none");
    return QString::number(st.st_mode & 07777, 8);
}

bool setMode(const QString& path, const QString& octal) {
    return ::chmod(QFile::encodeName(path).constData(), mode_t(octal.toInt(nullptr, 8))) == 0;
}

// One INIwrite on an existing file.
struct Write {
    QString section, key, value;
};
} // namespace

Q_DECLARE_METATYPE(QList<Write>)

class IniFileTest : public QObject {
    Q_OBJECT
private slots:
    void readWithoutFileCreatesAnEmptyOne() {
        TempProgramFolder folder;
        bool ok = false;
        QCOMPARE(qv::INIread(folder.filePath(kIni), kDefault, QStringLiteral("Ipaddress"), &ok),
                 QString());
        QVERIFY(ok);
        QVERIFY(QFileInfo::exists(folder.filePath(kIni)));
        QCOMPARE(QFileInfo(folder.filePath(kIni)).size(), 0);
    }

    void read_data() {
        QTest::addColumn<QByteArray>("file");
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("expected");

        const QByteArray saved = "[Default]\r\nPassword=pw\r\nLogin=root\r\nIpaddress=10.1.2.3\r\n";
        const QByteArray hiding = "[Default]\r\nPassword=a[b\r\nLogin=root\r\n";
        struct Case {
            const char* name;
            QByteArray file;
            QString section;
            QString key;
            QString expected;
        };
        const Case cases[] = {
            {"plain", saved, "Default", "Ipaddress", "10.1.2.3"},
            {"other key", saved, "Default", "Login", "root"},
            {"names ignore case", "[DEFAULT]\r\nIPADDRESS=x\r\n", "default", "ipaddress", "x"},
            {"value keeps case and spaces", "[Default]\r\nLogin= Root  \r\n", "Default", "Login",
             " Root  "},
            {"missing key", saved, "Default", "Port", ""},
            {"missing section", saved, "Other", "Login", ""},
            {"spaces around =", "[Default]\r\nLogin = root\r\n", "Default", "Login", ""},
            {"indented key", "[Default]\r\n Login=root\r\n", "Default", "Login", ""},
            {"header with trailing spaces", "[Default]  \r\nLogin=root\r\n", "Default", "Login",
             ""},
            {"key in another section", "[Other]\r\nLogin=a\r\n[Default]\r\nPassword=b\r\n",
             "Default", "Login", ""},
            {"first entry wins", "[Default]\r\nLogin=a\r\nLogin=b\r\n", "Default", "Login", "a"},
            {"section repeated", "[Default]\r\nA=1\r\n[X]\r\nB=2\r\n[default]\r\nB=3\r\n",
             "Default", "B", "3"},
            {"value with [ hides itself", hiding, "Default", "Password", ""},
            {"value with [ hides the lines after it", hiding, "Default", "Login", ""},
            {"lone CR ends a line", "[Default]\rLogin=root\rX=1", "Default", "Login", "root"},
            {"lone LF ends a line (a text editor's file)", "[Default]\nLogin=root\r\n", "Default",
             "Login", "root"},
            {"LF inside a value ends it", "[Default]\r\nLogin=ro\not\r\n", "Default", "Login",
             "ro"},
            {"last line without line end", "[Default]\r\nLogin=root", "Default", "Login", "root"},
            {"empty value", "[Default]\r\nLogin=\r\n", "Default", "Login", ""},
            {"code page byte", "[Default]\r\nLogin=J\xF6rg\r\n", "Default", "Login",
             QStringLiteral("J\u00F6rg")},
            {"accented key ignores case",
             "[D\xC9"
             "FAUT]\r\nCL\xC9=v\r\n",
             QStringLiteral("d\u00E9faut"), QStringLiteral("cl\u00E9"), "v"},
        };
        for (const Case& c : cases)
            QTest::newRow(c.name) << c.file << c.section << c.key << c.expected;
    }

    void read() {
        QFETCH(QByteArray, file);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, expected);
        TempProgramFolder folder;
        folder.write(kIni, file);
        QCOMPARE(qv::INIread(folder.filePath(kIni), section, key), expected);
        QCOMPARE(folder.read(kIni), file); // reading never changes the file
    }

    void write_data() {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QList<Write>>("writes");
        QTest::addColumn<QByteArray>("after");

        const auto save = [](const QString& a, const QString& l, const QString& p) {
            return QList<Write>{
                {"Default", "Ipaddress", a}, {"Default", "Login", l}, {"Default", "Password", p}};
        };

        QTest::newRow("first save into an empty file")
            << QByteArray() << save("A", "L", "P")
            << QByteArray("[Default]\r\nPassword=P\r\nLogin=L\r\nIpaddress=A\r\n");
        QTest::newRow("second save replaces in place")
            << QByteArray("[Default]\r\nPassword=P\r\nLogin=L\r\nIpaddress=A\r\n")
            << save("10.0.0.1", "root", "s3cret")
            << QByteArray("[Default]\r\nPassword=s3cret\r\nLogin=root\r\nIpaddress=10.0.0.1\r\n");
        QTest::newRow("names ignore case; key written as given")
            << QByteArray("[DEFAULT]\r\nIPADDRESS=x\r\n")
            << QList<Write>{{"Default", "Ipaddress", "y"}}
            << QByteArray("[DEFAULT]\r\nIpaddress=y\r\n");
        QTest::newRow("spaces around = : new line on top, old stays")
            << QByteArray("[Default]\r\nLogin = root\r\n")
            << QList<Write>{{"Default", "Login", "admin"}}
            << QByteArray("[Default]\r\nLogin=admin\r\nLogin = root\r\n");
        QTest::newRow("indented key: new entry on top")
            << QByteArray("[Default]\r\n Login=root\r\n")
            << QList<Write>{{"Default", "Login", "admin"}}
            << QByteArray("[Default]\r\nLogin=admin\r\n Login=root\r\n");
        QTest::newRow("header with trailing spaces: fresh section appended")
            << QByteArray("[Default] \r\nLogin=root\r\n")
            << QList<Write>{{"Default", "Login", "admin"}}
            << QByteArray("[Default] \r\nLogin=root\r\n\r\n\r\n[Default]\r\nLogin=admin\r\n");
        QTest::newRow("new section after a file without final line end")
            << QByteArray("[Other]\r\nA=1") << QList<Write>{{"Default", "Login", "x"}}
            << QByteArray("[Other]\r\nA=1\r\n\r\n[Default]\r\nLogin=x\r\n");
        QTest::newRow("blank lines and control characters at both ends go")
            << QByteArray("\r\n\t\r\n[Default]\r\nLogin=a\r\n\r\n\x01\r\n")
            << QList<Write>{{"Default", "Login", "b"}} << QByteArray("[Default]\r\nLogin=b\r\n");
        QTest::newRow("key on the last line without line end")
            << QByteArray("[Default]\r\nLogin=a\r\nPassword=old")
            << QList<Write>{{"Default", "Password", "new"}}
            << QByteArray("[Default]\r\nLogin=a\r\nPassword=new\r\n");
        QTest::newRow("other sections stay")
            << QByteArray("[A]\r\nLogin=1\r\n[Default]\r\nLogin=2\r\n[B]\r\nLogin=3\r\n")
            << QList<Write>{{"Default", "Login", "x"}}
            << QByteArray("[A]\r\nLogin=1\r\n[Default]\r\nLogin=x\r\n[B]\r\nLogin=3\r\n");
        QTest::newRow("key only in the next section: added here")
            << QByteArray("[Default]\r\nA=1\r\n[B]\r\nLogin=3\r\n")
            << QList<Write>{{"Default", "Login", "x"}}
            << QByteArray("[Default]\r\nLogin=x\r\nA=1\r\n[B]\r\nLogin=3\r\n");
        QTest::newRow("section named in the first line")
            << QByteArray("[default]\r\nlogin=a\r\n") << QList<Write>{{"Default", "Login", "b"}}
            << QByteArray("[default]\r\nLogin=b\r\n");
        QTest::newRow("value with [ : next save adds the keys after it")
            << QByteArray("[Default]\r\nPassword=a[b\r\nLogin=root\r\nIpaddress=1.2.3.4\r\n")
            << save("1.2.3.4", "root", "a[b")
            << QByteArray("[Default]\r\nLogin=root\r\nIpaddress=1.2.3.4\r\nPassword=a[b\r\n"
                          "Login=root\r\nIpaddress=1.2.3.4\r\n");
        QTest::newRow("value keeps its text and case")
            << QByteArray() << QList<Write>{{"Default", "Password", " Pa ss=Wörd "}}
            << QByteArray("[Default]\r\nPassword= Pa ss=W\xF6rd \r\n");
        QTest::newRow("the sentinel never reaches the file")
            << QByteArray("[]\r\n") << QList<Write>{{"Default", "Login", "x"}}
            << QByteArray("[]\r\n\r\n\r\n[Default]\r\nLogin=x\r\n");
    }

    void write() {
        QFETCH(QByteArray, before);
        QFETCH(QList<Write>, writes);
        QFETCH(QByteArray, after);
        TempProgramFolder folder;
        folder.write(kIni, before);
        for (const Write& w : writes) {
            QString error;
            QVERIFY2(qv::INIwrite(folder.filePath(kIni), w.section, w.key, w.value, &error),
                     qPrintable(error));
        }
        QCOMPARE(folder.read(kIni), after);
    }

    void writtenValuesAreReadBack() {
        TempProgramFolder folder;
        const QString path = folder.filePath(kIni);
        QVERIFY(
            qv::INIwrite(path, kDefault, QStringLiteral("Ipaddress"), QStringLiteral("1.2.3.4")));
        QVERIFY(qv::INIwrite(path, kDefault, QStringLiteral("Login"), QStringLiteral("root")));
        QVERIFY(qv::INIwrite(path, kDefault, QStringLiteral("Password"), QStringLiteral("x=y")));
        QCOMPARE(qv::INIread(path, kDefault, QStringLiteral("Ipaddress")),
                 QStringLiteral("1.2.3.4"));
        QCOMPARE(qv::INIread(path, kDefault, QStringLiteral("login")), QStringLiteral("root"));
        QCOMPARE(qv::INIread(path, kDefault, QStringLiteral("Password")), QStringLiteral("x=y"));
    }

    // The old dialect stopped at 32,767 characters; files up to the limit of 64 KB work here
    // (a larger one is refused: tst_settingslimits).
    void largeFilesAreHandledWhole() {
        TempProgramFolder folder;
        QByteArray big = "[Notes]\r\n";
        for (int i = 0; i < 1500; ++i)
            big += "Line" + QByteArray::number(i) + "=" + QByteArray(20, 'x') + "\r\n";
        big += "[Default]\r\nLogin=old\r\n";
        QVERIFY(big.size() > 40000 && big.size() < 64 * 1024);
        folder.write(kIni, big);
        const QString path = folder.filePath(kIni);
        QCOMPARE(qv::INIread(path, kDefault, QStringLiteral("Login")), QStringLiteral("old"));
        QVERIFY(qv::INIwrite(path, kDefault, QStringLiteral("Login"), QStringLiteral("new")));
        QByteArray expected = big;
        expected.replace("Login=old", "Login=new");
        QCOMPARE(folder.read(kIni), expected);
        QVERIFY(qv::INIwrite(path, kDefault, QStringLiteral("Password"), QStringLiteral("p")));
        QCOMPARE(qv::INIread(path, kDefault, QStringLiteral("Password")), QStringLiteral("p"));
        QCOMPARE(qv::INIread(path, QStringLiteral("Notes"), QStringLiteral("Line1499")),
                 QString(20, QLatin1Char('x')));
    }

    // The file holds the password in plain text: it is made and rewritten for its owner only;
    // reading leaves an existing file's mode alone.
    void ownerOnly_data() {
        QTest::addColumn<QString>("before"); // mode of an existing file; empty: no file
        QTest::addColumn<bool>("write");     // INIwrite, else INIread
        QTest::addColumn<QString>("after");
        QTest::newRow("read creates") << "" << false << "600";
        QTest::newRow("write creates") << "" << true << "600";
        QTest::newRow("rewrite tightens 0644") << "644" << true << "600";
        QTest::newRow("rewrite tightens 0666") << "666" << true << "600";
        QTest::newRow("read leaves 0644") << "644" << false << "644";
    }
    void ownerOnly() {
        QFETCH(QString, before);
        QFETCH(bool, write);
        QFETCH(QString, after);
        TempProgramFolder folder;
        const QString path = folder.filePath(kIni);
        if (!before.isEmpty()) {
            folder.write(kIni, "[Default]\r\nLogin=a\r\n");
            QVERIFY(setMode(path, before));
        }
        QString error;
        if (write)
            QVERIFY2(
                qv::INIwrite(path, kDefault, QStringLiteral("Login"), QStringLiteral("b"), &error),
                qPrintable(error));
        else
            qv::INIread(path, kDefault, QStringLiteral("Login"));
        QCOMPARE(modeOf(path), after);
    }

    // A settings file that is protected is left as it is, its permissions included, and the
    // caller learns why; reading it still works.
    void protectedFileIsLeftAsItIs_data() {
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("mode"); // of the file that holds the settings
        QTest::addColumn<QString>("reason");
        QTest::newRow("read-only file") << "file"
                                        << "444"
                                        << "Permission denied";
        QTest::newRow("owner may only read") << "file"
                                             << "400"
                                             << "Permission denied";
        QTest::newRow("link to a read-only file elsewhere") << "link"
                                                            << "444"
                                                            << "outside";
        QTest::newRow("link to a writable file elsewhere") << "link"
                                                           << "644"
                                                           << "outside";
    }
    void protectedFileIsLeftAsItIs() {
        QFETCH(QString, setup);
        QFETCH(QString, mode);
        QFETCH(QString, reason);
        TempProgramFolder folder;
        QTemporaryDir elsewhere;
        const QString path = folder.filePath(kIni);
        const QString target =
            setup == QLatin1String("link") ? elsewhere.filePath(QStringLiteral("other.ini")) : path;
        const QByteArray contents = "[Default]\r\nLogin=a\r\n";
        QFile file(target);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(contents) == contents.size());
        file.close();
        QVERIFY(setMode(target, mode));
        if (target != path)
            QVERIFY(QFile::link(target, path));

        QString error;
        QVERIFY(!qv::INIwrite(path, kDefault, QStringLiteral("Password"), QStringLiteral("pw"),
                              &error));
        QVERIFY2(error.contains(reason), qPrintable(error));
        QCOMPARE(modeOf(target), mode);
        QCOMPARE(QFileInfo(path).isSymLink(), target != path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), contents);
        file.close();
        QCOMPARE(qv::INIread(path, kDefault, QStringLiteral("Login")), QStringLiteral("a"));
        QCOMPARE(modeOf(target), mode);
    }

    // A link to a file within the program folder is written through and stays a link.
    void linkWithinTheFolderIsWrittenThrough() {
        TempProgramFolder folder;
        folder.write(QStringLiteral("settings/real.ini"), "[Default]\r\nLogin=a\r\n");
        const QString real = folder.filePath(QStringLiteral("settings/real.ini"));
        QVERIFY(QFile::link(QStringLiteral("settings/real.ini"), folder.filePath(kIni)));
        QString error;
        QVERIFY2(qv::INIwrite(folder.filePath(kIni), kDefault, QStringLiteral("Login"),
                              QStringLiteral("b"), &error),
                 qPrintable(error));
        QVERIFY(QFileInfo(folder.filePath(kIni)).isSymLink());
        QCOMPARE(folder.read(QStringLiteral("settings/real.ini")),
                 QByteArray("[Default]\r\nLogin=b\r\n"));
        QCOMPARE(modeOf(real), QStringLiteral("600"));
    }

    void failuresAreReportedAndLoseNothing() {
        TempProgramFolder folder;
        // A folder where the file should be: it can be neither read nor written.
        QVERIFY(QDir(folder.path()).mkdir(kIni));
        const QString path = folder.filePath(kIni);
        QString error;
        QVERIFY(
            !qv::INIwrite(path, kDefault, QStringLiteral("Login"), QStringLiteral("x"), &error));
        QVERIFY(!error.isEmpty());
        bool ok = true;
        QCOMPARE(qv::INIread(path, kDefault, QStringLiteral("Login"), &ok), QString());
        QVERIFY(!ok);

        // A file in a folder that does not exist cannot be created.
        const QString missing = folder.filePath(QStringLiteral("no/such/folder/auto.ini"));
        QVERIFY(!qv::INIwrite(missing, kDefault, QStringLiteral("Login"), QStringLiteral("x")));
        QVERIFY(!QFileInfo::exists(missing));
    }
};

QTEST_GUILESS_MAIN(IniFileTest)
#include "tst_inifile.moc"
