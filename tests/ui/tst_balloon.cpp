#include "drawing/balloonicons.h"
#include "platform/services.h"
#include "ui/balloon.h"
#include "ui/balloondrag.h"

#include "tests/support/designcontrol.h"
#include "tests/support/tempprogramfolder.h"

#include <QLabel>
#include <QPointer>
#include <QTextEdit>
#include <QTimer>
#include <QtTest>

using qv::BalloonWindow;
using qv::test::designControl;

namespace {

// Sets a balloon up as the guidance does; returns the failure, if any.
std::optional<qv::BalloonFailure> setUp(BalloonWindow& tip, const QString& icon = "i",
                                        bool showClose = true, int autoClose = 0,
                                        const QString& text = "Body text", const QString& rtf = {},
                                        bool button = false) {
    qv::BalloonContent content;
    content.title = "Getting Started";
    content.body = text;
    content.atTwips = {1500, 3000};
    content.iconCode = icon;
    content.showClose = showClose;
    content.autoCloseMs = autoClose;
    content.sizeTwips = {4680, 1620};
    content.fontName = "Tahoma";
    content.rtfFile = rtf;
    content.showLink = button;
    return tip.setBalloon(content);
}

bool deleted(QPointer<BalloonWindow>& tip) {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return tip.isNull();
}

void press(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mousePress(w, button, {}, w->rect().center());
}
void release(QWidget* w, Qt::MouseButton button = Qt::LeftButton) {
    QTest::mouseRelease(w, button, {}, w->rect().center());
}

} // namespace

class BalloonTest : public QObject {
    Q_OBJECT
private slots:
    void placesAndSizes();
    void designState();
    void linkStrip();
    void iconCodes_data();
    void iconCodes();
    void closeByClick_data();
    void closeByClick();
    void closeButtonFaces();
    void autoClose();
    void autoCloseOutOfRange_data();
    void autoCloseOutOfRange();
    void rtfBody();
    void fonts();
    void dragByTitle();
};

void BalloonTest::placesAndSizes() {
    BalloonWindow tip;
    QVERIFY(!setUp(tip));
    QCOMPARE(tip.pos(), QPoint(100, 200));
    QCOMPARE(tip.size(), QSize(312, 108));
    const auto* body = designControl<QTextEdit>(tip, "txtTip");
    const auto* closeButton = designControl<QLabel>(tip, "imgX");
    QCOMPARE(designControl<QLabel>(tip, "lblTitle")->geometry(), QRect(0, 1, 312, 17));
    QCOMPARE(body->geometry(), QRect(8, 27, 292, 71));
    QCOMPARE(closeButton->geometry(), QRect(281, 2, 16, 16));
    QCOMPARE(designControl<QWidget>(tip, "lblX")->geometry(), QRect(286, 5, 13, 13));
    QCOMPARE(designControl<QLabel>(tip, "imgDisplayIcon")->geometry(), QRect(10, 2, 16, 16));
    QCOMPARE(tip.windowRegion(), qv::balloon::roundedRegion(QSize(312, 108)));
    QCOMPARE(tip.titleText(), QString("Getting Started"));
    QCOMPARE(tip.bodyText(), QString("Body text"));
    QVERIFY(!tip.isVisible()); // the caller shows it

    // A later resize lays the children out again.
    tip.show();
    tip.resize(400, 150);
    QCOMPARE(body->geometry(), QRect(8, 27, 380, 113));
    QCOMPARE(closeButton->geometry().topLeft(), QPoint(369, 2));
}

void BalloonTest::designState() {
    BalloonWindow tip;
    QCOMPARE(tip.size(), QSize(312, 127));
    QCOMPARE(tip.windowRegion(), qv::balloon::roundedRegion(QSize(312, 127)));
    QCOMPARE(designControl<QLabel>(tip, "lblTitle")->font().bold(), true);
    // Nothing to say: the body keeps its design content.
    qv::BalloonContent plain;
    plain.title = "T";
    plain.iconCode = "i";
    plain.sizeTwips = {4680, 1620};
    plain.fontName = "Tahoma";
    QVERIFY(!tip.setBalloon(plain));
    QCOMPARE(tip.bodyText(), QString("txtTip"));
    const auto* strip = designControl<QWidget>(tip, "cmdLink");
    QVERIFY(!strip->isVisibleTo(&tip));
    QCOMPARE(strip->height(), 0);
}

