#include "controls/command/command.h"
#include "controls/command/commandface.h"
#include "controls/host/componenthost.h"
#include "controls/host/propertybag.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

using qv::command::Face;
using qv::command::FaceMachine;
using qv::host::PropertyBag;

Q_DECLARE_METATYPE(qv::command::Face)

namespace {

// Events of the face-state table, written as letters: m move, d left down, u left up,
// r right up, f focus in, o focus out, k access key, x pointer elsewhere, e disable, E enable.
FaceMachine::Result step(FaceMachine& m, QChar event) {
    switch (event.unicode()) {
    case 'm':
        return m.mouseMove();
    case 'd':
        return m.buttonDown(true);
    case 'u':
        return m.buttonUp(true);
    case 'r':
        return m.buttonUp(false);
    case 'f':
        return m.focusIn();
    case 'o':
        return m.focusOut();
    case 'k':
        return m.accessKey();
    case 'x':
        return m.dropHover();
    case 'e':
        m.setEnabled(false);
        return m.refresh();
    case 'E':
        m.setEnabled(true);
        return m.refresh();
    }
    return {};
}

QString faces(const std::vector<Face>& list) {
    static const char* names[] = {"Normal",   "HighLight",       "Pressed",
                                  "Selected", "HighLightSelect", "Disable"};
    QStringList out;
    for (Face f : list)
        out << QLatin1String(names[static_cast<int>(f)]);
    return out.join(QLatin1Char(','));
}

// A ready button: enabled, initialised, pointer check told the pointer is elsewhere.
struct Fixture {
    QWidget window;
    Command* button;
    QWidget* under = nullptr;
    QLineEdit* field;
    Fixture() {
        window.resize(300, 120);
        field = new QLineEdit(&window); // takes the focus when the window opens
        field->move(10, 80);
        button = new Command(&window);
        button->move(10, 10);
        button->setPointerProbe([this] { return under; });
        button->Initialize();
    }
    // Brings the pointer onto the button from outside it.
    void hover() {
        QTest::mouseMove(&window, QPoint(250, 100));
        QTest::mouseMove(button, QPoint(20, 10));
    }
};

QImage render(Command& button) {
    QImage image(button.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::magenta);
    button.render(&image);
    return image;
}

} // namespace

class CommandTest : public QObject {
    Q_OBJECT
private slots:
    // ---- face-state table --------------------------------------------------------------------
    void transitions_data() {
        QTest::addColumn<QString>("events");
        QTest::addColumn<int>("state");
        QTest::addColumn<QString>("painted"); // faces painted by the last event
        QTest::addColumn<bool>("click");      // raised by the last event

        QTest::newRow("move from normal: hover") << "m" << 2 << "HighLight" << false;
        QTest::newRow("move again: nothing") << "mm" << 2 << "" << false;
        QTest::newRow("left down: pressed face") << "md" << 2 << "Pressed" << false;
        QTest::newRow("left up in hover: normal face, click") << "mdu" << 2 << "Normal" << true;
        QTest::newRow("right up raises click") << "mr" << 2 << "" << true;
        QTest::newRow("focus in from normal") << "f" << 3 << "Selected" << false;
        QTest::newRow("focus in while hovering") << "mf" << 4 << "Pressed" << false;
        QTest::newRow("move while focused") << "fm" << 4 << "HighLightSelect" << false;
        QTest::newRow("move while focused and button down") << "fdm" << 3 << "" << false;
        QTest::newRow("up while focused, no hover: no click") << "fdu" << 3 << "" << false;
        QTest::newRow("mouse click: down gives focus") << "mfdu" << 4 << "HighLightSelect" << true;
        QTest::newRow("focus lost") << "mfo" << 1 << "Normal" << false;
        QTest::newRow("focus lost in normal: nothing") << "o" << 1 << "" << false;
        QTest::newRow("access key") << "k" << 4 << "Pressed,HighLightSelect" << true;
        QTest::newRow("pointer leaves hover") << "mx" << 1 << "Normal" << false;
        QTest::newRow("pointer leaves focused hover") << "fmx" << 3 << "Selected" << false;
        QTest::newRow("pointer check in normal: nothing") << "x" << 1 << "" << false;
        QTest::newRow("disable") << "e" << 0 << "Disable" << false;
        QTest::newRow("disabled ignores move") << "em" << 0 << "" << false;
        QTest::newRow("disabled ignores press") << "emdu" << 0 << "" << false;
        QTest::newRow("disabled ignores access key") << "ek" << 0 << "" << false;
        QTest::newRow("disabled ignores focus") << "ef" << 0 << "" << false;
        QTest::newRow("enable again") << "eE" << 1 << "Normal" << false;
    }

