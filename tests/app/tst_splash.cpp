#include "app/splash.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"

#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <QtTest>

using qv::test::designControl;

namespace {

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// How long the splash window stays, for the rest of the test.
void setCloseDelay(int ms) {
    qv::Services changed = qv::services();
    changed.splashCloseDelayMs = ms;
    qv::installServices(changed);
}

} // namespace

class TestSplash : public QObject {
    Q_OBJECT
    int opened = 0;
    std::optional<qv::ScopedServices> services;

private slots:
    void init() {
        opened = 0;
        OpenMainAfterSplash = true;
        services.emplace([this](qv::Services& s) {
            s.openMainWindow = [this] { ++opened; };
            s.splashCloseDelayMs = 60;
        });
    }
    void cleanup() {
        OpenMainAfterSplash = false; // no opener runs while tidying up
        SplashWindow::unload();
        flushDeletes();
        QVERIFY(!SplashWindow::isLoaded());
        services.reset();
    }

    void loadStepFillsTheWindow() {
        setCloseDelay(100000);
        SplashWindow& s = SplashWindow::form();
        QCOMPARE(s.windowTitle(), QString());
        QCOMPARE(s.size(), QSize(487, 318)); // 7305 x 4770 twips
        QCOMPARE(QCoreApplication::applicationName(), QString("Quorvane"));
        QCOMPARE(designControl<QLabel>(s, "lblProductName")->text(), QString("Quorvane"));
        QCOMPARE(designControl<QLabel>(s, "lblVersion")->text(), QString("Version %1.%2.%3")
                                                                     .arg(QV_VERSION_MAJOR)
                                                                     .arg(QV_VERSION_MINOR)
                                                                     .arg(QV_VERSION_PATCH));
        QCOMPARE(SplashWindow::versionText(), QString("Version 2.0.1"));
        const auto* closeTimer = designControl<QTimer>(s, "Timer1");
        QCOMPARE(closeTimer->interval(), 100000);
        QVERIFY(closeTimer->isActive());

        const QStringList paragraphs = designControl<QLabel>(s, "Label2")->text().split("\r\n");
        QCOMPARE(paragraphs.size(), 4);
        for (int i = 0; i < 4; ++i)
            QVERIFY(paragraphs[i].startsWith(QString("(%1) ").arg(i + 1)));
    }

    void controlPositions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Image1") << "Image1" << QRect(-1, -1, 492, 321);
        QTest::newRow("lblProductName") << "lblProductName" << QRect(243, 76, 104, 33);
        QTest::newRow("lblVersion") << "lblVersion" << QRect(376, 104, 44, 15);
        QTest::newRow("Label4") << "Label4" << QRect(9, 203, 470, 108);
        QTest::newRow("Label2") << "Label2" << QRect(29, 211, 442, 99);
        QTest::newRow("imgIconXP") << "imgIconXP" << QRect(11, 204, 16, 16);
    }
    void controlPositions() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        auto* control = SplashWindow::form().findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->pos(), pixels.topLeft());
        // labels keep at least their designed size (the small ones grow to fit their text)
        QVERIFY(control->width() >= pixels.width() && control->height() >= pixels.height());
    }

    void opensTheMainWindowOnceAfterTheDelay() {
        SplashWindow::showSplash();
        QVERIFY(SplashWindow::form().isVisible());
        const QPointer<QTimer> closeTimer = designControl<QTimer>(SplashWindow::form(), "Timer1");
        QCOMPARE(opened, 0);
        QTRY_COMPARE_WITH_TIMEOUT(opened, 1, 3000);
        QVERIFY(!SplashWindow::isLoaded());
        QVERIFY(!OpenMainAfterSplash);
        // Nothing is left that could open it again: the window and its timer are gone.
        flushDeletes();
        QVERIFY(closeTimer.isNull());
        QCOMPARE(opened, 1);
    }

    void aboutViewClosesWithoutASecondMainWindow() {
        SplashWindow::showSplash();
        QTRY_COMPARE_WITH_TIMEOUT(opened, 1, 3000);
        flushDeletes();
        // later, from the main window's about picture
        SplashWindow::showSplash();
        QVERIFY(SplashWindow::isLoaded());
        const QPointer<QTimer> closeTimer = designControl<QTimer>(SplashWindow::form(), "Timer1");
        QTRY_VERIFY_WITH_TIMEOUT(!SplashWindow::isLoaded(), 3000);
        flushDeletes();
        QVERIFY(closeTimer.isNull());
        QCOMPARE(opened, 1);
    }

    void showingAgainKeepsTheSameWindowAndItsTimer() {
        constexpr int kDelay = 100000;
        setCloseDelay(kDelay);
        SplashWindow::showSplash();
        SplashWindow* first = &SplashWindow::form();
        auto* closeTimer = designControl<QTimer>(*first, "Timer1");
        // Some of the delay has run, by the timer's own count...
        QTRY_VERIFY(closeTimer->isActive() && closeTimer->remainingTime() < kDelay - 20);
        SplashWindow::showSplash();
        QCOMPARE(&SplashWindow::form(), first);
        // ...and still has after the second showing: the timer was not started again.
        QVERIFY(closeTimer->isActive());
        QVERIFY2(closeTimer->remainingTime() < kDelay - 20,
                 qPrintable(QString::number(closeTimer->remainingTime())));
        QVERIFY(QMetaObject::invokeMethod(closeTimer, "timeout")); // its time is up
        QTRY_VERIFY_WITH_TIMEOUT(!SplashWindow::isLoaded(), 3000);
        QCOMPARE(opened, 1);
    }

    // Closed by hand before its time at start: the program goes on with its main window.
    void closedEarlyStillOpensTheMainWindow() {
        setCloseDelay(100000);
        SplashWindow::showSplash();
        SplashWindow::form().close();
        QCOMPARE(opened, 1);
        QVERIFY(!SplashWindow::isLoaded());
    }

    void picture() {
        setCloseDelay(100000);
        SplashWindow::showSplash();
        QVERIFY(QTest::qWaitForWindowExposed(&SplashWindow::form()));
        const QImage shot = SplashWindow::form().grab().toImage();
        QCOMPARE(shot.size(), QSize(487, 318));
        // the terms box is black, the version white on the picture
        QCOMPARE(QColor(shot.pixel(20, 300)), QColor(Qt::black));
        const QString build = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR"));
        if (!build.isEmpty())
            QVERIFY(shot.save(build + "/splash.png"));
    }

    // The one test that waits the real four seconds, start to end.
    void realFourSecondsAtStart() {
        setCloseDelay(4000);
        QElapsedTimer clock;
        clock.start();
        SplashWindow::showSplash();
        QTRY_COMPARE_WITH_TIMEOUT(opened, 1, 8000);
        QVERIFY2(clock.elapsed() >= 3990, qPrintable(QString::number(clock.elapsed())));
        QVERIFY(!SplashWindow::isLoaded());
    }
};

QTEST_MAIN(TestSplash)
#include "tst_splash.moc"
