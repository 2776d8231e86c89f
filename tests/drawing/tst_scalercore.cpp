#include "drawing/scalercore.h"

#include <QtTest>

#include <functional>
#include <memory>

using namespace qv::scaler;

namespace {

// A control with whatever properties a test gives it.
class FakeControl : public ScalableControl {
public:
    FakeControl(QString name, QRect twips) : name_(std::move(name)), rect_(twips) {}

    QString name() const override { return name_; }
    std::optional<qint32> index() const override { return index_; }
    bool isLine() const override { return line_.has_value(); }
    std::optional<double> left() const override { return get(rect_.left()); }
    std::optional<double> top() const override { return get(rect_.top()); }
    std::optional<double> width() const override { return get(rect_.width()); }
    std::optional<double> height() const override { return get(rect_.height()); }
    std::optional<double> lineEnd(LineEnd e) const override {
        return line_ ? std::optional<double>(lineEndOf(*line_, e)) : std::nullopt;
    }
    bool setLineEnd(LineEnd e, qint32 v) override {
        if (!line_)
            return false;
        line_ = withLineEnd(*line_, e, v);
        return true;
    }
    bool move(qint32 left, qint32 top, std::optional<qint32> width,
              std::optional<qint32> height) override {
        ++moves;
        if (onMove)
            onMove();
        if (!placed_ || line_ || (height && refuseHeight) || (width && refuseSize))
            return false;
        rect_ = QRect(left, top, width.value_or(rect_.width()), height.value_or(rect_.height()));
        return true;
    }
    bool setIntegralHeight(bool on) override {
        integralHeight = on;
        return true;
    }

    QRect rect() const { return rect_; }
    QLine line() const { return line_.value_or(QLine()); }

    FakeControl& withIndex(int i) {
        index_ = i;
        return *this;
    }
    FakeControl& asLine(QLine l) {
        line_ = l;
        return *this;
    }
    FakeControl& withoutPlace() {
        placed_ = false;
        return *this;
    }

    bool refuseHeight = false;
    bool refuseSize = false;
    bool integralHeight = true;
    int moves = 0;
    std::function<void()> onMove;

private:
    std::optional<double> get(int v) const {
        return placed_ ? std::optional<double>(v) : std::nullopt;
    }

    QString name_;
    QRect rect_;
    std::optional<int> index_;
    std::optional<QLine> line_;
    bool placed_ = true;
};

class FakeForm : public ScalableForm {
public:
    FakeForm(QString name, QSize innerSize) : inner(innerSize), name_(std::move(name)) {}
    QString name() const override { return name_; }
    double top() const override { return formTop; }
    double left() const override { return 600; }
    double height() const override { return inner.height() + 500; }
    double width() const override { return inner.width() + 120; }
    double scaleHeight() const override { return inner.height(); }
    double scaleWidth() const override { return inner.width(); }
    std::vector<ScalableControl*> controls() override {
        std::vector<ScalableControl*> out;
        for (auto& c : list)
            out.push_back(c.get());
        return out;
    }
    FakeControl& add(const QString& name, QRect twips) {
        list.push_back(std::make_unique<FakeControl>(name, twips));
        return *list.back();
    }

    QSize inner;
    double formTop = 1200;
    std::vector<std::unique_ptr<FakeControl>> list;

private:
    QString name_;
};

enum class Kind { Plain, Line, NoHeight, NoSize, NoPlace };

} // namespace

class ScalerCoreTest : public QObject {
    Q_OBJECT
private slots:
    void lineEnds_data();
    void lineEnds();
    void rescale_data();
    void rescale();
    void records();
    void controlArrays();
    void parkedForm();
    void guardAgainstNesting();
    void percentages();
};

// Each end coordinate is read from its own place and replaced alone.
void ScalerCoreTest::lineEnds_data() {
    QTest::addColumn<int>("end");
    QTest::addColumn<int>("value");
    QTest::addColumn<QLine>("replaced");
    QTest::newRow("X1") << int(LineEnd::X1) << 10 << QLine(99, 20, 30, 40);
    QTest::newRow("Y1") << int(LineEnd::Y1) << 20 << QLine(10, 99, 30, 40);
    QTest::newRow("X2") << int(LineEnd::X2) << 30 << QLine(10, 20, 99, 40);
    QTest::newRow("Y2") << int(LineEnd::Y2) << 40 << QLine(10, 20, 30, 99);
}

void ScalerCoreTest::lineEnds() {
    QFETCH(int, end);
    QFETCH(int, value);
    QFETCH(QLine, replaced);
    const QLine line(10, 20, 30, 40);
    QCOMPARE(lineEndOf(line, LineEnd(end)), value);
    QCOMPARE(withLineEnd(line, LineEnd(end), 99), replaced);
}