    void transitions() {
        QFETCH(QString, events);
        QFETCH(int, state);
        QFETCH(QString, painted);
        QFETCH(bool, click);
        FaceMachine m;
        m.setEnabled(true);
        m.refresh();
        m.initialize();
        FaceMachine::Result last;
        for (QChar e : events)
            last = step(m, e);
        QCOMPARE(int(m.state()), state);
        QCOMPARE(faces(last.painted), painted);
        QCOMPARE(last.click, click);
    }

    void hoverGradientFollowsTheState() {
        FaceMachine m;
        m.setEnabled(true);
        m.refresh();
        QVERIFY(!m.hoverGradient());
        m.mouseMove();
        QVERIFY(m.hoverGradient());
        m.focusIn(); // state 4 keeps the hover gradient
        QVERIFY(m.hoverGradient());
        m.dropHover(); // back to 3
        QVERIFY(!m.hoverGradient());
    }

    // ---- the widget --------------------------------------------------------------------------
    void constructionAndInitialize() {
        Command button;
        QCOMPARE(button.Caption(), QStringLiteral("Command"));
        QCOMPARE(int(button.faceState()), 1);
        QVERIFY(!button.pointerCheckRunning());
        QCOMPARE(button.firstRun(), quint8(0));
        QVERIFY(button.Enabled());
        QCOMPARE(button.firstRun(), quint8(0)); // reading a property changes nothing
        QCOMPARE(button.size(), QSize(105, 28));
        button.Initialize();
        QVERIFY(button.pointerCheckRunning());
        QCOMPARE(button.firstRun(), quint8(1));
    }

