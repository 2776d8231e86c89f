#include "app/progress.h"
#include "tests/support/designcontrol.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/animationplayer.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLabel>
#include <QProgressBar>
#include <QtTest>

using qv::test::designControl;

namespace {

bool hasColoursOtherThan(const QImage& image, QRgb colour) {
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) != colour)
                return true;
    return false;
}

} // namespace

class TestProgress : public QObject {
    Q_OBJECT
    std::unique_ptr<qv::test::TempProgramFolder> folder;

private slots:
    void init() {
        folder = std::make_unique<qv::test::TempProgramFolder>();
        QFile clip(qv::test::sourcePath("assets/AccessDatabase.avi"));
        QVERIFY(clip.open(QIODevice::ReadOnly));
        folder->write("AccessDatabase.avi", clip.readAll());
    }
    void cleanup() {
        Progress::unload();
        QVERIFY(!Progress::isLoaded());
        folder.reset();
    }

    void loadStep() {
        Progress& p = Progress::form();
        QCOMPARE(p.windowTitle(), QString("Please wait"));
        QCOMPARE(p.size(), QSize(279, 88)); // 4185 x 1320 twips
        QCOMPARE(p.palette().color(QPalette::Window), QColor(88, 146, 231));
        const auto* clip = designControl<qv::AnimationPlayer>(p, "Animation1");
        QVERIFY(clip->isOpen());
        QVERIFY(clip->isPlaying());
        const auto* bar = designControl<QProgressBar>(p, "ProgressBar1");
        QCOMPARE(bar->value(), 0);
        QCOMPARE(bar->minimum(), 0);
        QCOMPARE(&Progress::form(), &p); // one window while loaded
    }

    void controlPositions_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("pixels");
        QTest::newRow("Animation1") << "Animation1" << QRect(8, -1, 266, 38);
        QTest::newRow("bar") << "ProgressBar1" << QRect(26, 43, 223, 17);
        QTest::newRow("Label1") << "Label1" << QRect(31, 68, 214, 22);
        QTest::newRow("Image1") << "Image1" << QRect(362, 11, 61, 57);
    }
    void controlPositions() {
        QFETCH(QString, name);
        QFETCH(QRect, pixels);
        auto* control = Progress::form().findChild<QWidget*>(name);
        QVERIFY(control);
        QCOMPARE(control->geometry(), pixels);
    }

    void fedByAnAction() {
        Progress& p = Progress::form();
        p.showWindow();
        p.setCaption("Exporting");
        p.setPictureVisible(false);
        p.setMaximum(20);
        p.setValue(7);
        p.setStatus("Loading Record 7 of 20");
        QCOMPARE(p.windowTitle(), QString("Exporting"));
        const auto* picture = designControl<QLabel>(p, "Image1");
        QVERIFY(picture->isHidden());
        QCOMPARE(p.maximum(), 20);
        QCOMPARE(p.value(), 7);
        QCOMPARE(p.statusText(), QString("Loading Record 7 of 20"));
        p.setValue(25); // past the end: full, not ignored
        QCOMPARE(p.value(), 20);
        p.setPictureVisible(true);
        QVERIFY(!picture->isHidden());
    }

    // An action that never returns to the event loop still sees the window move.
    void clipMovesWhileAnActionRuns() {
        Progress& p = Progress::form();
        p.showWindow();
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        p.setMaximum(1000000);
        const auto* clip = designControl<qv::AnimationPlayer>(p, "Animation1");
        const int firstFrame = clip->currentFrame();
        // Fed without a return to the event loop until the clip has moved on (or a generous
        // deadline passes: then it never moved).
        const QDeadlineTimer deadline(20000);
        int value = 0;
        while (clip->currentFrame() == firstFrame && !deadline.hasExpired())
            p.setValue(++value % 1000000);
        QVERIFY(clip->currentFrame() != firstFrame);
    }

    void missingClipLeavesTheWindowWorking() {
        QFile::remove(folder->filePath("AccessDatabase.avi"));
        Progress& p = Progress::form();
        const auto* clip = designControl<qv::AnimationPlayer>(p, "Animation1");
        QVERIFY(!clip->isOpen());
        p.showWindow();
        p.setMaximum(10);
        p.setValue(1);
        p.setStatus("Loading Record 1 of 10");
        QVERIFY(p.isVisible());
        QVERIFY(!clip->isPlaying());
        QCOMPARE(designControl<QProgressBar>(p, "ProgressBar1")->value(), 1);
        QCOMPARE(p.statusText(), QString("Loading Record 1 of 10"));
    }

    void unloadAndLoadAgain() {
        Progress::form().showWindow();
        Progress::unload();
        QVERIFY(!Progress::isLoaded());
        Progress::unload(); // nothing to do
        Progress& again = Progress::form();
        QCOMPARE(again.windowTitle(), QString("Please wait"));
        QCOMPARE(again.value(), 0);
    }

    void picture() {
        Progress& p = Progress::form();
        p.showWindow();
        p.setMaximum(10);
        p.setValue(4);
        p.setStatus("Loading Record 4 of 10");
        QVERIFY(QTest::qWaitForWindowExposed(&p));
        const QImage shot = p.grab().toImage();
        QCOMPARE(shot.size(), QSize(279, 88));
        // The window's blue around the controls; the bar filled on its left four tenths only;
        // the status written below it.
        QCOMPARE(QColor(shot.pixel(2, 84)), QColor(88, 146, 231));
        const QRect bar = designControl<QProgressBar>(p, "ProgressBar1")->geometry();
        const QColor filled = shot.pixel(bar.left() + bar.width() / 5, bar.center().y());
        const QColor empty = shot.pixel(bar.left() + bar.width() * 9 / 10, bar.center().y());
        QVERIFY2(filled != empty, qPrintable(filled.name() + " " + empty.name()));
        const QRect status = designControl<QLabel>(p, "Label1")->geometry() & shot.rect();
        QVERIFY(hasColoursOtherThan(shot.copy(status), shot.pixel(status.topLeft())));
        const QString build = QString::fromLocal8Bit(qgetenv("QV_BUILD_DIR"));
        if (!build.isEmpty())
            QVERIFY(shot.save(build + "/progress.png"));
    }
};

QTEST_MAIN(TestProgress)
#include "tst_progress.moc"