// A form recorded at 900 x 600 and then rescaled at the inner size of each row.
void ScalerCoreTest::rescale_data() {
    QTest::addColumn<int>("kind");
    QTest::addColumn<QRect>("design"); // for a line: x1, y1 as left, top; x2, y2 as width, height
    QTest::addColumn<int>("leftNow");  // the control's left (x1) at the rescale; design when 0
    QTest::addColumn<QSize>("innerNow");
    QTest::addColumn<QRect>("expected");

    const QRect r(1000, 1000, 2000, 600);
    QTest::newRow("first size: all stay") << int(Kind::Plain) << r << 0 << QSize(900, 600) << r;
    QTest::newRow("150% x 50%") << int(Kind::Plain) << r << 0 << QSize(1350, 300)
                                << QRect(1500, 500, 3000, 300);
    QTest::newRow("half a percent wider: nothing moves")
        << int(Kind::Plain) << r << 0 << QSize(908, 600) << r;
    QTest::newRow("99%") << int(Kind::Plain) << r << 0 << QSize(891, 594)
                         << QRect(990, 990, 1980, 594);
    QTest::newRow("1%, truncated") << int(Kind::Plain) << QRect(1050, 1090, 2099, 650) << 0
                                   << QSize(9, 6) << QRect(10, 10, 20, 6);
    QTest::newRow("negative top truncates toward zero")
        << int(Kind::Plain) << QRect(0, -30, 100, 100) << 0 << QSize(900, 198)
        << QRect(0, -9, 100, 33);
    QTest::newRow("parked control stays parked")
        << int(Kind::Plain) << QRect(-74000, 1000, 2000, 600) << -74000 << QSize(1350, 300)
        << QRect(-73500, 500, 3000, 300);
    QTest::newRow("parked after recording")
        << int(Kind::Plain) << r << -74000 << QSize(1350, 300) << QRect(-73500, 500, 3000, 300);
    QTest::newRow("line") << int(Kind::Line) << QRect(100, 200, 3000, 200) << 0 << QSize(1350, 300)
                          << QRect(150, 100, 4500, 100);
    QTest::newRow("parked line") << int(Kind::Line) << QRect(-74900, 200, -72000, 200) << -74900
                                 << QSize(1350, 300) << QRect(150 - 75000, 100, 4500 - 75000, 100);
    QTest::newRow("height refused: width and place")
        << int(Kind::NoHeight) << r << 0 << QSize(1350, 300) << QRect(1500, 500, 3000, 600);
    QTest::newRow("size refused: place only")
        << int(Kind::NoSize) << r << 0 << QSize(1350, 300) << QRect(1500, 500, 2000, 600);
}

void ScalerCoreTest::rescale() {
    QFETCH(int, kind);
    QFETCH(QRect, design);
    QFETCH(int, leftNow);
    QFETCH(QSize, innerNow);
    QFETCH(QRect, expected);

    LayoutScaler scaler;
    FakeForm form("Form2", QSize(900, 600));
    FakeControl& c = form.add("Text10", design);
    if (Kind(kind) == Kind::Line)
        c.asLine(QLine(design.left(), design.top(), design.width(), design.height()));
    c.refuseHeight = Kind(kind) == Kind::NoHeight;
    c.refuseSize = Kind(kind) == Kind::NoSize;

    scaler.rescaleForm(form); // records, everything at 100 %
    if (Kind(kind) == Kind::Line)
        QCOMPARE(c.line(), QLine(design.left(), design.top(), design.width(), design.height()));
    else
        QCOMPARE(c.rect(), design);

    if (leftNow != 0) {
        if (Kind(kind) == Kind::Line)
            c.setLineEnd(LineEnd::X1, leftNow), c.setLineEnd(LineEnd::X2, leftNow);
        else
            c.move(leftNow, c.rect().top(), std::nullopt, std::nullopt);
    }
    c.moves = 0;
    form.inner = innerNow;
    scaler.rescaleForm(form);
    if (Kind(kind) == Kind::Line) {
        QCOMPARE(c.line(),
                 QLine(expected.left(), expected.top(), expected.width(), expected.height()));
        QCOMPARE(c.moves, 0); // a line is not moved, its ends are set
    } else {
        QCOMPARE(c.rect(), expected);
        QCOMPARE(c.moves, 3);
    }
}

