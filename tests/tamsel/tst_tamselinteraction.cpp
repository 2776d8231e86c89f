#include "controls/host/componenthost.h"
#include "controls/tamsel/colorscheme.h"
#include "controls/tamsel/tamselbutton.h"
#include "platform/services.h"

#include <QApplication>
#include <QTest>
#include <QTimer>
#include <ctime>

using namespace qv::tamsel;
using qv::host::RecordingHost;

namespace {

// Records the events of buttons as "name:Event" texts, in order.
struct EventLog {
    QStringList entries;
    void watch(TamselButton* b) {
        const QString n = b->objectName();
        QObject::connect(b, &TamselButton::Click, [=, this] { entries << n + ":Click"; });
        QObject::connect(b, &TamselButton::MouseDown, [=, this](short button, short, float, float) {
            entries << n + ":MouseDown" + QString::number(button);
        });
        QObject::connect(b, &TamselButton::MouseUp, [=, this](short button, short, float, float) {
            entries << n + ":MouseUp" + QString::number(button);
        });
        QObject::connect(b, &TamselButton::KeyDown, [=, this](short& code, short) {
            entries << n + ":KeyDown" + QString::number(code);
        });
        QObject::connect(b, &TamselButton::KeyPress, [=, this](short& ascii) {
            entries << n + ":KeyPress" + QString::number(ascii);
        });
        QObject::connect(b, &TamselButton::KeyUp, [=, this](short& code, short) {
            entries << n + ":KeyUp" + QString::number(code);
        });
        QObject::connect(b, &TamselButton::MouseOut, [=, this] { entries << n + ":MouseOut"; });
    }
    QStringList take() {
        QStringList out = entries;
        entries.clear();
        return out;
    }
};

// A window of buttons at run time; the pointer is over no button unless a test says so.
struct Window {
    Window() {
        form.setObjectName(QStringLiteral("Form1"));
        form.resize(400, 200);
        host = new RecordingHost(&form);
    }
    TamselButton* add(const QString& name, QWidget* parent = nullptr, bool option = false) {
        auto* b = new TamselButton(parent ? parent : &form, host);
        b->setObjectName(name);
        b->setGeometry(10 + 90 * count++, 10, 80, 30);
        b->setPointerProbe([this, b] { return pointerOver == b; });
        b->setAccessKeyPause([] {});
        if (option)
            b->setOptionButton(true);
        log.watch(b);
        return b;
    }
    void showActive() {
        form.show();
        QApplication::setActiveWindow(&form);
        QVERIFY(QTest::qWaitForWindowActive(&form));
    }
    QWidget form;
    RecordingHost* host = nullptr;
    TamselButton* pointerOver = nullptr;
    EventLog log;
    int count = 0;
};

const QPoint kInside(40, 15);

// The button's visual state at each of its paintings.
struct PaintedStates : QObject {
    explicit PaintedStates(TamselButton* button) : button_(button) {
        button->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == button_ && event->type() == QEvent::Paint)
            states << button_->data().run.state;
        return false;
    }
    TamselButton* button_;
    QList<int> states;
};

// The processor time this thread has used, in milliseconds.
qint64 threadProcessorMs() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

} // namespace

class TamselInteractionTest : public QObject {
    Q_OBJECT
    const qv::ScopedServices greySystemColours{
        [](qv::Services& s) { s.systemColourSource = [](int) { return Colour(0xC0C0C0); }; }};

private slots:
    void rightClickRaisesNoClick() {
        Window w;
        TamselButton* b = w.add("A");
        w.showActive();
        w.pointerOver = b;
        QTest::mousePress(b, Qt::RightButton, {}, kInside);
        QCOMPARE(w.log.take(), QStringList{"A:MouseDown2"});
        QVERIFY(!b->buttonEnabled()); // cleared between press and click
        QVERIFY(b->isEnabled());      // the window itself stays enabled
        QTest::mouseRelease(b, Qt::RightButton, {}, kInside);
        QCOMPARE(w.log.take(), QStringList{"A:MouseUp2"});
        QVERIFY(b->buttonEnabled());
    }

