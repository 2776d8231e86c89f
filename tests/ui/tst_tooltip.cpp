#include "ui/tooltip.h"

#include <QApplication>
#include <QEnterEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QScreen>
#include <QToolTip>
#include <QtTest>

using qv::TipWindow;

namespace {

int tipWindowCount() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("tooltips_class32"))
            ++n;
    return n;
}

void pointerMove(QWidget* w, QPoint local = {10, 5}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(w->mapToGlobal(local)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

void pointerLeave(QWidget* w) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(w, &leave);
}

void pointerPress(QWidget* w) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 5),
                      QPointF(w->mapToGlobal(QPoint(5, 5))), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
}

} // namespace

class TestTooltip : public QObject {
    Q_OBJECT
    QLineEdit* field = nullptr;

private slots:
    void init() {
        field = new QLineEdit;
        field->setGeometry(200, 200, 160, 26);
        field->show();
        QVERIFY(QTest::qWaitForWindowExposed(field));
    }
    void cleanup() {
        delete field;
        field = nullptr;
        QCOMPARE(tipWindowCount(), 0);
    }

    void newObjectHasClassDefaults() {
        BalloonTooltip tip;
        QCOMPARE(tip.Style(), 0);
        QCOMPARE(tip.Centered(), false);
        QCOMPARE(tip.Icon(), 0);
        QCOMPARE(tip.ForeColor(), 0u);
        QCOMPARE(tip.BackColor(), 0u);
        QCOMPARE(tip.Title(), QString());
        QCOMPARE(tip.TipText(), QString());
        QCOMPARE(tip.VisibleTime(), 9000);
        QCOMPARE(tip.DelayTime(), 500);
        QVERIFY(!tip.window());
    }

    void createWithOnlyTextGivesAPlainSystemTip() {
        BalloonTooltip tip;
        tip.TipText("Plain");
        tip.Create(field);
        TipWindow* w = tip.window();
        QVERIFY(w);
        QVERIFY(!w->isBalloon());
        QCOMPARE(w->title(), QString());
        QCOMPARE(w->titleIcon(), 0);
        QCOMPARE(w->tipText(), QString("Plain"));
        QCOMPARE(w->tipTextColor(), QToolTip::palette().color(QPalette::ToolTipText));
        QCOMPARE(w->tipBackColor(), QToolTip::palette().color(QPalette::ToolTipBase));
        QCOMPARE(w->initialDelay(), 500);
        QCOMPARE(w->autoPopDelay(), 9000);
        QCOMPARE(tip.toolInfo().size, 44u);
        QCOMPARE(tip.toolInfo().flags, 17u);
        QCOMPARE(tip.toolInfo().window.data(), field);
        QCOMPARE(tip.parentWindow(), field);
    }

    void styleAndCentring_data() {
        QTest::addColumn<int>("style");
        QTest::addColumn<bool>("centred");
        QTest::addColumn<bool>("balloon");
        QTest::addColumn<quint32>("flags");
        QTest::newRow("rectangle") << 0 << false << false << 17u;
        QTest::newRow("balloon") << 1 << false << true << 17u;
        QTest::newRow("style 2 is a rectangle") << 2 << false << false << 17u;
        QTest::newRow("centred balloon") << 1 << true << true << 19u;
    }
    void styleAndCentring() {
        QFETCH(int, style);
        QFETCH(bool, centred);
        QFETCH(bool, balloon);
        QFETCH(quint32, flags);
        BalloonTooltip tip;
        tip.Style(style);
        tip.Centered(centred);
        tip.TipText("Some text");
        tip.DelayTime(0);
        tip.Create(field);
        QCOMPARE(tip.window()->isBalloon(), balloon);
        QCOMPARE(tip.window()->isCentred(), centred);
        QCOMPARE(tip.toolInfo().flags, flags);
        pointerMove(field, {30, 10});
        QTRY_VERIFY(tip.window()->isTipShown());
        const TipWindow* w = tip.window();
        // a balloon is shaped (rounded, with its pointer); a rectangle fills its window
        const QRegion mask = w->shape().mask();
        QCOMPARE(mask.rectCount() > 1, balloon);
        if (balloon) {
            // the pointer's tip rests on the anchor: below the field's centre when centred,
            // below the pointer otherwise
            const QPoint tipAt = w->pos() + w->shape().anchor;
            if (centred)
                QCOMPARE(tipAt, field->mapToGlobal(QPoint(field->width() / 2, field->height())));
            else
                QCOMPARE(tipAt.x(), field->mapToGlobal(QPoint(30, 10)).x());
            QVERIFY(tipAt.y() > field->mapToGlobal(QPoint(0, 0)).y());
        }
    }

