// A text box for a text that may not fit: cut in the middle where the operator sees it, whole in
// its tooltip and its text.
#include "ui/elidingtextbox.h"

#include <QtTest>

class ElidingTextBoxTest : public QObject {
    Q_OBJECT
private slots:
    void longTextIsElidedInTheMiddle_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("fits");
        QTest::newRow("short") << QStringLiteral("Path: /data/A.LET") << true;
        QTest::newRow("long path")
            << QStringLiteral("Path: /home/operator/.local/share/quorvane/some/deep/folder/data/"
                              "ACCOUNTS-OF-THE-NORTHERN-REGION.LET")
            << false;
        QTest::newRow("empty") << QString() << true;
    }
    void longTextIsElidedInTheMiddle() {
        QFETCH(QString, text);
        QFETCH(bool, fits);
        qv::ElidingTextBox box;
        box.resize(259, 24);
        box.setText(text);
        QCOMPARE(box.text(), text);
        if (fits) {
            QCOMPARE(box.shownText(), text);
            QCOMPARE(box.toolTip(), QString());
            return;
        }
        const QString shown = box.shownText();
        QVERIFY(shown.contains(QChar(0x2026)));
        // Both ends stay: the start of the path and the file's name.
        QVERIFY(shown.startsWith(QStringLiteral("Path: /")));
        QVERIFY(text.endsWith(shown.mid(shown.indexOf(QChar(0x2026)) + 1)));
        QCOMPARE(box.toolTip(), text);
    }

    // Made wide enough, the whole text shows again and the tooltip goes.
    void widerBoxShowsTheWholeText() {
        qv::ElidingTextBox box;
        box.show();
        box.resize(60, 24);
        box.setText(QStringLiteral("Path: /tmp/quorvane/data/ABC.LET"));
        QVERIFY(!box.toolTip().isEmpty());
        box.resize(2000, 24);
        QCOMPARE(box.shownText(), box.text());
        QCOMPARE(box.toolTip(), QString());
    }
};

QTEST_MAIN(ElidingTextBoxTest)
#include "tst_elidingtextbox.moc"
