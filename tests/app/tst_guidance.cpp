#include "app/form2.h"
#include "app/guidance.h"
#include "tests/support/designcontrol.h"
#include "ui/balloon.h"
#include "ui/listview.h"

#include "platform/services.h"
#include "platform/twips.h"
#include "tests/support/tempprogramfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using qv::test::designControl;
using namespace qv::guidance;
using qv::test::TempProgramFolder;

namespace {

QList<qv::BalloonWindow*> balloons(Form2& form) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return form.findChildren<qv::BalloonWindow*>();
}

// Fires a timer as its time running out would: through its timeout signal.
void fire(QTimer* timer) {
    QVERIFY(QMetaObject::invokeMethod(timer, "timeout"));
}

QRect screenRect(const QWidget* w) {
    return {w->mapToGlobal(QPoint(0, 0)), w->size()};
}

} // namespace

class GuidanceTest : public QObject {
    Q_OBJECT
private slots:
    void texts_data();
    void texts();
    void anchors();
    void loadArmsTheStartMessage();
    void searchOutcomes_data();
    void searchOutcomes();
    void searchStopsTheStartMessage();
    void selectionStopsTheSelectMessage();
    void firingShowsOneBalloon_data();
    void firingShowsOneBalloon();
    void noFilesBalloonStays();
    void balloonsStayUsableWhileTheWindowWorks();
    void startMessageOpensAndClosesByItself();
    void pictureForReview();
};

void GuidanceTest::texts_data() {
    QTest::addColumn<int>("message");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("delay");
    QTest::addColumn<int>("autoClose");
    QTest::addColumn<int>("timer");
    QTest::newRow("start") << int(Message::Start)
                           << "Click the SEARCH button to start search on the Norrevan server for "
                              "merge files. The Merge files will appear as Icons in the window to "
                              "the Left."
                           << 10000 << 4000 << 1;
    QTest::newRow("select") << int(Message::Select)
                            << "Click on any Icon to Select it. Blank Document Icons are merge "
                               "files with no Template. A Word Document Icon can be mailmerged "
                               "directly to an existing template"
                            << 5000 << 4000 << 2;
    QTest::newRow("settings") << int(Message::Settings)
                              << "Make sure that the IP Address, Login, and Password are correctly "
                                 "set up. You can change these settings below and run search "
                                 "again. If the problem persists contact your System "
                                 "Administrator."
                              << 1000 << 4000 << 3;
    QTest::newRow("no files") << int(Message::NoFiles)
                              << "The Norrevan server was detected by the Search program but no "
                                 "Merge files were present. Make sure that there are merge files "
                                 "created on the Norrevan Server.Then Click on search again."
                              << 1000 << 0 << 4;
}

void GuidanceTest::texts() {
    QFETCH(int, message);
    QFETCH(QString, text);
    QFETCH(int, delay);
    QFETCH(int, autoClose);
    QFETCH(int, timer);
    const auto m = Message(message);
    QCOMPARE(qv::guidance::text(m), text);
    QCOMPARE(delayMs(m), delay);
    QCOMPARE(autoCloseMs(m), autoClose);
    QCOMPARE(timerNumber(m), timer);
    QCOMPARE(title(), QString("Getting Started with Quorvane"));
}

void GuidanceTest::anchors() {
    const QRect r(497, 351, 305, 65); // left 497, top 351, bottom edge 416
    QCOMPARE(anchorTwips(Message::Start, r), QPoint(7455, 6240));
    QCOMPARE(anchorTwips(Message::Select, r), QPoint(7455 + 1000, 5265 + 1000));
    QCOMPARE(anchorTwips(Message::Settings, r), QPoint(7455, 5265));
    QCOMPARE(anchorTwips(Message::NoFiles, r), QPoint(7455, 5265));
    QCOMPARE(anchorTwips(Message::Settings, QRect(-10, -2, 5, 5)), QPoint(-150, -30));
}

void GuidanceTest::loadArmsTheStartMessage() {
    TempProgramFolder folder;
    Form2 form;
    QVERIFY(designControl<QTimer>(form, "Timer1")->isActive());
    QVERIFY(designControl<QTimer>(form, "Timer1")->isSingleShot());
    QCOMPARE(designControl<QTimer>(form, "Timer1")->interval(), 10000);
    for (QTimer* t : {designControl<QTimer>(form, "Timer2"), designControl<QTimer>(form, "Timer3"),
                      designControl<QTimer>(form, "Timer4")}) {
        QVERIFY(!t->isActive());
        QCOMPARE(t->interval(), 0);
    }
}

void GuidanceTest::searchOutcomes_data() {
    QTest::addColumn<int>("outcome");
    QTest::addColumn<int>("timer");
    QTest::addColumn<int>("delay");
    QTest::newRow("files downloaded") << int(SearchOutcome::FilesDownloaded) << 2 << 5000;
    QTest::newRow("message box") << int(SearchOutcome::MessageBox) << 3 << 1000;
    QTest::newRow("no files") << int(SearchOutcome::NoFiles) << 4 << 1000;
}