    void showsAfterTheDelayAndHidesAfterTheVisibleTime() {
        BalloonTooltip tip;
        tip.Style(1);
        tip.TipText("Hello");
        tip.DelayTime(60);
        tip.VisibleTime(250);
        tip.Create(field);
        TipWindow* w = tip.window();
        QElapsedTimer clock;
        clock.start();
        pointerMove(field);
        QVERIFY(!w->isTipShown());
        QTRY_VERIFY_WITH_TIMEOUT(w->isTipShown(), 2000);
        QVERIFY(clock.elapsed() >= 55);
        QTRY_VERIFY_WITH_TIMEOUT(!w->isTipShown(), 3000);
        QVERIFY(clock.elapsed() >= 55 + 240);
        // it does not come back while the pointer stays on the field...
        pointerMove(field, {12, 6});
        QTest::qWait(150);
        QVERIFY(!w->isTipShown());
        // ...but does after the pointer has left and come back
        pointerLeave(field);
        pointerMove(field);
        QTRY_VERIFY_WITH_TIMEOUT(w->isTipShown(), 2000);
    }

    void hidesWhenThePointerLeavesOrClicks() {
        BalloonTooltip tip;
        tip.TipText("Hello");
        tip.DelayTime(10);
        tip.Create(field);
        pointerMove(field);
        QTRY_VERIFY(tip.window()->isTipShown());
        pointerLeave(field);
        QVERIFY(!tip.window()->isTipShown());
        // leaving before the delay ran out cancels the showing
        pointerMove(field);
        pointerLeave(field);
        QTest::qWait(60);
        QVERIFY(!tip.window()->isTipShown());

        pointerMove(field);
        QTRY_VERIFY(tip.window()->isTipShown());
        pointerPress(field);
        QVERIFY(!tip.window()->isTipShown());
    }

    void withoutTextNoTipShows() {
        BalloonTooltip tip;
        tip.Title("Title only");
        tip.Icon(1);
        tip.DelayTime(0);
        tip.Create(field);
        pointerMove(field);
        QTest::qWait(50);
        QVERIFY(!tip.window()->isTipShown());
    }

    void createAndDestroySequencesKeepOneWindow() {
        BalloonTooltip tip;
        tip.TipText("Once");
        tip.DelayTime(0);
        tip.Destroy(); // without a window: nothing
        QCOMPARE(tipWindowCount(), 0);
        tip.Create(field);
        QPointer<TipWindow> first = tip.window();
        tip.Create(field);
        QCOMPARE(tipWindowCount(), 1);
        QVERIFY(!first);
        tip.Create(field);
        QCOMPARE(tipWindowCount(), 1);
        // the field is watched by the one window only
        pointerMove(field);
        QTRY_VERIFY(tip.window()->isTipShown());
        tip.Destroy();
        QCOMPARE(tipWindowCount(), 0);
        tip.Destroy();
        QCOMPARE(tipWindowCount(), 0);
        QVERIFY(!tip.window());
        {
            BalloonTooltip scoped;
            scoped.Create(field);
            QCOMPARE(tipWindowCount(), 1);
        }
        QCOMPARE(tipWindowCount(), 0); // the end of the object destroys its window
    }

    void writesAfterDestroyReachNoWindowButSurvive() {
        BalloonTooltip tip;
        tip.TipText("First");
        tip.Create(field);
        tip.Destroy();
        tip.TipText("Second");
        tip.Title("Heading");
        tip.Icon(2);
        tip.ForeColor(0x0000ff);
        tip.BackColor(0xff0000);
        QCOMPARE(tipWindowCount(), 0);
        QCOMPARE(tip.TipText(), QString("Second"));
        QCOMPARE(tip.Title(), QString("Heading"));
        tip.Create(field);
        const TipWindow* w = tip.window();
        QCOMPARE(w->tipText(), QString("Second"));
        QCOMPARE(w->title(), QString("Heading"));
        QCOMPARE(w->titleIcon(), 2);
        QCOMPARE(w->tipTextColor(), QColor(255, 0, 0));
        QCOMPARE(w->tipBackColor(), QColor(0, 0, 255));
    }

    // Create sends the title when either title or icon is set; later writes only when both are.
    void titleAndIconRules() {
        BalloonTooltip tip;
        tip.Title("First");
        tip.Create(field);
        QCOMPARE(tip.window()->title(), QString("First"));
        QCOMPARE(tip.window()->titleIcon(), 0);

        tip.Title("Second"); // icon still 0: the window keeps the old title
        QCOMPARE(tip.Title(), QString("Second"));
        QCOMPARE(tip.window()->title(), QString("First"));

        tip.Icon(3); // now both are set: the title goes out with the icon
        QCOMPARE(tip.window()->title(), QString("Second"));
        QCOMPARE(tip.window()->titleIcon(), 3);

        tip.Title(QString()); // an empty title is not sent
        QCOMPARE(tip.window()->title(), QString("Second"));
        tip.Icon(0); // neither is an icon of 0
        QCOMPARE(tip.window()->titleIcon(), 3);

        tip.Icon(2);
        tip.Create(field); // icon without title: sent at Create
        QCOMPARE(tip.window()->titleIcon(), 2);
        QCOMPARE(tip.window()->title(), QString());
    }