void BalloonTest::linkStrip() {
    BalloonWindow tip;
    QVERIFY(!setUp(tip, "i", true, 0, "x", {}, true));
    QCOMPARE(tip.size(), QSize(312, 124)); // 1620 + 12 x 20 twips
    auto* strip = designControl<QWidget>(tip, "cmdLink");
    QVERIFY(strip->isVisibleTo(&tip));
    QCOMPARE(designControl<QTextEdit>(tip, "txtTip")->geometry(),
             QRect(8, 27, 292, 124 - 17 - 20 - 20 - 15));
    QSignalSpy clicked(&tip, &BalloonWindow::linkClicked);
    tip.show();
    QTest::mouseClick(strip, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QVERIFY(tip.isVisible());
}

void BalloonTest::iconCodes_data() {
    QTest::addColumn<QString>("code");
    QTest::addColumn<bool>("shown");
    QTest::addColumn<bool>("classic");
    QTest::addColumn<int>("slot");
    QTest::newRow("i") << "i" << true << false << 0;
    QTest::newRow("upper I") << "I" << true << false << 0;
    QTest::newRow("i9") << "i9" << true << true << 0;
    QTest::newRow("x") << "x" << true << false << 1;
    QTest::newRow("X9") << "X9" << true << true << 1;
    QTest::newRow("!") << "!" << true << false << 2;
    QTest::newRow("!9") << "!9" << true << true << 2;
    QTest::newRow("question mark") << "?" << false << false << -1;
    QTest::newRow("empty") << "" << false << false << -1;
}

void BalloonTest::iconCodes() {
    QFETCH(QString, code);
    QFETCH(bool, shown);
    QFETCH(bool, classic);
    QFETCH(int, slot);
    BalloonWindow tip;
    QVERIFY(!setUp(tip, code));
    const auto* icon = designControl<QLabel>(tip, "imgDisplayIcon");
    QCOMPARE(icon->isVisibleTo(&tip), shown);
    if (shown) {
        const QLabel* store = designControl<QLabel>(tip, classic ? "imgIcon" : "imgIconXP", slot);
        QCOMPARE(icon->pixmap().toImage(), store->pixmap().toImage());
    }
    // The title always spans the full width, so it stays centred with or without icon.
    const auto* title = designControl<QLabel>(tip, "lblTitle");
    QCOMPARE(title->geometry().width(), tip.width());
    QCOMPARE(title->alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
}

enum class Target { Background, Title, Icon, CloseImage, CloseGlyph, Body };
enum class Gesture { Click, DoubleClick, RightClick };

void BalloonTest::closeByClick_data() {
    QTest::addColumn<bool>("showClose");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("gesture");
    QTest::addColumn<bool>("closes");
    auto row = [](const char* name, bool showClose, Target t, Gesture g, bool closes) {
        QTest::newRow(name) << showClose << int(t) << int(g) << closes;
    };
    row("background", true, Target::Background, Gesture::Click, true);
    row("background, right button", true, Target::Background, Gesture::RightClick, false);
    row("title", true, Target::Title, Gesture::Click, false);
    row("title, no close button", false, Target::Title, Gesture::Click, false);
    row("icon", true, Target::Icon, Gesture::Click, true);
    row("close image", true, Target::CloseImage, Gesture::Click, true);
    row("close glyph", true, Target::CloseGlyph, Gesture::Click, true);
    row("body with close button", true, Target::Body, Gesture::Click, false);
    row("body without close button", false, Target::Body, Gesture::Click, true);
    row("body double-click", true, Target::Body, Gesture::DoubleClick, true);
    row("body, right button, no close button", false, Target::Body, Gesture::RightClick, false);
}

void BalloonTest::closeByClick() {
    QFETCH(bool, showClose);
    QFETCH(int, target);
    QFETCH(int, gesture);
    QFETCH(bool, closes);

    QPointer<BalloonWindow> tip = new BalloonWindow;
    QVERIFY(!setUp(*tip, "i", showClose));
    tip->show();
    QWidget* w = nullptr;
    QPoint at;
    switch (Target(target)) {
    case Target::Background:
        w = tip;
        at = QPoint(150, 100); // bottom margin, below the body
        break;
    case Target::Title:
        w = designControl<QLabel>(*tip, "lblTitle");
        break;
    case Target::Icon:
        w = designControl<QLabel>(*tip, "imgDisplayIcon");
        break;
    case Target::CloseImage:
        w = designControl<QLabel>(*tip, "imgX");
        at = QPoint(1, 1); // the glyph covers its middle
        break;
    case Target::CloseGlyph:
        w = designControl<QWidget>(*tip, "lblX");
        break;
    case Target::Body:
        w = designControl<QTextEdit>(*tip, "txtTip")->viewport();
        break;
    }
    if (at.isNull())
        at = w->rect().center();
    // The point really lies on the target: nothing else covers it.
    QCOMPARE(tip->childAt(w->mapTo(tip.data(), at)), w == tip.data() ? nullptr : w);
    switch (Gesture(gesture)) {
    case Gesture::Click:
        QTest::mouseClick(w, Qt::LeftButton, {}, at);
        break;
    case Gesture::RightClick:
        QTest::mouseClick(w, Qt::RightButton, {}, at);
        break;
    case Gesture::DoubleClick:
        QTest::mouseDClick(w, Qt::LeftButton, {}, at);
        break;
    }
    QCOMPARE(deleted(tip), closes);
    delete tip.data();
}

void BalloonTest::closeButtonFaces() {
    BalloonWindow tip;
    QVERIFY(!setUp(tip));
    tip.show();
    auto* closeButton = designControl<QLabel>(tip, "imgX");
    auto* closeGlyph = designControl<QWidget>(tip, "lblX");
    const QImage up = designControl<QLabel>(tip, "imgX_Up")->pixmap().toImage();
    const QImage down = designControl<QLabel>(tip, "imgX_Dn")->pixmap().toImage();
    QVERIFY(up != down);
    QCOMPARE(closeButton->pixmap().toImage(), up);
    for (QWidget* w : {static_cast<QWidget*>(closeButton), closeGlyph}) {
        press(w);
        QCOMPARE(closeButton->pixmap().toImage(), down);
        // Released outside: no click, the balloon stays, the face comes back up.
        QTest::mouseRelease(w, Qt::LeftButton, {}, QPoint(-20, 40));
        QCOMPARE(closeButton->pixmap().toImage(), up);
        QVERIFY(tip.isVisible());
    }
    press(closeButton, Qt::RightButton);
    QCOMPARE(closeButton->pixmap().toImage(), up);
    release(closeButton, Qt::RightButton);
    QVERIFY(tip.isVisible());
    QCOMPARE(closeGlyph->toolTip(), QString("Close"));
}

void BalloonTest::autoClose() {
    const qv::ScopedServices shortTimes(
        [](qv::Services& s) { s.balloonTimeBase = [](int ms) { return ms / 100; }; });

    QPointer<BalloonWindow> stays = new BalloonWindow;
    QVERIFY(!setUp(*stays, "i", true, 0));
    stays->show();
    QVERIFY(!designControl<QTimer>(*stays, "timAutoClose")->isActive());
    QCOMPARE(stays->autoCloseAfter(), 0);

    QPointer<BalloonWindow> goes = new BalloonWindow;
    QVERIFY(!setUp(*goes, "i", true, 4000));
    goes->show();
    QCOMPARE(goes->autoCloseAfter(), 4000);
    const auto* timer = designControl<QTimer>(*goes, "timAutoClose");
    QVERIFY(timer->isActive());
    QCOMPARE(timer->interval(), 40);
    QTRY_VERIFY_WITH_TIMEOUT(deleted(goes), 2000);
    QVERIFY(!deleted(stays));
    delete stays.data();

    // The longest time the timer takes is still accepted.
    BalloonWindow longest;
    QVERIFY(!setUp(longest, "i", true, 65535));
    QCOMPARE(longest.autoCloseAfter(), 65535);
}

void BalloonTest::autoCloseOutOfRange_data() {
    QTest::addColumn<int>("ms");
    QTest::newRow("65536") << 65536;
    QTest::newRow("one minute and more") << 100000;
    QTest::newRow("negative") << -1;
}

void BalloonTest::autoCloseOutOfRange() {
    QFETCH(int, ms);
    BalloonWindow tip;
    const auto failure = setUp(tip, "x", false, ms);
    QVERIFY(failure);
    QCOMPARE(failure->kind, qv::BalloonFailure::Kind::AutoCloseRange);
    QVERIFY(failure->message.contains(QString::number(ms)));
    QVERIFY(!designControl<QTimer>(tip, "timAutoClose")->isActive());
    // Half filled: the steps before the timer are done, the size is not.
    QCOMPARE(tip.titleText(), QString("Getting Started"));
    QCOMPARE(tip.pos(), QPoint(100, 200));
    QVERIFY(designControl<QLabel>(tip, "imgX")->isHidden());
    QCOMPARE(tip.size(), QSize(312, 127));
}

void BalloonTest::rtfBody() {
    qv::test::TempProgramFolder folder;
    folder.write("tip.rtf",
                 "{\\rtf1{\\fonttbl{\\f0 Courier New;}}\\f0\\fs20 From the \\b file\\b0\\par"
                 " second line}");
    {
        BalloonWindow tip;
        QVERIFY(!setUp(tip, "i", true, 0, "Plain words", folder.filePath("tip.rtf")));
        QCOMPARE(tip.bodyText(), QString("From the file\nsecond line"));
        // The file keeps its own font: the face passed for the balloon does not replace it.
        const auto* body = designControl<QTextEdit>(tip, "txtTip");
        QTextCursor c(body->document());
        c.setPosition(2);
        QCOMPARE(c.charFormat().fontFamilies().toStringList().value(0), QString("Courier New"));
        QCOMPARE(c.charFormat().fontPointSize(), 10.0);
        QVERIFY(body->font().family() != QString("Tahoma"));
    }
    for (const QString name : {"missing.rtf", "plain.rtf"}) {
        folder.write("plain.rtf", "this is no rich text");
        BalloonWindow tip;
        const auto failure = setUp(tip, "i", true, 4000, "Words", folder.filePath(name));
        QVERIFY(failure);
        QCOMPARE(failure->kind, qv::BalloonFailure::Kind::RtfFile);
        QVERIFY(!failure->message.isEmpty());
        // Stopped before the rest: the text was set, the timer was not started.
        QCOMPARE(tip.bodyText(), QString("Words"));
        QVERIFY(!designControl<QTimer>(tip, "timAutoClose")->isActive());
    }
}

void BalloonTest::fonts() {
    BalloonWindow tip;
    QVERIFY(!setUp(tip));
    QCOMPARE(tip.font().families().value(0), QString("Tahoma"));
    const QFont body = designControl<QTextEdit>(tip, "txtTip")->font();
    QCOMPARE(body.families().value(0), QString("Tahoma"));
    QCOMPARE(body.pointSizeF(), 8.5);
    const QFont title = designControl<QLabel>(tip, "lblTitle")->font();
    QCOMPARE(title.families().value(0), QString("Tahoma"));
    QCOMPARE(title.pointSizeF(), 8.25);
    QVERIFY(title.bold());
}

void BalloonTest::dragByTitle() {
    BalloonWindow tip;
    QVERIFY(!setUp(tip));
    tip.show();
    auto* title = designControl<QLabel>(tip, "lblTitle");
    const QPoint start = tip.pos();
    const QPoint grip = title->mapToGlobal(QPoint(100, 8));
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(100, 8), QPointF(grip), Qt::LeftButton,
                     Qt::LeftButton, {});
    QApplication::sendEvent(title, &down);
    QMouseEvent move(QEvent::MouseMove, QPointF(130, 18), QPointF(grip + QPoint(30, 10)),
                     Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(title, &move);
    QCOMPARE(tip.pos(), start + QPoint(30, 10));
    QMouseEvent up(QEvent::MouseButtonRelease, QPointF(130, 18), QPointF(grip + QPoint(30, 10)),
                   Qt::LeftButton, Qt::NoButton, {});
    QApplication::sendEvent(title, &up);
    QVERIFY(tip.isVisible()); // a press on the title drags, it does not close
    // After the release further moves leave the window alone.
    QMouseEvent later(QEvent::MouseMove, QPointF(10, 10), QPointF(grip + QPoint(90, 90)),
                      Qt::NoButton, Qt::LeftButton, {});
    QApplication::sendEvent(title, &later);
    QCOMPARE(tip.pos(), start + QPoint(30, 10));

    tip.showMaximized();
    const QPoint maxPos = tip.pos();
    qv::dragWindow(&tip, grip);
    QApplication::sendEvent(title, &move);
    QCOMPARE(tip.pos(), maxPos);
}

QTEST_MAIN(BalloonTest)
#include "tst_balloon.moc"
