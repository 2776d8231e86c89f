// Files whose merge file names are the same ("X" for X.LET, X.LET.LET and X.LETTER.LET): each
// entry's caption names one file (the name as stored where the short one is shared), and every
// action on an entry works on the file that entry was downloaded as.

#include "searchfixture.h"

#include "app/actions/browser.h"
#include "app/actions/exports.h"
#include "app/actions/hoverdetails.h"
#include "app/actions/search.h"
#include "output/recordingautomation.h"
#include "tests/support/designcontrol.h"

#include <QAbstractItemModel>
#include <QTest>

using qv::test::designControl;

class TestLookalikes : public QObject {
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void selectionShowsTheEntrysOwnFile_data();
    void selectionShowsTheEntrysOwnFile();
    void mergeAttachesTheEntrysOwnFile();
    void deleteRemovesTheEntrysOwnFile();

private:
    std::unique_ptr<SearchFixture> f;
    void select(const QString& stored);
    QString firstRecord() const;
    QPoint pointOver(int row) const;
};

void TestLookalikes::init() {
    f = std::make_unique<SearchFixture>();
}

void TestLookalikes::cleanup() {
    // "Create a New Document" makes the program folder the current one; it goes with the fixture.
    QDir::setCurrent(QDir::tempPath());
    f.reset();
}

// Selects the entry downloaded as stored, as a click on it does.
void TestLookalikes::select(const QString& stored) {
    for (int r = 0; r < designControl<ListView>(*f->form, "ListView1")->itemCount(); ++r)
        if (designControl<ListView>(*f->form, "ListView1")->subItem(r, 2) == stored)
            designControl<ListView>(*f->form, "ListView1")->setSelectedIndex(r);
    selectMergeFile(*f->form);
}

QString TestLookalikes::firstRecord() const {
    const QAbstractItemModel* model = designControl<ListView>(*f->form, "lw1")->model();
    if (!model || model->rowCount() == 0)
        return {};
    return model->data(model->index(0, 1)).toString();
}

// A point of the browser (pixels) over the given entry.
QPoint TestLookalikes::pointOver(int row) const {
    const ListView& list = *designControl<ListView>(*f->form, "ListView1");
    for (int y = 0; y < list.height(); y += 4)
        for (int x = 0; x < list.width(); x += 4)
            if (list.hitTest({x, y}) == row)
                return {x, y};
    return {-1, -1};
}

void TestLookalikes::selectionShowsTheEntrysOwnFile_data() {
    QTest::addColumn<QStringList>("onServer");
    QTest::addColumn<QString>("selected");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("caption");
    QTest::newRow("both, the longer") << QStringList{"X.LET", "X.LET.LET"} << "X.LET.LET"
                                      << "long"
                                      << "X.LET.LET";
    QTest::newRow("both, the shorter") << QStringList{"X.LET", "X.LET.LET"} << "X.LET"
                                       << "short"
                                       << "X";
    QTest::newRow("only the longer") << QStringList{"X.LET.LET"} << "X.LET.LET"
                                     << "long"
                                     << "X";
    QTest::newRow("three, the other longer")
        << QStringList{"X.LET", "X.LET.LET", "X.LETTER.LET"} << "X.LETTER.LET"
        << "long"
        << "X.LETTER.LET";
}

void TestLookalikes::selectionShowsTheEntrysOwnFile() {
    QFETCH(QStringList, onServer);
    QFETCH(QString, selected);
    QFETCH(QString, value);
    QFETCH(QString, caption);
    for (const QString& name : onServer)
        f->server.putFile(name, name == "X.LET" ? "N|V\n1|short\n" : "N|V\n1|long\n2|long\n");
    searchServer(*f->form);
    QCOMPARE(designControl<ListView>(*f->form, "ListView1")->itemCount(), onServer.size());

    select(selected);

    QCOMPARE(designControl<QLineEdit>(*f->form, "Text1")->text(), caption);
    QStringList captions;
    for (int r = 0; r < designControl<ListView>(*f->form, "ListView1")->itemCount(); ++r)
        captions << designControl<ListView>(*f->form, "ListView1")->itemText(r);
    QCOMPARE(QSet<QString>(captions.begin(), captions.end()).size(), captions.size());
    QVERIFY2(designControl<QLineEdit>(*f->form, "Text13")->text().endsWith("/data/" + selected),
             qPrintable(designControl<QLineEdit>(*f->form, "Text13")->text()));
    QCOMPARE(designControl<QLineEdit>(*f->form, "Text17")->text(),
             QString("Total Records: %1").arg(selected == "X.LET" ? 1 : 2));
    QVERIFY(!designControl<ListView>(*f->form, "lw1")->isHidden());
    QCOMPARE(firstRecord(), value);

    // The hover tip over the entry describes the same file.
    const QPoint at = pointOver(designControl<ListView>(*f->form, "ListView1")->selectedIndex());
    showMergeSummary(*f->form, Qt::NoButton, Qt::NoModifier, at.x() * 15.0, at.y() * 15.0);
    QVERIFY2(f->form->browser.filesTip().TipText().contains("/data/" + selected + "\r\n"),
             qPrintable(f->form->browser.filesTip().TipText()));
}

void TestLookalikes::mergeAttachesTheEntrysOwnFile() {
    f->server.putFile("X.LET", "N\n1\n");
    f->server.putFile("X.LET.LET", "N\n1\n2\n");
    searchServer(*f->form);
    select("X.LET.LET");
    qv::automation::RecordingFactory rec;

    createMergeDocument(*f->form);

    const QStringList open = rec.calls.filter("OpenDataSource");
    QCOMPARE(open.size(), 1);
    QVERIFY2(open.first().contains("/data/X.LET.LET"), qPrintable(open.first()));
}

void TestLookalikes::deleteRemovesTheEntrysOwnFile() {
    f->server.putFile("X.LET", "N\n1\n");
    f->server.putFile("X.LET.LET", "N\n1\n2\n");
    searchServer(*f->form);
    select("X.LET.LET");
    f->dialogs.confirmAnswers << true;

    deleteOnServer(*f->form);

    QCOMPARE(f->server.fileNames(), QStringList{"X.LET"});
    QCOMPARE(f->rows(), QStringList{"X|1|X.LET|1"});
}

QTEST_MAIN(TestLookalikes)
#include "tst_lookalikes.moc"
