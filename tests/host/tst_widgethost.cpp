// The run-time host of a control: which changes around the control reach it as ambient font
// changes. Only the font of the element holding the control counts, not a move of the control.
#include "controls/host/widgethost.h"

#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

using qv::host::WidgetHost;

namespace {

// A window with a frame holding the control, and a second window with another font.
struct Scene {
    Scene() {
        window.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        other.setFont(QFont(QStringLiteral("DejaVu Serif"), 11));
        frame = new QWidget(&window);
        control = new QWidget(frame);
        host = new WidgetHost(control);
    }
    void perform(const QString& step) {
        const QFont changed(QStringLiteral("DejaVu Sans Mono"), 13);
        if (step == QLatin1String("move"))
            control->setParent(&other);
        else if (step == QLatin1String("layout"))
            (new QVBoxLayout(&other))->addWidget(control);
        else if (step == QLatin1String("frame font"))
            frame->setFont(changed);
        else if (step == QLatin1String("window font"))
            window.setFont(changed);
        else if (step == QLatin1String("other font"))
            other.setFont(changed);
        else if (step == QLatin1String("same font"))
            frame->setFont(frame->font());
        else if (step == QLatin1String("own font"))
            control->setFont(changed);
    }
    QWidget window;
    QWidget other;
    QWidget* frame = nullptr;
    QWidget* control = nullptr;
    WidgetHost* host = nullptr;
};

} // namespace

class WidgetHostTest : public QObject {
    Q_OBJECT
private slots:
    void ambientFontChanges_data() {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("fontChanges");
        QTest::newRow("moved to another window") << QStringList{"move"} << 0;
        QTest::newRow("added to a layout elsewhere") << QStringList{"layout"} << 0;
        QTest::newRow("container's font") << QStringList{"frame font"} << 1;
        QTest::newRow("font inherited by the container") << QStringList{"window font"} << 1;
        QTest::newRow("container's font set unchanged") << QStringList{"same font"} << 0;
        QTest::newRow("the control's own font") << QStringList{"own font"} << 0;
        QTest::newRow("new container's font after a move")
            << QStringList{"move", "other font"} << 1;
        QTest::newRow("old container's font after a move")
            << QStringList{"move", "frame font"} << 0;
    }

    void ambientFontChanges() {
        QFETCH(QStringList, steps);
        QFETCH(int, fontChanges);
        Scene scene;
        QSignalSpy spy(scene.host, &WidgetHost::ambientChanged);
        for (const QString& step : steps)
            scene.perform(step);
        int fonts = 0;
        for (const QList<QVariant>& args : spy)
            fonts += args.at(0).toString() == QLatin1String("Font");
        QCOMPARE(fonts, fontChanges);
        QCOMPARE(scene.host->ambientFont(), scene.control->parentWidget()->font());
    }
};

QTEST_MAIN(WidgetHostTest)
#include "tst_widgethost.moc"
