#include "ui/repaintpacer.h"

#include <QCoreApplication>
#include <QPaintEvent>
#include <QTest>
#include <QWidget>

namespace {

class CountingWidget : public QWidget {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++paints; }
};

// Lets every posted event through, the update requests included.
void settle() {
    for (int i = 0; i < 3; ++i)
        QCoreApplication::processEvents();
}

} // namespace

class RepaintPacerTest : public QObject {
    Q_OBJECT
private slots:
    // The first repaint passes; one asked for within the interval is held back, and follows
    // when the pacer ends, with everything that changed meanwhile.
    void holdsBackAndCatchesUp() {
        CountingWidget window;
        window.resize(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        settle();
        const int before = window.paints;
        {
            const qv::RepaintPacer pacer(&window, 60 * 60 * 1000);
            window.update();
            settle();
            QCOMPARE(window.paints, before + 1);
            window.update(QRect(0, 0, 10, 10));
            window.update(QRect(50, 50, 10, 10));
            settle();
            QCOMPARE(window.paints, before + 1); // held back
        }
        settle();
        QCOMPARE(window.paints, before + 2); // one repaint for both changes
    }

    // Without the pacer the window repaints as before.
    void endsWithItsLife() {
        CountingWidget window;
        window.resize(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        { const qv::RepaintPacer pacer(&window, 60 * 60 * 1000); }
        settle();
        const int before = window.paints;
        window.update();
        settle();
        window.update();
        settle();
        QCOMPARE(window.paints, before + 2);
    }
};

QTEST_MAIN(RepaintPacerTest)
#include "tst_repaintpacer.moc"