    void leftClickSequence() {
        Window w;
        TamselButton* b = w.add("A");
        w.showActive();
        w.pointerOver = b;
        QTest::mousePress(b, Qt::LeftButton, {}, kInside);
        QCOMPARE(b->data().run.state, int(VisualState::Pressed));
        QTest::mouseRelease(b, Qt::LeftButton, {}, kInside);
        QCOMPARE(w.log.take(), (QStringList{"A:MouseDown1", "A:MouseUp1", "A:Click"}));
        QCOMPARE(b->data().run.state, int(VisualState::Focused));
    }

    void dragOutAndRelease() {
        Window w;
        TamselButton* b = w.add("A");
        w.pointerOver = b;
        b->pointerMove(0, 0, 40, 15);
        QCOMPARE(b->data().run.state, int(VisualState::Hover));
        QVERIFY(b->TimerHover->isActive());
        QCOMPARE(b->TimerHover->interval(), 100);
        QTest::mousePress(b, Qt::LeftButton, {}, kInside);
        b->pointerMove(1, 0, 40, 15);
        QCOMPARE(b->data().run.state, int(VisualState::Pressed));
        b->pointerMove(1, 0, -5, 40); // captured outside
        QCOMPARE(b->data().run.state, int(VisualState::Normal));
        w.pointerOver = nullptr;
        b->hoverTick();
        QVERIFY(!b->TimerHover->isActive());
        QVERIFY(!b->data().run.mouseOver);
        QTest::mouseRelease(b, Qt::LeftButton, {}, QPoint(-5, 40));
        QCOMPARE(w.log.take(), (QStringList{"A:MouseDown1", "A:MouseOut", "A:MouseUp1"}));
        QCOMPARE(b->data().run.state, int(VisualState::Normal));
    }

    // Moves while the hover check runs leave it running from where it was, so the pointer's
    // leaving is seen within one interval however long the drag.
    void movesDoNotRestartTheHoverCheck() {
        Window w;
        TamselButton* b = w.add("A");
        w.pointerOver = b;
        b->pointerMove(0, 0, 40, 15);
        QVERIFY(b->TimerHover->isActive());
        QTest::qSleep(40); // no events run meanwhile, so the check cannot fire
        b->pointerMove(1, 0, 40, 15);
        b->pointerMove(1, 0, -5, 40);
        QVERIFY(b->TimerHover->isActive());
        const int remaining = b->TimerHover->remainingTime();
        QVERIFY2(remaining <= 80, qPrintable(QStringLiteral("%1 ms left").arg(remaining)));
    }

    void hoverTimerWaitsWhileThePointerStays() {
        Window w;
        TamselButton* b = w.add("A");
        w.pointerOver = b;
        b->pointerMove(0, 0, 5, 5);
        b->hoverTick();
        QVERIFY(b->TimerHover->isActive());
        QVERIFY(w.log.take().isEmpty());
        w.pointerOver = nullptr;
        b->hoverTick();
        QCOMPARE(w.log.take(), QStringList{"A:MouseOut"});
        QCOMPARE(b->data().run.state, int(VisualState::Normal));
    }

    void optionButtonPress() {
        Window w;
        TamselButton* a = w.add("A", nullptr, true);
        TamselButton* b = w.add("B", nullptr, true);
        w.showActive();
        QTest::mousePress(a, Qt::LeftButton, {}, kInside);
        QCOMPARE(w.log.take(), (QStringList{"A:Click", "A:MouseDown1"}));
        QVERIFY(a->value());
        QTest::mouseRelease(a, Qt::LeftButton, {}, kInside);
        QCOMPARE(w.log.take(), QStringList{"A:MouseUp1"}); // the click finds it selected
        QTest::mousePress(a, Qt::LeftButton, {}, kInside);
        QVERIFY(w.log.take().isEmpty());
        QTest::mouseRelease(a, Qt::LeftButton, {}, kInside);
        w.log.take();
        QTest::mousePress(b, Qt::LeftButton, {}, kInside);
        QVERIFY(b->value());
        QVERIFY(!a->value());
        QCOMPARE(a->data().run.state, int(VisualState::Normal));
    }

