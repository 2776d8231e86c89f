#include "app/form2.h"
#include "app/splash.h"
#include "platform/services.h"
#include "platform/versionquery.h"
#include "tests/support/designcontrol.h"
#include "tests/support/fixedversion.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/animationplayer.h"
#include "ui/shapes.h"

#include <QApplication>
#include <QFile>
#include <QtTest>
#include <optional>

using qv::test::designControl;

using qv::test::TempProgramFolder;

namespace {

QList<Form2*> mainWindows() {
    QList<Form2*> found;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (auto* form = qobject_cast<Form2*>(w))
            found.append(form);
    return found;
}

void flushDeletes() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace

// The program's start as main() wires it: the splash window, then the main window.
class TestStartup : public QObject {
    Q_OBJECT
    std::optional<qv::ScopedServices> services;
    std::unique_ptr<TempProgramFolder> folder;

private slots:
    void init() {
        services.emplace([](qv::Services& s) {
            s.versionQuery = qv::test::fixedVersion(qv::kPlatformNT, 5, 1);
            s.openMainWindow = [] {
                auto* main = new Form2;
                main->setAttribute(Qt::WA_DeleteOnClose);
                main->show();
            };
            s.splashCloseDelayMs = 80;
        });
        folder = std::make_unique<TempProgramFolder>();
        QFile clip(qv::test::sourcePath("assets/Download.avi"));
        QVERIFY(clip.open(QIODevice::ReadOnly));
        folder->write("Download.avi", clip.readAll());
        OpenMainAfterSplash = true;
    }
    void cleanup() {
        OpenMainAfterSplash = false;
        for (Form2* f : mainWindows())
            f->close();
        SplashWindow::unload();
        flushDeletes();
        folder.reset();
        services.reset();
    }

    void splashOpensTheMainWindowOnce() {
        SplashWindow::showSplash();
        QVERIFY(mainWindows().isEmpty());
        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, 3000);
        QVERIFY(!SplashWindow::isLoaded());
        Form2* main = mainWindows().first();
        QVERIFY(main->isVisible());
        // Loading the window opened the download clip, hidden and not playing.
        QVERIFY(designControl<qv::AnimationPlayer>(*main, "Animation1")->isOpen());
        QVERIFY(designControl<qv::AnimationPlayer>(*main, "Animation1")->isHidden());
        QVERIFY(!designControl<qv::AnimationPlayer>(*main, "Animation1")->isPlaying());
        QTest::qWait(200);
        QCOMPARE(mainWindows().size(), 1);
    }

    void aboutPictureShowsTheSplashWithoutASecondMainWindow() {
        SplashWindow::showSplash();
        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, 3000);
        flushDeletes();
        Form2* main = mainWindows().first();
        emit designControl<PictureBox>(*main, "Image3")->Click();
        QVERIFY(SplashWindow::isLoaded());
        QVERIFY(SplashWindow::form().isVisible());
        QTRY_VERIFY_WITH_TIMEOUT(!SplashWindow::isLoaded(), 3000);
        QTest::qWait(150);
        QCOMPARE(mainWindows().size(), 1);
    }

    void closingTheMainWindowUnloadsTheAboutView() {
        SplashWindow::showSplash();
        QTRY_COMPARE_WITH_TIMEOUT(mainWindows().size(), 1, 3000);
        qv::Services longer = qv::services();
        longer.splashCloseDelayMs = 100000;
        qv::installServices(longer);
        emit designControl<PictureBox>(*mainWindows().first(), "Image3")->Click();
        QVERIFY(SplashWindow::isLoaded());
        mainWindows().first()->close();
        QVERIFY(!SplashWindow::isLoaded());
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
