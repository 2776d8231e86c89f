#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

namespace {

// Columns from the header, then the records, as the record loader does.
int load(MergeRecordModel& model, const QByteArray& text, qint64 recordsToLoad,
         QList<qint64>* steps = nullptr) {
    model.clear();
    const qsizetype h = text.indexOf('\n');
    if (h >= 0) {
        for (const QString& name : splitMergeLine(QString::fromLatin1(text.left(h))))
            model.addColumn(name);
    }
    model.setSourceText(text);
    return model.loadRecords(h, recordsToLoad, [&](qint64 i) {
        if (steps)
            steps->append(i);
    });
}

QStringList row(const MergeRecordModel& model, int r) {
    return model.rowValues(r);
}

} // namespace

class MergeRecordModelTest : public QObject {
    Q_OBJECT
private slots:
    void recordsBecomeRows_data() {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<qint64>("toLoad");
        QTest::addColumn<QStringList>("titles");
        QTest::addColumn<QStringList>("rows"); // values of each row joined by "/"
        QTest::newRow("two records")
            << QByteArray(" Name|Town\nAnn|Cork\nBob|Sligo\n") << qint64(10)
            << QStringList{" Name", "Town"} << QStringList{"Ann/Cork", "Bob/Sligo"};
        QTest::newRow("only as many as asked")
            << QByteArray(" Name|Town\nAnn|Cork\nBob|Sligo\nCy|Ennis\n") << qint64(2)
            << QStringList{" Name", "Town"} << QStringList{"Ann/Cork", "Bob/Sligo"};
        QTest::newRow("header only") << QByteArray(" Name|Town\n") << qint64(10)
                                     << QStringList{" Name", "Town"} << QStringList{};
        QTest::newRow("no line feed")
            << QByteArray(" Name|Town Ann|Cork") << qint64(10) << QStringList{} << QStringList{};
        QTest::newRow("last record without lf is not read")
            << QByteArray(" Name|Town\nAnn|Cork\nBob|Sligo") << qint64(10)
            << QStringList{" Name", "Town"} << QStringList{"Ann/Cork"};
        QTest::newRow("short record leaves cells empty")
            << QByteArray(" A|B|C\nx\ny|z\n") << qint64(10) << QStringList{" A", "B", "C"}
            << QStringList{"x//", "y/z/"};
        QTest::newRow("empty values")
            << QByteArray(" A|B|C\nAnn||Cork\n|\n") << qint64(10) << QStringList{" A", "B", "C"}
            << QStringList{"Ann//Cork", "//"};
        // An empty line used to end the loading; now it adds no row and loading goes on.
        QTest::newRow("empty line then more records")
            << QByteArray(" Name|Town\nAnn|Cork\n\nBob|Sligo\nCy|Ennis\n") << qint64(4)
            << QStringList{" Name", "Town"} << QStringList{"Ann/Cork", "Bob/Sligo", "Cy/Ennis"};
        // Extra values used to end the loading; now they get further untitled columns.
        QTest::newRow("more values than names")
            << QByteArray(" Name|Town\nAnn|Cork|IE|x\nBob|Sligo\n") << qint64(10)
            << QStringList{" Name", "Town", "", ""} << QStringList{"Ann/Cork/IE/x", "Bob/Sligo//"};
        QTest::newRow("code page")
            << QByteArray(" Caf\xe9\n\x80\n") << qint64(10) << QStringList{QString(" Caf\u00e9")}
            << QStringList{QString("\u20ac")};
    }
    void recordsBecomeRows() {
        QFETCH(QByteArray, text);
        QFETCH(qint64, toLoad);
        QFETCH(QStringList, titles);
        QFETCH(QStringList, rows);
        MergeRecordModel model;
        QAbstractItemModelTester tester(&model);
        load(model, text, toLoad);
        QCOMPARE(model.titles(), titles);
        QCOMPARE(model.columnCount(), titles.size());
        QStringList got;
        for (int r = 0; r < model.rowCount(); ++r)
            got << row(model, r).join('/');
        QCOMPARE(got, rows);
        for (int c = 0; c < titles.size(); ++c)
            QCOMPARE(model.headerData(c, Qt::Horizontal).toString(), titles[c]);
    }

    void everyStepIsReportedEvenBeyondTheRecords() {
        MergeRecordModel model;
        QList<qint64> steps;
        QCOMPARE(load(model, " A\n1\n2\n3\n", 10, &steps), 3);
        QCOMPARE(steps, (QList<qint64>{1, 2, 3, 4, 5, 6, 7, 8, 9, 10}));
    }

    void bulkLoadResetsViewsOnce() {
        MergeRecordModel model;
        model.addColumn(" A");
        model.setSourceText(" A\n1\n2\n3\n");
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        QSignalSpy inserts(&model, &QAbstractItemModel::rowsInserted);
        model.loadRecords(2, 10, [](qint64) {});
        QCOMPARE(resets.size(), 1);
        QCOMPARE(inserts.size(), 0);
        QCOMPARE(model.rowCount(), 3);
    }

    void rowsBuiltValueByValue() {
        MergeRecordModel model;
        QAbstractItemModelTester tester(&model);
        model.addColumn(" Name");
        model.addColumn("Town");
        QCOMPARE(model.addRow("Ann"), 0);
        QVERIFY(model.setSubItem(0, 1, "Cork|x"));
        QCOMPARE(model.addRow("Bob"), 1);
        QVERIFY(model.setSubItem(1, 1, "Sligo"));
        QVERIFY(!model.setSubItem(1, 2, "no column"));
        QVERIFY(!model.setSubItem(2, 1, "no row"));
        QVERIFY(model.setSubItem(0, 1, "Cork")); // an existing cell of an earlier row
        QCOMPARE(model.rowValues(0), QStringList({"Ann", "Cork"}));
        QCOMPARE(model.rowValues(1), QStringList({"Bob", "Sligo"}));
        QCOMPARE(model.data(model.index(1, 0), MergeRecordModel::IconIndexRole).toInt(), 3);
    }

    void valuesAddedAfterABulkLoad() {
        MergeRecordModel model;
        load(model, " A|B\n1|2\n", 10);
        QCOMPARE(model.addRow("x"), 1);
        QVERIFY(model.setSubItem(1, 1, "y"));
        QCOMPARE(model.rowValues(0), QStringList({"1", "2"}));
        QCOMPARE(model.rowValues(1), QStringList({"x", "y"}));
    }

    void clearRemovesRowsAndColumns() {
        MergeRecordModel model;
        load(model, " A|B\n1|2\n", 10);
        model.clear();
        QCOMPARE(model.rowCount(), 0);
        QCOMPARE(model.columnCount(), 0);
        QCOMPARE(model.text(0, 0), QString());
    }
};

QTEST_GUILESS_MAIN(MergeRecordModelTest)
#include "tst_mergerecordmodel.moc"