    void everyOtherButtonOfTheGroupIsDeselected() {
        Window w;
        QList<TamselButton*> buttons;
        for (const char* n : {"A", "B", "C", "D"})
            buttons << w.add(n, nullptr, true);
        buttons.last()->setValue(true);
        QVERIFY(buttons.last()->value());
        buttons.first()->setValue(true);
        QVERIFY(!buttons.last()->value());
        buttons[2]->setValue(true);
        QVERIFY(!buttons.first()->value());
        QVERIFY(buttons[2]->value());
    }

    void twoContainersKeepTheirOwnSelection() {
        Window w;
        auto* frame1 = new QWidget(&w.form);
        frame1->setObjectName("Frame1");
        auto* frame2 = new QWidget(&w.form);
        frame2->setObjectName("Frame2");
        frame2->move(0, 100);
        TamselButton* a = w.add("A", frame1, true);
        TamselButton* b = w.add("B", frame1, true);
        TamselButton* c = w.add("C", frame2, true);
        TamselButton* d = w.add("D", frame2, true);
        a->setValue(true);
        c->setValue(true);
        QVERIFY(a->value() && c->value());
        b->buttonDown(1, 0, 5, 5);
        QVERIFY(b->value());
        QVERIFY(!a->value());
        QVERIFY(c->value());
        d->click();
        QVERIFY(d->value());
        QVERIFY(!c->value());
        QVERIFY(b->value());
    }