void GuidanceTest::searchOutcomes() {
    QFETCH(int, outcome);
    QFETCH(int, timer);
    QFETCH(int, delay);
    TempProgramFolder folder;
    Form2 form;
    stopGuidanceOnSearch(form);
    armGuidanceAfterSearch(form, SearchOutcome(outcome));
    const QList<QTimer*> timers = {
        designControl<QTimer>(form, "Timer1"), designControl<QTimer>(form, "Timer2"),
        designControl<QTimer>(form, "Timer3"), designControl<QTimer>(form, "Timer4")};
    for (int n = 1; n <= 4; ++n) {
        QCOMPARE(timers[n - 1]->isActive(), n == timer);
        QCOMPARE(timers[n - 1]->interval(), n == timer ? delay : 0);
    }
    // A failed search started within the first ten seconds: the start message still follows.
    Form2 early;
    armGuidanceAfterSearch(early, SearchOutcome::MessageBox);
    QVERIFY(designControl<QTimer>(early, "Timer1")->isActive());
    QVERIFY(designControl<QTimer>(early, "Timer3")->isActive());
}

void GuidanceTest::searchStopsTheStartMessage() {
    TempProgramFolder folder;
    Form2 form;
    stopGuidanceOnSearch(form);
    QVERIFY(!designControl<QTimer>(form, "Timer1")->isActive());
    QCOMPARE(designControl<QTimer>(form, "Timer1")->interval(), 0);
    QTest::qWait(20);
    QVERIFY(balloons(form).isEmpty());
}

void GuidanceTest::selectionStopsTheSelectMessage() {
    TempProgramFolder folder;
    Form2 form;
    armGuidanceAfterSearch(form, SearchOutcome::FilesDownloaded);
    QVERIFY(designControl<QTimer>(form, "Timer2")->isActive());
    stopGuidanceOnSelection(form);
    QVERIFY(!designControl<QTimer>(form, "Timer2")->isActive());
    QCOMPARE(designControl<QTimer>(form, "Timer2")->interval(), 0);
    QVERIFY(designControl<QTimer>(form, "Timer1")->isActive()); // only its own timer
}

void GuidanceTest::firingShowsOneBalloon_data() {
    QTest::addColumn<int>("message");
    QTest::newRow("start") << int(Message::Start);
    QTest::newRow("select") << int(Message::Select);
    QTest::newRow("settings") << int(Message::Settings);
    QTest::newRow("no files") << int(Message::NoFiles);
}

void GuidanceTest::firingShowsOneBalloon() {
    QFETCH(int, message);
    const auto m = Message(message);
    TempProgramFolder folder;
    Form2 form;
    form.move(40, 30);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    if (m != Message::Start)
        armGuidanceAfterSearch(form, m == Message::Select     ? SearchOutcome::FilesDownloaded
                                     : m == Message::Settings ? SearchOutcome::MessageBox
                                                              : SearchOutcome::NoFiles);
    QTimer* timer = guidanceTimer(form, m);
    fire(timer);
    QVERIFY(!timer->isActive());
    QCOMPARE(timer->interval(), 0);

    const auto tips = balloons(form);
    QCOMPARE(tips.size(), 1);
    qv::BalloonWindow* tip = tips.front();
    QVERIFY(tip->isVisible());
    QVERIFY(tip->isWindow());
    QCOMPARE(tip->parentWidget(), &form); // owned by the main window
    QCOMPARE(tip->titleText(), QString("Getting Started with Quorvane"));
    QCOMPARE(tip->bodyText(), qv::guidance::text(m));
    QCOMPARE(tip->currentIcon(), qv::balloon::Icon::Information);
    QVERIFY(designControl<QLabel>(*tip, "imgX")->isVisible());
    QCOMPARE(tip->size(), QSize(312, 108));
    QCOMPARE(tip->autoCloseAfter(), autoCloseMs(m));
    QCOMPARE(designControl<QLabel>(*tip, "lblTitle")->font().families().value(0),
             QString("Tahoma"));

    const QWidget* anchor = m == Message::Start      ? designControl<QWidget>(form, "Text15")
                            : m == Message::Select   ? designControl<QWidget>(form, "ListView1")
                            : m == Message::Settings ? designControl<QWidget>(form, "Text10")
                                                     : designControl<QWidget>(form, "Text44");
    const QRect r = screenRect(anchor);
    const QPoint expected = m == Message::Start ? QPoint(r.left(), r.top() + r.height())
                            : m == Message::Select
                                ? r.topLeft() + qv::twipsToPixels(QPoint(1000, 1000))
                                : r.topLeft();
    QCOMPARE(tip->pos(), expected);
    if (m == Message::Start)
        QVERIFY(!designControl<QLineEdit>(form, "Text15")
                     ->isVisible()); // a hidden control anchors the start message too
}

