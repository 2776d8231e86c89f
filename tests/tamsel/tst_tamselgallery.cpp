#include "controls/tamsel/gallery/tamselgallery.h"
#include "controls/tamsel/tamselbutton.h"

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTest>
#include <memory>

using qv::tamsel::TamselButton;

// The gallery program saves a picture of itself into the build folder for review.
class TamselGalleryTest : public QObject {
    Q_OBJECT
private slots:
    void galleryShowsEveryTypeAndScheme() {
        std::unique_ptr<QWidget> gallery(qv::tamsel::createGallery());
        QSet<QPair<int, int>> combinations;
        bool icon = false, vertical = false, slanted = false, disabled = false, option = false;
        for (TamselButton* b : gallery->findChildren<TamselButton*>()) {
            combinations.insert({b->buttonType(), b->colorScheme()});
            icon |= b->data().run.hasIcon;
            vertical |= b->captionOrientation() != 0;
            slanted |= b->buttonStyle() != 0;
            disabled |= !b->buttonEnabled();
            option |= b->optionButton();
        }
        for (int type = 1; type <= 8; ++type)
            for (int scheme = 1; scheme <= 5; ++scheme)
                QVERIFY2(combinations.contains({type, scheme}),
                         qPrintable(QStringLiteral("type %1 scheme %2").arg(type).arg(scheme)));
        QVERIFY(icon && vertical && slanted && disabled && option);
    }

    void screenshot() {
        const QString out =
            QDir(qEnvironmentVariable("QV_BUILD_DIR")).filePath("tamsel-gallery.png");
        QFile::remove(out);
        QProcess gallery;
        gallery.start(QStringLiteral(TAMSEL_GALLERY_PATH), {"--screenshot", out});
        QVERIFY(gallery.waitForFinished(60000));
        QCOMPARE(gallery.exitCode(), 0);
        QImage image(out);
        QVERIFY(!image.isNull());
        QVERIFY(image.width() > 900 && image.height() > 400);
    }
};

QTEST_MAIN(TamselGalleryTest)
#include "tst_tamselgallery.moc"