    void firstShowSelectsInGroup() {
        Window w;
        TamselButton* a = w.add("A", nullptr, true);
        TamselButton* b = w.add("B", nullptr, true);
        a->setValue(true);
        // B arrives selected from its stored set: its first show deselects A.
        qv::host::PropertyBag bag;
        b->WriteProperties(bag);
        bag.write("OPTVAL", true);
        b->ReadProperties(bag);
        QVERIFY(a->value());
        w.form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w.form));
        QVERIFY(b->value());
        QVERIFY(!a->value());
    }

    void spaceKeySequence() {
        Window w;
        TamselButton* b = w.add("A");
        w.showActive();
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        QCOMPARE(b->data().run.state, int(VisualState::Focused));
        QTest::keyPress(b, Qt::Key_Space);
        QCOMPARE(b->data().run.state, int(VisualState::Pressed));
        QCOMPARE(w.log.take(), (QStringList{"A:KeyDown32", "A:KeyPress32"}));
        QTest::keyRelease(b, Qt::Key_Space);
        QCOMPARE(w.log.take(), (QStringList{"A:KeyUp32", "A:Click"}));
        QCOMPARE(b->data().run.state, int(VisualState::Focused));
    }

    void enterOnOptionButtonDoesNothing() {
        Window w;
        TamselButton* b = w.add("A", nullptr, true);
        b->keyDown(13, 0);
        QVERIFY(w.log.take().isEmpty());
        TamselButton* c = w.add("C");
        c->keyDown(13, 0);
        QCOMPARE(w.log.take(), QStringList{"C:KeyDown13"});
    }

    void arrowKeysMoveTheFocus() {
        Window w;
        TamselButton* a = w.add("A");
        TamselButton* b = w.add("B");
        TamselButton* c = w.add("C");
        w.showActive();
        b->setFocus();
        QTRY_VERIFY(b->hasFocus());
        QTest::keyClick(b, Qt::Key_Right);
        QTRY_VERIFY(c->hasFocus());
        QTest::keyClick(c, Qt::Key_Up);
        QTRY_VERIFY(b->hasFocus());
        QTest::keyClick(b, Qt::Key_Left);
        QTRY_VERIFY(a->hasFocus());
        QTest::keyClick(a, Qt::Key_Down);
        QTRY_VERIFY(b->hasFocus());
        QStringList events = w.log.take();
        QVERIFY2(events.filter("KeyDown").isEmpty(), qPrintable(events.join(',')));
        QCOMPARE(b->data().run.state, int(VisualState::Focused));
        QCOMPARE(a->data().run.state, int(VisualState::Normal));
    }

    void focusStates() {
        Window w;
        TamselButton* b = w.add("A");
        w.pointerOver = b;
        b->pointerMove(0, 0, 5, 5);
        b->focusEnter();
        QCOMPARE(b->data().run.state, int(VisualState::Hover)); // unchanged under the pointer
        b->focusExit();
        QCOMPARE(b->data().run.state, int(VisualState::Hover));
        QVERIFY(!b->TimerHover->isActive());
        w.pointerOver = nullptr;
        b->hoverTick(); // stopped timers do not tick, but a late tick is harmless
        b->focusEnter();
        QCOMPARE(b->data().run.state, int(VisualState::Focused));
        b->focusExit();
        QCOMPARE(b->data().run.state, int(VisualState::Normal));
    }

    void doubleClickShowsPressedLook() {
        Window w;
        TamselButton* b = w.add("A");
        b->buttonDown(1, 0, 5, 5);
        b->buttonUp(1, 0, 5, 5);
        b->click();
        w.log.take();
        b->doubleClick();
        QCOMPARE(b->data().run.state, int(VisualState::Pressed));
        QVERIFY(w.log.take().isEmpty());
    }

    void accessKeyOnCommandButton() {
        Window w;
        TamselButton* b = w.add("A");
        b->setCaption("&Go");
        QCOMPARE(b->data().run.accessKey, QChar('g'));
        int stateDuringPause = -1;
        b->setAccessKeyPause([&] { stateDuringPause = b->data().run.state; });
        w.showActive();
        QTest::keyClick(&w.form, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(stateDuringPause, int(VisualState::Pressed));
        QCOMPARE(w.log.take(), QStringList{"A:Click"});
        QCOMPARE(b->data().run.state,
                 int(b->hasFocus() ? VisualState::Focused : VisualState::Normal));
    }

    void accessKeyOnOptionButtons() {
        Window w;
        TamselButton* a = w.add("A", nullptr, true);
        TamselButton* b = w.add("B", nullptr, true);
        a->setCaption("&Alpha");
        b->setCaption("&Beta");
        a->accessKey('a');
        QVERIFY(a->value());
        QCOMPARE(w.log.take(), QStringList{"A:Click"});
        a->accessKey('a');
        QCOMPARE(w.log.take(), (QStringList{"A:KeyDown97", "A:KeyPress97", "A:KeyUp97"}));
        b->accessKey('b');
        QVERIFY(b->value());
        QVERIFY(!a->value());
    }

    // The real pause paints the pressed look at once and holds it for 150 ms; it is a short
    // hold, not a long one: the processor time it takes (which other work on a busy machine
    // does not stretch, as it stretches the wall clock) stays well under a second.
    void accessKeyPauseIsShort() {
        Window w;
        auto* b = new TamselButton(&w.form, w.host); // the real pause
        b->setGeometry(10, 10, 80, 30);
        b->setCaption("&Go");
        w.showActive();
        PaintedStates painted(b);
        QElapsedTimer clock;
        clock.start();
        const qint64 processorBefore = threadProcessorMs();
        b->accessKey('g');
        QVERIFY(painted.states.contains(int(VisualState::Pressed)));
        QVERIFY(clock.elapsed() >= 150);
        QVERIFY(threadProcessorMs() - processorBefore < 1000);
    }

    void optionButtonOffResetsState() {
        Window w;
        TamselButton* b = w.add("A", nullptr, true);
        b->setValue(true);
        b->buttonDown(1, 0, 5, 5); // selected: nothing happens, but the state is pressed
        b->setOptionButton(false);
        QCOMPARE(b->data().run.state, int(VisualState::Normal));
    }
};

QTEST_MAIN(TamselInteractionTest)
#include "tst_tamselinteraction.moc"
