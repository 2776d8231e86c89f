#include "app/form2.h"
#include "tests/support/designcontrol.h"
#include "ui/balloon.h"
#include "ui/designlayer.h"
#include "ui/listview.h"
#include "ui/scaler.h"
#include "ui/shapes.h"

#include "platform/twips.h"

#include "tests/support/tempprogramfolder.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <QtTest>

using qv::test::designControl;

namespace {

// A line drawn by a widget of its own; its ends are kept in twips.
class LineWidget : public QWidget {
public:
    explicit LineWidget(QWidget* parent) : QWidget(parent) {}
    void setEnds(QLine l) {
        ends = l;
        setGeometry(QRect(qv::twipsToPixels(l.p1()), qv::twipsToPixels(l.p2())).normalized());
    }
    QLine ends;
};

class LineWidgets : public qv::LineEndsAccess {
public:
    std::optional<QLine> ends(const QWidget* c) const override {
        if (auto* l = dynamic_cast<const LineWidget*>(c))
            return l->ends;
        return std::nullopt;
    }
    void setEnds(QWidget* c, const QLine& ends) const override {
        static_cast<LineWidget*>(c)->setEnds(ends);
    }
};

QWidget* control(QWidget* form, const char* name, QRect twips) {
    auto* w = new QLabel(form);
    w->setObjectName(name);
    w->setGeometry(qv::twipsToPixels(twips.left(), twips.top(), twips.width(), twips.height()));
    return w;
}

} // namespace

class ScalerTest : public QObject {
    Q_OBJECT
private slots:
    void window();
    void layerControlsCountAsTheWindows();
    void mainWindow();
};

void ScalerTest::window() {
    qv::scaler::LayoutScaler scaler;
    LineWidgets lines;
    QWidget form;
    form.setObjectName("Form2");
    form.resize(600, 400); // 9000 x 6000 twips
    QWidget* text = control(&form, "Text10", QRect(1500, 1500, 3000, 900));
    QWidget* parked = control(&form, "Image2", QRect(1500 - 75000, 3000, 600, 600));
    auto* line = new LineWidget(&form);
    line->setObjectName("Line4");
    line->setEnds(QLine(150, 300, 4500, 300));
    QWidget* arr0 = control(&form, "imgIcon", QRect(0, 0, 300, 300));
    arr0->setProperty("controlIndex", 0);
    QWidget* arr1 = control(&form, "imgIcon", QRect(600, 0, 300, 300));
    arr1->setProperty("controlIndex", 1);
    auto* timer = new QTimer(&form);
    timer->setObjectName("Timer1");
    auto* unnamed = new QLabel(&form); // Qt's helpers and unnamed objects are no controls
    unnamed->setGeometry(1, 2, 3, 4);
    auto* balloon = new qv::BalloonWindow(&form); // a window of its own
    balloon->move(77, 88);

    qv::rescaleForm(scaler, form, &lines);
    const auto& records = scaler.controlRecords();
    QCOMPARE(records.size(), size_t(6));
    QCOMPARE(records[0].Name, QString("Text10"));
    QCOMPARE(records[0].Left, 1500);
    QCOMPARE(records[0].Width, 3000);
    QCOMPARE(records[1].Left, 1500); // recorded at its visible place
    QCOMPARE(records[2].Left, 150);
    QCOMPARE(records[2].Width, 4500);
    QCOMPARE(records[4].Index, 1);
    QCOMPARE(records[5].Name, QString("Timer1"));
    QCOMPARE(scaler.formRecords().front().ScaleWidth, 9000);
    QCOMPARE(text->geometry(), QRect(100, 100, 200, 60));

    form.resize(900, 200); // 150 % x 50 %
    qv::rescaleForm(scaler, form, &lines);
    QCOMPARE(text->geometry(), qv::twipsToPixels(2250, 750, 4500, 450));
    QCOMPARE(parked->geometry(), qv::twipsToPixels(2250 - 75000, 1500, 900, 300));
    QCOMPARE(line->ends, QLine(225, 150, 6750, 150));
    QCOMPARE(arr0->geometry(), qv::twipsToPixels(0, 0, 450, 150));
    QCOMPARE(arr1->geometry(), qv::twipsToPixels(900, 0, 450, 150));
    QCOMPARE(unnamed->geometry(), QRect(1, 2, 3, 4));
    QCOMPARE(balloon->pos(), QPoint(77, 88));
    QCOMPARE(text->font(), form.font()); // fonts stay

    // Back to the design size: back to the design places, without drift.
    form.resize(600, 400);
    qv::rescaleForm(scaler, form, &lines);
    QCOMPARE(text->geometry(), QRect(100, 100, 200, 60));
    QCOMPARE(line->ends, QLine(150, 300, 4500, 300));
}