void GuidanceTest::noFilesBalloonStays() {
    TempProgramFolder folder;
    const qv::ScopedServices shortTimes(
        [](qv::Services& s) { s.balloonTimeBase = [](int ms) { return ms / 100; }; });
    Form2 form;
    form.show();
    for (int search = 0; search < 2; ++search) {
        armGuidanceAfterSearch(form, SearchOutcome::NoFiles);
        fire(designControl<QTimer>(form, "Timer4"));
    }
    auto tips = balloons(form);
    QCOMPARE(tips.size(), 2); // every showing is a balloon of its own
    QTest::qWait(100);        // far longer than any shortened auto-close
    tips = balloons(form);
    QCOMPARE(tips.size(), 2);
    for (qv::BalloonWindow* tip : tips) {
        QVERIFY(tip->isVisible());
        QVERIFY(!designControl<QTimer>(*tip, "timAutoClose")->isActive());
    }
    QTest::mouseClick(designControl<QLabel>(*tips[0], "imgX"), Qt::LeftButton, {},
                      QPoint(1, 1)); // until closed
    QCOMPARE(balloons(form).size(), 1);
}

// A search or an export disables the window; its balloons can still be clicked and dragged.
void GuidanceTest::balloonsStayUsableWhileTheWindowWorks() {
    TempProgramFolder folder;
    Form2 form;
    form.show();
    guidanceNoFiles(form);
    guidanceSettings(form);
    form.setEnabled(false); // as a search does
    auto tips = balloons(form);
    QCOMPARE(tips.size(), 2);
    for (qv::BalloonWindow* tip : tips)
        QVERIFY(tip->isEnabled());
    QTest::mouseClick(designControl<QLabel>(*tips[0], "imgX"), Qt::LeftButton, {}, QPoint(1, 1));
    QCOMPARE(balloons(form).size(), 1);
    form.setEnabled(true);
    QVERIFY(balloons(form).first()->isEnabled());
}

void GuidanceTest::startMessageOpensAndClosesByItself() {
    TempProgramFolder folder;
    const qv::ScopedServices shortDelays([](qv::Services& s) {
        s.guidanceTimeBase = [](int ms) { return ms / 100; }; // 10 s -> 100 ms
        s.balloonTimeBase = [](int ms) { return ms / 20; };   // 4 s -> 200 ms
    });
    Form2 form;
    form.show();
    QCOMPARE(designControl<QTimer>(form, "Timer1")->interval(), 100);
    QVERIFY(balloons(form).isEmpty());
    QTRY_COMPARE_WITH_TIMEOUT(balloons(form).size(), 1, 3000);
    QVERIFY(!designControl<QTimer>(form, "Timer1")->isActive());
    QTRY_COMPARE_WITH_TIMEOUT(balloons(form).size(), 0, 3000);
}

void GuidanceTest::pictureForReview() {
    TempProgramFolder folder;
    Form2 form;
    form.move(0, 0);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    fire(designControl<QTimer>(form, "Timer1"));
    armGuidanceAfterSearch(form, SearchOutcome::MessageBox);
    fire(designControl<QTimer>(form, "Timer3"));
    const auto tips = balloons(form);
    QCOMPARE(tips.size(), 2);

    // The window system of the tests draws no window outlines: compose the picture by hand,
    // each balloon clipped to its rounded outline.
    const QPoint origin = form.mapToGlobal(QPoint(0, 0));
    QRect canvas(QPoint(0, 0), form.size());
    for (qv::BalloonWindow* tip : tips)
        canvas |= QRect(tip->pos() - origin, tip->size());
    QImage image(canvas.size(), QImage::Format_ARGB32);
    image.fill(QColor(40, 40, 40));
    QPainter p(&image);
    p.translate(-canvas.topLeft());
    p.drawPixmap(0, 0, form.grab());
    for (qv::BalloonWindow* tip : tips) {
        const QPoint at = tip->pos() - origin;
        p.save();
        p.setClipRegion(tip->windowRegion().translated(at));
        p.drawPixmap(at, tip->grab());
        p.restore();
    }
    p.end();

    // The balloon's title band and border are where they belong.
    const QPoint at = tips[0]->pos() - origin - canvas.topLeft();
    QCOMPARE(image.pixelColor(at + QPoint(35, 10)).rgb() & 0xffffff, 0xF3F59Eu);
    QCOMPARE(image.pixelColor(at + QPoint(150, 0)), QColor(Qt::black));

    const QString path = qEnvironmentVariable("QV_BUILD_DIR", QDir::currentPath()) +
                         QStringLiteral("/guidance-balloon.png");
    QVERIFY(image.save(path));
    qInfo("Guidance balloons over the main window: %s", qPrintable(path));
}

QTEST_MAIN(GuidanceTest)
#include "tst_guidance.moc"
