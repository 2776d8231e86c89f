#include "controls/host/componenthost.h"
#include "controls/host/propertybag.h"
#include "controls/tamsel/colorscheme.h"
#include "controls/tamsel/tamselbutton.h"
#include "platform/services.h"

#include <QTest>
#include <QVBoxLayout>

using namespace qv::tamsel;
using qv::host::PropertyBag;
using qv::host::RecordingHost;

namespace {

Colour pixelAt(const TamselButton& b, int x, int y) {
    return fromQRgb(b.backImage().pixel(x, y));
}

// A run-time window holding one button loaded from a stored set.
struct Form {
    explicit Form(std::initializer_list<std::pair<const char*, QVariant>> settings) {
        window.resize(200, 100);
        window.setAutoFillBackground(true);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, QColor(0x2F, 0x6F, 0x8F));
        window.setPalette(pal);
        button = new TamselButton(&window, &host);
        button->setGeometry(10, 10, 100, 30);
        button->setPointerProbe([this] { return pointerOver; });
        PropertyBag bag;
        button->WriteProperties(bag);
        for (const auto& [key, value] : settings)
            bag.write(QString::fromLatin1(key), value);
        button->ReadProperties(bag);
    }
    QWidget window;
    RecordingHost host;
    TamselButton* button = nullptr;
    bool pointerOver = false;
};

} // namespace

class TamselWidgetTest : public QObject {
    Q_OBJECT
    const qv::ScopedServices greySystemColours{
        [](qv::Services& s) { s.systemColourSource = [](int) { return Colour(0xC0C0C0); }; }};

private slots:
    void nothingBeforeTheFirstShow() {
        Form f({{"BSTYLE", 2}});
        f.button->resize(100, 30);
        QVERIFY(!f.button->data().run.shown);
        QVERIFY(f.button->windowRegion().isEmpty());
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QVERIFY(f.button->data().run.shown);
        const QRegion r = f.button->windowRegion();
        QVERIFY(r.contains(QPoint(50, 15)));
        QVERIFY(!r.contains(QPoint(1, 28)));
        QVERIFY(!r.contains(QPoint(98, 1)));
        QCOMPARE(f.button->mask(), r);
        QCOMPARE(f.button->backImage().size(), QSize(100, 30));
    }

    void resizeRebuildsRegionAndImage() {
        Form f({{"BTYPE", 1}});
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.button->resize(60, 20);
        QCOMPARE(f.button->backImage().size(), QSize(60, 20));
        QVERIFY(!f.button->windowRegion().contains(QPoint(59, 19)));
        QVERIFY(f.button->windowRegion().contains(QPoint(58, 19)));
    }

    void hoverRaisedShowsTheParentUntilHovered() {
        Form f({{"BTYPE", 7}, {"COLTYPE", 2}, {"BCOL", qint64(0xD0E0F0)}, {"TX", QString()}});
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QCOMPARE(pixelAt(*f.button, 50, 15), 0x8F6F2Fu);
        f.pointerOver = true;
        f.button->pointerMove(0, 0, 50, 15);
        QCOMPARE(pixelAt(*f.button, 50, 15), 0xD0E0F0u);
        f.pointerOver = false;
        f.button->hoverTick();
        QCOMPARE(pixelAt(*f.button, 50, 15), 0x8F6F2Fu);
    }

    void faceFollowsThePalette() {
        Form f({{"BTYPE", 6}, {"COLTYPE", 2}, {"BCOL", qint64(0x3366CC)}, {"TX", QString()}});
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QCOMPARE(pixelAt(*f.button, 50, 15), 0x3366CCu);
    }

    // Moving a loaded button into a layout on another window is no ambient font change; a new
    // font of the window it now sits on is.
    void aMoveKeepsTheLoadedFont() {
        QWidget window;
        window.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        auto* layout = new QVBoxLayout(&window);
        auto* button = new TamselButton(); // the run-time host
        QFont loaded(QStringLiteral("DejaVu Serif"), 14);
        loaded.setBold(true);
        PropertyBag bag;
        button->WriteProperties(bag);
        bag.write(QStringLiteral("FONT"), loaded);
        button->ReadProperties(bag);
        layout->addWidget(button);
        QCOMPARE(button->parentWidget(), &window);
        PropertyBag saved;
        button->WriteProperties(saved);
        for (const QFont& font : {button->captionFont(), saved.readFont("FONT", QFont())}) {
            QCOMPARE(font.family(), loaded.family());
            QCOMPARE(font.pointSize(), 14);
            QVERIFY(font.bold());
        }

        window.setFont(QFont(QStringLiteral("DejaVu Sans Mono"), 11));
        QCOMPARE(button->captionFont().family(), QStringLiteral("DejaVu Sans Mono"));
        QCOMPARE(button->captionFont().pointSize(), 11);
    }

    void refreshButtonPresentsTheBackImage() {
        Form f({{"BTYPE", 2}, {"COLTYPE", 3}});
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        const QImage shown = f.button->grab().toImage();
        QCOMPARE(fromQRgb(shown.pixel(50, 3)), pixelAt(*f.button, 50, 3));
    }
};

QTEST_MAIN(TamselWidgetTest)
#include "tst_tamselwidget.moc"