// A layer covers its window: its controls are recorded and scaled as the window's own, the layer
// itself is no control.
void ScalerTest::layerControlsCountAsTheWindows() {
    qv::scaler::LayoutScaler scaler;
    QWidget form;
    form.setObjectName("Form2");
    form.resize(600, 400);
    auto* layer = new qv::DesignLayer(&form);
    layer->setObjectName("settingsLayer");
    QWidget* own = control(&form, "Label1", QRect(0, 0, 9000, 6000));
    QWidget* text = control(layer, "Text10", QRect(1500, 1500, 3000, 900));

    qv::rescaleForm(scaler, form);
    const auto& records = scaler.controlRecords();
    QCOMPARE(records.size(), size_t(2));
    QCOMPARE(records[0].Name, QString("Text10")); // the layer's, in the window's child order
    QCOMPARE(records[0].Left, 1500);
    QCOMPARE(records[1].Name, QString("Label1"));

    form.resize(900, 200);
    layer->setGeometry(form.rect()); // the window keeps its layers at its size
    qv::rescaleForm(scaler, form);
    QCOMPARE(text->geometry(), qv::twipsToPixels(2250, 750, 4500, 450));
    QCOMPARE(own->geometry(), qv::twipsToPixels(0, 0, 13500, 3000));
    QCOMPARE(layer->geometry(), form.rect());
}

void ScalerTest::mainWindow() {
    qv::test::TempProgramFolder folder;
    Form2 form;
    const QFont font = designControl<QLineEdit>(form, "Text10")->font();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Showing the window changes no size: the load step's browser height stays.
    QCOMPARE(designControl<ListView>(form, "ListView1")->height(), qv::twipsToPixels(7650));
    QCOMPARE(designControl<QLineEdit>(form, "Text10")->geometry(),
             qv::twipsToPixels(8985, 2895, 2325, 390));

    form.resize(qv::twipsToPixels(QSize(12075 * 2, 7680 / 2))); // the resize event rescales
    QCOMPARE(designControl<QLineEdit>(form, "Text10")->geometry(),
             qv::twipsToPixels(17970, 1447, 4650, 195));
    QCOMPARE(designControl<LineShape>(form, "Line4")->From(), QPoint(15600, 960));
    QCOMPARE(designControl<LineShape>(form, "Line4")->To(), QPoint(22980, 960));
    QCOMPARE(designControl<ListView>(form, "ListView1")->geometry(),
             qv::twipsToPixels(0, 0, 14760, 2505)); // from its record
    QCOMPARE(designControl<QLineEdit>(form, "Text10")->font(), font);
    // The panels cover the window whatever its size.
    QCOMPARE(designControl<QLineEdit>(form, "Text10")->parentWidget()->geometry(), form.rect());

    form.resize(qv::twipsToPixels(QSize(12075, 7680)));
    QCOMPARE(designControl<QLineEdit>(form, "Text10")->geometry(),
             qv::twipsToPixels(8985, 2895, 2325, 390));
}

QTEST_MAIN(ScalerTest)
#include "tst_scaler.moc"