    void coloursUpdateInPlace() {
        BalloonTooltip tip;
        tip.TipText("Colours");
        tip.ForeColor(0);
        tip.Create(field);
        QCOMPARE(tip.window()->tipTextColor(), QToolTip::palette().color(QPalette::ToolTipText));
        tip.ForeColor(0); // written while the window exists, 0 is black
        QCOMPARE(tip.window()->tipTextColor(), QColor(0, 0, 0));
        tip.BackColor(0x00c0ffee);
        QCOMPARE(tip.window()->tipBackColor(), QColor(0xee, 0xff, 0xc0));
    }

    void textChangesInPlaceWhileShown() {
        BalloonTooltip tip;
        tip.TipText("Short");
        tip.DelayTime(0);
        tip.Create(field);
        pointerMove(field);
        QTRY_VERIFY(tip.window()->isTipShown());
        const int before = tip.window()->width();
        TipWindow* w = tip.window();
        tip.TipText("A much longer text than before");
        QCOMPARE(tip.window(), w);
        QCOMPARE(tip.toolInfo().text, QString("A much longer text than before"));
        QVERIFY(w->isTipShown());
        QVERIFY(w->width() > before);
        tip.TipText(QString());
        QVERIFY(!w->isTipShown());
    }

    // Thousands of lines: the tip shows as many as the screen holds, its first line first.
    void textTallerThanTheScreen() {
        QString text;
        for (int i = 0; i < 5000; ++i)
            text += QString("Field %1\r\n").arg(i);
        BalloonTooltip tip;
        tip.TipText(text);
        tip.DelayTime(0);
        tip.Create(field);
        pointerMove(field);
        QTRY_VERIFY(tip.window()->isTipShown());
        const int screen = field->screen()->availableGeometry().height();
        const int line = QFontMetrics(tip.window()->font()).lineSpacing();
        QVERIFY(tip.window()->height() >= screen - line);
        QVERIFY(tip.window()->height() <= screen + 3 * line);
        QCOMPARE(tip.toolInfo().text, text); // the whole text is kept
        tip.TipText("One line");
        QVERIFY(tip.window()->height() < 3 * line);
    }