    void mouseClickRaisesClick() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QSignalSpy clicks(f.button, &Command::Click);
        f.hover();
        QCOMPARE(int(f.button->faceState()), 2);
        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(clicks.count(), 1);
        QTest::mouseClick(f.button, Qt::RightButton, {}, QPoint(20, 10));
        QCOMPARE(clicks.count(), 2);
    }

    // A press and release is a click wherever the pointer came from: no move before it, with or
    // without the focus (the Search button after a search ended under a still pointer).
    void clickWithoutAPriorMove_data() {
        QTest::addColumn<bool>("focused");
        QTest::addColumn<bool>("hoveredBefore");
        QTest::newRow("no focus") << false << false;
        QTest::newRow("focus, no hover") << true << false;
        QTest::newRow("focus, hover dropped") << true << true;
    }

    void clickWithoutAPriorMove() {
        QFETCH(bool, focused);
        QFETCH(bool, hoveredBefore);
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        if (hoveredBefore)
            f.hover();
        if (focused)
            f.button->setFocus(Qt::OtherFocusReason);
        if (hoveredBefore) { // the pointer check finds the pointer elsewhere
            f.button->setPointerProbe([] { return nullptr; });
            QTRY_VERIFY(int(f.button->faceState()) != 2 && int(f.button->faceState()) != 4);
        }
        QCOMPARE(int(f.button->faceState()), focused ? 3 : 1);
        QSignalSpy clicks(f.button, &Command::Click);
        QTest::mousePress(f.button, Qt::LeftButton, {}, QPoint(20, 10));
        QTest::mouseRelease(f.button, Qt::LeftButton, {}, QPoint(20, 10));
        QCOMPARE(clicks.count(), 1);
    }

    void disabledButtonDoesNothing() {
        Fixture f;
        f.button->setEnabled(false);
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QSignalSpy clicks(f.button, &Command::Click);
        f.hover();
        QTest::mouseClick(f.button, Qt::LeftButton, {}, QPoint(20, 10));
        f.button->Press();
        QCOMPARE(clicks.count(), 0);
        QCOMPARE(int(f.button->faceState()), 0);
        QCOMPARE(f.button->currentFace(), Face::Disable);
        QVERIFY(!f.button->accessKey().has_value());
        QCOMPARE(f.button->FontColour(), QColor(192, 192, 192));
    }

    void pointerCheckDropsTheHoverLook() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.under = f.button;
        f.hover();
        QCOMPARE(int(f.button->faceState()), 2);
        // still over the button: nothing changes
        f.button->checkPointer();
        QCOMPARE(int(f.button->faceState()), 2);
        f.under = &f.window; // over the window behind it
        f.button->checkPointer();
        QCOMPARE(int(f.button->faceState()), 1);
        QCOMPARE(f.button->currentFace(), Face::Normal);
    }

    void pointerCheckRunsEvery100ms() {
        Fixture f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.hover();
        f.under = nullptr;
        QTRY_COMPARE_WITH_TIMEOUT(int(f.button->faceState()), 1, 1000);
    }

    // ---- access keys -------------------------------------------------------------------------
    void accessKeyOfCaption_data() {
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("key"); // empty: none
        QTest::newRow("before G") << "&Go"
                                  << "G";
        QTest::newRow("inside") << "Sa&ve"
                                << "v";
        QTest::newRow("none") << "Search"
                              << "";
        QTest::newRow("doubled first") << "Save && E&xit"
                                       << "&";
        QTest::newRow("trailing") << "Done&"
                                  << "";
    }

    void accessKeyOfCaption() {
        QFETCH(QString, caption);
        QFETCH(QString, key);
        const auto k = qv::command::accessKeyOf(caption);
        QCOMPARE(k ? QString(*k) : QString(), key);
    }

    void accessKeyPressesTheButton() {
        Fixture f;
        f.button->setCaption(QStringLiteral("&Go"));
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QSignalSpy clicks(f.button, &Command::Click);
        QTest::keyClick(&f.window, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
        QCOMPARE(int(f.button->faceState()), 4);
        QVERIFY(f.button->hasFocus());

        // A new caption without "&" takes the old access key away.
        f.button->setCaption(QStringLiteral("Go"));
        QTest::keyClick(&f.window, Qt::Key_G, Qt::AltModifier);
        QCOMPARE(clicks.count(), 1);
    }

    void screenReadersSeeCaptionAndPress() {
        Fixture f;
        f.button->setCaption(QStringLiteral("Save && E&xit"));
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        QAccessibleInterface* a = QAccessible::queryAccessibleInterface(f.button);
        QVERIFY(a);
        QCOMPARE(a->role(), QAccessible::Button);
        QCOMPARE(a->text(QAccessible::Name), QStringLiteral("Save & Exit"));
        QAccessibleActionInterface* actions = a->actionInterface();
        QVERIFY(actions);
        QVERIFY(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
        QSignalSpy clicks(f.button, &Command::Click);
        actions->doAction(QAccessibleActionInterface::pressAction());
        QCOMPARE(clicks.count(), 1);
    }

    // ---- persistence ---------------------------------------------------------------------------
    void defaultsAreNotWritten() {
        qv::host::RecordingHost host;
        Command button;
        button.setHost(&host);
        button.Initialize(); // first run done
        PropertyBag bag;
        button.WriteProperties(bag);
        QVERIFY(bag.keys().isEmpty());
        QStringList order;
        for (const auto& access : bag.log())
            order << access.key;
        QCOMPARE(order,
                 QStringList({"Enabled", "Caption", "FirstRun", "Font", "FontColour", "Visible"}));

        Command loaded;
        loaded.setHost(&host);
        bag.clearLog();
        loaded.ReadProperties(bag);
        QCOMPARE(loaded.Caption(), QStringLiteral("Command"));
        QVERIFY(loaded.Enabled());
        order.clear();
        for (const auto& access : bag.log())
            order << access.key;
        QCOMPARE(order,
                 QStringList({"Enabled", "Caption", "Font", "FirstRun", "FontColour", "Visible"}));
    }

    void propertiesRoundTrip() {
        qv::host::RecordingHost host;
        Command button;
        button.setHost(&host);
        button.Initialize(); // first run done
        button.setCaption(QStringLiteral("&Search"));
        button.setEnabled(false);
        QFont font(QStringLiteral("Serif"), 14);
        font.setBold(true);
        button.setFont(font);
        button.setFontColour(QColor(0x12, 0x34, 0x56));
        button.setVisibleProperty(false);
        QCOMPARE(host.changed,
                 QStringList({"Caption", "Enabled", "Font", "FontColour", "Visible"}));

        PropertyBag bag;
        button.WriteProperties(bag);
        QCOMPARE(bag.text(QStringLiteral("FontColour")), QStringLiteral("5649426")); // 0x563412
        QCOMPARE(bag.text(QStringLiteral("Visible")), QStringLiteral("0"));

        PropertyBag reread = PropertyBag::fromBytes(bag.toBytes());
        Command loaded;
        loaded.setHost(&host);
        loaded.ReadProperties(reread);
        QCOMPARE(loaded.Caption(), QStringLiteral("&Search"));
        QVERIFY(!loaded.Enabled());
        QCOMPARE(loaded.Font().family(), font.family());
        QCOMPARE(loaded.Font().pointSize(), 14);
        QVERIFY(loaded.Font().bold());
        QVERIFY(!loaded.Visible());
        QCOMPARE(loaded.firstRun(), quint8(1));
        loaded.setEnabled(true);
        QCOMPARE(loaded.FontColour(), QColor(0x12, 0x34, 0x56));
    }

    // ---- drawing
    // ---------------------------------------------------------------------------------
    void framePiecesAtDesignSize() {
        const auto twips = qv::command::framePieces(1575, 420);
        QCOMPARE(twips[1].destination.width(), 1455); // top
        QCOMPARE(twips[5].destination.width(), 1455); // bottom
        QCOMPARE(twips[3].destination.height(), 300); // right
        QCOMPARE(twips[7].destination.height(), 300); // left
        const auto px = qv::command::framePiecesInPixels(1575, 420);
        QCOMPARE(px[0].destination, QRect(0, 0, 4, 4));
        QCOMPARE(px[1].destination, QRect(4, 0, 97, 4));
        QCOMPARE(px[2].destination, QRect(101, 0, 4, 4));
        QCOMPARE(px[3].destination, QRect(101, 4, 4, 20));
        QCOMPARE(px[4].source, QRect(60, 21, 4, 4));
        QCOMPARE(px[5].source, QRect(4, 21, 56, 4));
        for (const auto& piece : px) {
            QVERIFY(QRect(0, 0, 64, 25).contains(piece.source));
            // Only the outer 4-pixel ring of the picture is used.
            QVERIFY(piece.source.width() <= 4 || piece.source.height() <= 4);
        }
    }

    void gradientRunsDownNormallyAndUpOnHover() {
        Fixture f;
        f.button->setCaption(QString());
        f.window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&f.window));
        f.under = f.button;
        QImage normal = render(*f.button);
        const int x = 50;
        QVERIFY(normal.pixelColor(x, 5).lightness() > normal.pixelColor(x, 22).lightness());
        QVERIFY(normal.pixelColor(x, 4).lightness() > 245); // white at the top
        const QColor low = normal.pixelColor(x, 23);        // towards lavender below
        QVERIFY(low.red() < 215 && low.blue() > low.red());
        f.hover();
        QImage hover = render(*f.button);
        QVERIFY(hover.pixelColor(x, 5).lightness() < hover.pixelColor(x, 22).lightness());
        // The frame is the state picture's: dark blue on the top edge.
        const QColor edge = normal.pixelColor(x, 0);
        QVERIFY2(edge.blue() > edge.red() && edge.lightness() < 120, qPrintable(edge.name()));
    }

    // Outside the rounded frame the parent's background shows, not the face's gradient.
    void cornersShowTheParentsBackground() {
        QWidget window;
        window.resize(200, 80);
        const QColor blue(0x1F, 0x4E, 0xA8);
        QPalette pal = window.palette();
        pal.setColor(QPalette::Window, blue);
        window.setPalette(pal);
        window.setAutoFillBackground(true);
        auto* button = new Command(&window);
        button->setCaption(QString());
        button->move(20, 20);
        const QImage image = render(*button);
        const int r = image.width() - 1;
        const int b = image.height() - 1;
        for (const QPoint corner : {QPoint(0, 0), QPoint(r, 0), QPoint(0, b), QPoint(r, b)})
            QCOMPARE(image.pixelColor(corner), blue);
        const QImage shown = window.grab().toImage();
        QCOMPARE(shown.pixelColor(QPoint(20, 20) + QPoint(r, 0)), blue);
        // The gradient still fills the face inside the frame.
        QVERIFY(image.pixelColor(50, 4).lightness() > 245);
    }

    void disabledFaceIsGrey() {
        Fixture f;
        f.button->setCaption(QStringLiteral("WWW"));
        QFont big = f.button->Font();
        big.setPixelSize(18);
        big.setBold(true);
        f.button->setFont(big);
        f.button->setEnabled(false);
        const QImage image = render(*f.button);
        const QColor edge = image.pixelColor(50, 0);
        QCOMPARE(edge.red(), edge.blue()); // a grey frame
        bool captionGrey = false;
        for (int y = 0; y < image.height() && !captionGrey; ++y)
            for (int x = 10; x < image.width() - 10 && !captionGrey; ++x)
                captionGrey = image.pixelColor(x, y) == QColor(192, 192, 192);
        QVERIFY(captionGrey);
    }

    void focusFrameIsDrawnAtItsInsets() {
        Fixture f;
        f.button->setCaption(QString());
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        const QImage before = render(*f.button);
        f.button->setFocus(Qt::TabFocusReason);
        QCOMPARE(int(f.button->faceState()), 3);
        const QImage focused = render(*f.button);
        auto changedAlong = [&](QPoint a, QPoint b) {
            int changed = 0;
            const QPoint d((b.x() > a.x()) ? 1 : 0, (b.y() > a.y()) ? 1 : 0);
            for (QPoint p = a; p != b; p += d)
                changed += before.pixel(p) != focused.pixel(p);
            return changed;
        };
        // left x 4, top y 4, right x 100, bottom y 23 at 105 x 28 pixels.
        QVERIFY(changedAlong({4, 6}, {4, 20}) >= 5);
        QVERIFY(changedAlong({6, 4}, {95, 4}) >= 30);
        QVERIFY(changedAlong({100, 6}, {100, 20}) >= 5);
        QVERIFY(changedAlong({6, 23}, {95, 23}) >= 30);
        QCOMPARE(changedAlong({50, 8}, {50, 20}), 0); // the middle is untouched
    }

    void longCaptionWrapsAndStaysCentred() {
        Command button;
        button.resize(105, 60);
        button.setCaption(QStringLiteral("Export to Microsoft Excel now"));
        const QImage image = render(button);
        int top = -1;
        int bottom = -1;
        for (int y = 5; y < image.height() - 5; ++y) {
            for (int x = 5; x < image.width() - 5; ++x) {
                if (image.pixelColor(x, y).lightness() < 100) {
                    if (top < 0)
                        top = y;
                    bottom = y;
                    break;
                }
            }
        }
        QVERIFY(top > 0);
        QVERIFY(bottom - top > QFontMetrics(button.Font()).height()); // more than one line
        QVERIFY(qAbs((top - 0) - (image.height() - 1 - bottom)) <= 6);
    }
};

QTEST_MAIN(CommandTest)
#include "tst_command.moc"