void ScalerCoreTest::records() {
    LayoutScaler scaler;
    FakeForm form("Form2", QSize(12075, 7680));
    form.add("Label1", QRect(0, -30, 12120, 7965));
    form.add("Line4", {}).asLine(QLine(7800, 1920, 11490, 1920));
    form.add("Image2", QRect(-65310, 8325, 1125, 1020)); // parked at design
    FakeControl& timer = form.add("Timer1", {}).withoutPlace();

    scaler.rescaleForm(form);
    QCOMPARE(scaler.formRecords().size(), size_t(1));
    const LayoutRecord& f = scaler.formRecords().front();
    QCOMPARE(f, (LayoutRecord{"Form2", 0, "", 1200, 600, 7680 + 500, 12075 + 120, 7680, 12075}));
    const auto& c = scaler.controlRecords();
    QCOMPARE(c.size(), size_t(4));
    QCOMPARE(c[0], (LayoutRecord{"Label1", 0, "Form2", -30, 0, 7965, 12120, 0, 0}));
    QCOMPARE(c[1], (LayoutRecord{"Line4", 0, "Form2", 1920, 7800, 1920, 11490, 0, 0}));
    QCOMPARE(c[2], (LayoutRecord{"Image2", 0, "Form2", 8325, 9690, 1020, 1125, 0, 0}));
    QCOMPARE(c[3], (LayoutRecord{"Timer1", 0, "Form2", 0, 0, 0, 0, 0, 0}));
    QVERIFY(!form.list[0]->integralHeight); // switched off when recorded

    // Later calls add no records; a control without a place is never moved.
    form.inner = QSize(24150, 15360);
    scaler.rescaleForm(form);
    QCOMPARE(scaler.controlRecords().size(), size_t(4));
    QCOMPARE(scaler.formRecords().size(), size_t(1));
    QCOMPARE(form.list[2]->rect(), QRect(19380 - 75000, 16650, 2250, 2040));
    QCOMPARE(timer.rect(), QRect());

    // A second form gets records of its own, even with a control of the same name.
    FakeForm other("frmOther", QSize(300, 300));
    other.add("Label1", QRect(10, 10, 10, 10));
    scaler.rescaleForm(other);
    QCOMPARE(scaler.formRecords().size(), size_t(2));
    QCOMPARE(scaler.controlRecords().back().FormName, QString("frmOther"));

    // A control added after its form was recorded is left where it is.
    FakeControl& late = form.add("Late", QRect(5, 5, 5, 5));
    scaler.rescaleForm(form);
    QCOMPARE(late.rect(), QRect(5, 5, 5, 5));
    QCOMPARE(late.moves, 0);
}

void ScalerCoreTest::controlArrays() {
    LayoutScaler scaler;
    FakeForm form("frmTip", QSize(900, 600));
    FakeControl& a = form.add("imgIcon", QRect(100, 100, 100, 100)).withIndex(0);
    FakeControl& b = form.add("imgIcon", QRect(400, 200, 60, 60)).withIndex(1);
    scaler.rescaleForm(form);
    QCOMPARE(scaler.controlRecords().size(), size_t(2));
    QCOMPARE(scaler.controlRecords()[1].Index, 1);
    form.inner = QSize(1800, 1200);
    scaler.rescaleForm(form);
    QCOMPARE(a.rect(), QRect(200, 200, 200, 200));
    QCOMPARE(b.rect(), QRect(800, 400, 120, 120));
    // A control that is not in an array matches the first record of its name.
    FakeControl single("imgIcon", {});
    QCOMPARE(scaler.findControlRecord(single, "frmTip"), 0);
    QCOMPARE(scaler.findControlRecord(b, "frmTip"), 1);
    QCOMPARE(scaler.findControlRecord(b, "frmtip"), -1); // names compare exactly
}

void ScalerCoreTest::parkedForm() {
    LayoutScaler scaler;
    FakeForm form("Form2", QSize(900, 600));
    FakeControl& c = form.add("Text1", QRect(1000, 1000, 2000, 600));
    form.formTop = 30000;
    scaler.rescaleForm(form);
    QVERIFY(scaler.formRecords().empty()); // not even recorded
    form.formTop = 29999;
    scaler.rescaleForm(form);
    QCOMPARE(scaler.formRecords().size(), size_t(1));
    form.formTop = 45000;
    form.inner = QSize(1800, 1200);
    scaler.rescaleForm(form);
    QCOMPARE(c.rect(), QRect(1000, 1000, 2000, 600));
    QCOMPARE(c.moves, 3); // only the first, recording call moved it (to where it was)
}

void ScalerCoreTest::guardAgainstNesting() {
    LayoutScaler scaler;
    FakeForm form("Form2", QSize(900, 600));
    FakeControl& c = form.add("ListView1", QRect(0, 0, 900, 600));
    int nested = 0;
    c.onMove = [&] {
        ++nested;
        QVERIFY(scaler.rescaleRunning());
        scaler.rescaleForm(form); // as a resize raised by the move would
    };
    scaler.rescaleForm(form);
    QCOMPARE(nested, 3); // the three moves, none of them nested a rescale
    QVERIFY(!scaler.rescaleRunning());
}

void ScalerCoreTest::percentages() {
    LayoutScaler scaler;
    FakeForm form("Form2", QSize(900, 600));
    QCOMPARE(scaler.widthPercent(form), 100); // records the form on the way
    QCOMPARE(scaler.formRecords().size(), size_t(1));
    form.inner = QSize(1350, 300);
    QCOMPARE(scaler.widthPercent(form), 150);
    QCOMPARE(scaler.heightPercent(form), 50);
    form.inner = QSize(908, 1);
    QCOMPARE(scaler.widthPercent(form), 100);
    QCOMPARE(scaler.heightPercent(form), 0);

    FakeForm empty("Empty", QSize(0, 0)); // gives no proportion: nothing moves
    QCOMPARE(scaler.widthPercent(empty), 100);
    QCOMPARE(normaliseLeft(-74000), 1000);
    QCOMPARE(normaliseLeft(0), 0);
    QCOMPARE(normaliseLeft(5), 5);
}

QTEST_MAIN(ScalerCoreTest)
#include "tst_scalercore.moc"