    void displayText_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown");
        QTest::newRow("ampersands as they are") << "Save & Exit && more"
                                                << "Save & Exit && more";
        QTest::newRow("trailing line break") << "Key in root Password\r\n"
                                             << "Key in root Password";
        QTest::newRow("two lines") << "Line one\r\ne.g. 10.1.2.3\r\n"
                                   << "Line one\ne.g. 10.1.2.3";
        QTest::newRow("bare returns") << "a\rb"
                                      << "a\nb";
    }
    void displayText() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        QCOMPARE(qv::tipDisplayText(text), shown);
    }

    void negativeTimesMeanDefaults() {
        BalloonTooltip tip;
        tip.DelayTime(-1);
        tip.VisibleTime(-5);
        tip.Create(field);
        QCOMPARE(tip.window()->initialDelay(), TipWindow::kDefaultInitial);
        QCOMPARE(tip.window()->autoPopDelay(), TipWindow::kDefaultAutoPop);
    }

    void listsAreWatchedThroughTheirViewport() {
        QListWidget list;
        list.addItem("one");
        list.setGeometry(50, 50, 200, 120);
        list.show();
        QVERIFY(QTest::qWaitForWindowExposed(&list));
        BalloonTooltip tip;
        tip.TipText("List");
        tip.DelayTime(0);
        tip.Create(&list);
        pointerMove(list.viewport(), {20, 10});
        QTRY_VERIFY(tip.window()->isTipShown());
    }

    void parentGoneWhileShown() {
        auto* other = new QLineEdit;
        other->show();
        BalloonTooltip tip;
        tip.TipText("Gone");
        tip.DelayTime(0);
        tip.Create(other);
        pointerMove(other);
        QTRY_VERIFY(tip.window()->isTipShown());
        delete other;
        QVERIFY(!tip.window()->isTipShown());
        tip.TipText("still fine");
        tip.Destroy();
    }

    void nullParentNeverTriggers() {
        BalloonTooltip tip;
        tip.TipText("Nobody");
        tip.Create(nullptr);
        QVERIFY(tip.window());
        QTest::qWait(20);
        QVERIFY(!tip.window()->isTipShown());
    }

    // Near the bottom of the screen a balloon hangs above the pointer, its stem pointing down.
    void balloonFlipsAboveAtTheScreensBottom() {
        const QRect screen = field->screen()->availableGeometry();
        field->move(screen.left() + 100, screen.bottom() - field->height() - 2);
        BalloonTooltip tip;
        tip.Style(1);
        tip.Icon(2);
        tip.Title("Warning");
        tip.TipText("Near the bottom & still readable");
        tip.DelayTime(0);
        tip.Create(field);
        pointerMove(field, {20, 10});
        QTRY_VERIFY(tip.window()->isTipShown());
        const TipWindow* w = tip.window();
        QCOMPARE(w->shape().anchor.y(), w->height() - 1);
        QVERIFY(w->geometry().bottom() <= field->mapToGlobal(QPoint(20, 10)).y());
        QVERIFY(w->geometry().bottom() <= screen.bottom());
        const QString build = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR"));
        if (!build.isEmpty())
            QVERIFY(tip.window()->renderTip().save(build + "/tooltip-balloon-above.png"));
    }

    void rectanglePicture() {
        BalloonTooltip tip;
        tip.Icon(3);
        tip.Title("Field Names");
        tip.TipText("NAME\r\nSTREET\r\nTOWN\r\n\r\n(DBClick for FullScreen)\r\n");
        tip.Create(field);
        const QImage image = tip.window()->renderTip();
        QCOMPARE(qAlpha(image.pixel(0, 0)), 255); // a plain rectangle fills its corners
        const QString build = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR"));
        if (!build.isEmpty())
            QVERIFY(image.save(build + "/tooltip-rectangle.png"));
    }

    void balloonPicture() {
        BalloonTooltip tip;
        tip.Style(1);
        tip.Icon(1);
        tip.Title("IP Address");
        tip.TipText("Key in IP Address of Norrevan Server\r\ne.g. 192.168.20.15\r\n");
        tip.Create(field);
        const QImage image = tip.window()->renderTip();
        QVERIFY(!image.isNull());
        QCOMPARE(qAlpha(image.pixel(0, 0)), 0); // outside the rounded corner
        QCOMPARE(qAlpha(image.pixel(image.width() - 1, 0)), 0);
        const QPoint inside = tip.window()->shape().contentRect.bottomRight();
        QCOMPARE(QColor(image.pixel(inside)), QToolTip::palette().color(QPalette::ToolTipBase));
        const QString build = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR"));
        if (!build.isEmpty())
            QVERIFY(image.save(build + "/tooltip-balloon.png"));
    }
};

class TestTipShape : public QObject {
    Q_OBJECT
private slots:
    void balloonGeometry() {
        const qv::TipShape below = qv::balloonShape(QSize(100, 30), false, 0);
        QCOMPARE(below.windowSize, QSize(100 + 2 * qv::kBalloonPadding,
                                         30 + 2 * qv::kBalloonPadding + qv::kStemHeight));
        QCOMPARE(below.anchor.y(), 0);
        QCOMPARE(below.contentRect.top(), qv::kStemHeight + qv::kBalloonPadding);
        QVERIFY(below.anchor.x() >= qv::kBalloonRadius); // the pointer stays off the rounded corner
        const qv::TipShape above = qv::balloonShape(QSize(100, 30), true, 1000);
        QCOMPARE(above.anchor.y(), above.windowSize.height() - 1);
        QVERIFY(above.anchor.x() + qv::kStemWidth <= above.windowSize.width() - qv::kBalloonRadius);
        QVERIFY(above.outline.contains(QPointF(above.anchor.x() + 1, above.anchor.y() - 2)));
        QVERIFY(!above.outline.contains(QPointF(1, 1)));
    }
    void placementStaysOnScreen() {
        const qv::TipShape s = qv::rectangleShape(QSize(50, 20));
        const QRect screen(0, 0, 800, 600);
        QCOMPARE(qv::placeWindow(s, QPoint(100, 100), screen), QPoint(100, 100));
        QCOMPARE(qv::placeWindow(s, QPoint(790, 590), screen), QPoint(800 - 58, 600 - 28));
        QCOMPARE(qv::placeWindow(s, QPoint(-40, -40), screen), QPoint(0, 0));
    }
    void colourValues() {
        QCOMPARE(qv::colorFromColorRef(0x00e79258), QColor(88, 146, 231));
        QCOMPARE(qv::colorFromColorRef(0xff000000), QColor(0, 0, 0));
    }
};

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    int status = 0;
    {
        TestTipShape shape;
        status |= QTest::qExec(&shape, argc, argv);
    }
    {
        TestTooltip tooltip;
        status |= QTest::qExec(&tooltip, argc, argv);
    }
    return status;
}
#include "tst_tooltip.moc"
