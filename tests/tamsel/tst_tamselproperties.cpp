#include "controls/host/componenthost.h"
#include "controls/host/propertybag.h"
#include "controls/tamsel/colorscheme.h"
#include "controls/tamsel/tamselbutton.h"
#include "controls/tamsel/tamselproperties.h"
#include "platform/services.h"
#include "platform/versionquery.h"
#include "systemcolours.h"
#include "tests/support/fixedversion.h"

#include <QTest>
#include <memory>
#include <optional>

using namespace qv::tamsel;
using namespace qv::tamsel::test;
using qv::host::MessageIcon;
using qv::host::PropertyBag;
using qv::host::RecordingHost;

namespace {

const QString kCaution = QStringLiteral(
    "Caution: Using non-default may cause buttons to not display properly on other operating "
    "systems.");
const QString kNoGradient =
    QStringLiteral("This option is not available for Windowx XP or Machintosh style buttons");

// A button on a window, with a recording host in design or run mode.
struct Fixture {
    explicit Fixture(bool design) {
        window.setObjectName(QStringLiteral("Form1"));
        window.resize(300, 200);
        host = new RecordingHost(&window);
        host->setDesignMode(design);
        host->setDisplayName(QStringLiteral("TamselButton1"));
        button = new TamselButton(&window, host);
        button->setObjectName(QStringLiteral("TamselButton1"));
        button->setGeometry(10, 10, 100, 30);
    }
    QWidget window;
    RecordingHost* host = nullptr;
    TamselButton* button = nullptr;
};

QStringList keys(std::initializer_list<const char*> list) {
    QStringList out;
    for (const char* k : list)
        out << QString::fromLatin1(k);
    return out;
}

} // namespace

class TamselPropertiesTest : public QObject {
    Q_OBJECT
    std::optional<qv::ScopedServices> services;

private slots:
    void init() {
        services.emplace([](qv::Services& s) {
            s.systemColourSource = fixedSystemColour;
            s.versionQuery = qv::test::fixedVersion(qv::kPlatformOther, 6, 1);
        });
    }
    void cleanup() { services.reset(); }

    void newInstance() {
        Fixture f(true);
        TamselButton* b = f.button;
        QCOMPARE(b->caption(), QStringLiteral("TamselButton1"));
        QCOMPARE(b->captionFont().family(), QStringLiteral("Times New Roman"));
        QCOMPARE(b->buttonType(), 2);
        QCOMPARE(b->buttonStyle(), 0);
        QCOMPARE(b->colorScheme(), 1);
        QCOMPARE(b->backColor(), kSysFace);
        QCOMPARE(b->foreColor(), kSysText);
        QCOMPARE(b->mouseOverColor(), 0u);
        QCOMPARE(b->gradientStartColor(), 0u);
        QCOMPARE(b->gradientStopColor(), 0xFF0000u);
        QCOMPARE(b->alignment(), 1);
        QCOMPARE(b->iconSize(), 2);
        QCOMPARE(b->requestedGraphicsMode(), -1);
        QCOMPARE(b->graphicsMode(), 0);
        QVERIFY(b->showFocus());
        QVERIFY(b->buttonEnabled());
        QCOMPARE(b->data().run.palette.F, kSysFace);
        QVERIFY(f.host->changed.isEmpty());
    }

    // A new instance is captioned with its display name, or the control's name without one,
    // as soon as the name is known; a caption given or loaded is kept.
    void newInstanceCaptionIsItsName_data() {
        QTest::addColumn<bool>("runTime");
        QTest::addColumn<QString>("displayName");
        QTest::addColumn<QString>("objectName");
        QTest::addColumn<QString>("given");
        QTest::addColumn<bool>("loaded");
        QTest::addColumn<QString>("expected");
        QTest::newRow("run time: the object name")
            << true << QString() << "TamselButton3" << QString() << false << "TamselButton3";
        QTest::newRow("designer: the display name")
            << false << "TamselButton4" << QString() << QString() << false << "TamselButton4";
        QTest::newRow("display name before the control's name")
            << false << "Shown"
            << "Inner" << QString() << false << "Shown";
        QTest::newRow("no display name: the control's name")
            << false << QString() << "Inner" << QString() << false << "Inner";
        QTest::newRow("a given caption stays") << true << QString() << "Named"
                                               << "Go" << false << "Go";
        QTest::newRow("a loaded caption stays") << false << "Shown"
                                                << "Named" << QString() << true << "Loaded";
    }

    void newInstanceCaptionIsItsName() {
        QFETCH(bool, runTime);
        QFETCH(QString, displayName);
        QFETCH(QString, objectName);
        QFETCH(QString, given);
        QFETCH(bool, loaded);
        QFETCH(QString, expected);
        QWidget window;
        auto* host = new RecordingHost(&window);
        host->setDisplayName(QString());
        auto* b = runTime ? new TamselButton(&window) : new TamselButton(&window, host);
        b->setGeometry(10, 10, 160, 30);
        QCOMPARE(b->caption(), QString()); // nothing is named yet
        if (!given.isEmpty())
            b->setCaption(given);
        if (loaded) {
            PropertyBag bag = PropertyBag::fromBytes("TX=Loaded\n");
            b->ReadProperties(bag);
        }
        if (!displayName.isEmpty())
            host->setDisplayName(displayName);
        if (!objectName.isEmpty())
            b->setObjectName(objectName);
        QCOMPARE(b->caption(), expected);
        b->RefreshButton();
        QCOMPARE(b->data().layout.lines.front().text, expected);
    }

    void propertyTableHasEveryStoredKey() {
        QStringList stored;
        for (const PropertyInfo& p : propertyTable())
            if (!p.key.isEmpty())
                stored << p.key;
        QStringList save = saveOrder();
        QStringList load = loadOrder();
        stored.sort();
        save.sort();
        load.sort();
        QCOMPARE(save, stored);
        QCOMPARE(load, stored);
        QCOMPARE(findProperty(QStringLiteral("ButtonType"))->help,
                 QStringLiteral("One of several button types. Read-only at runtime"));
        QVERIFY(findProperty(QStringLiteral("Alignment"))->designOnly);
        QVERIFY(!findProperty(QStringLiteral("Caption"))->designOnly);
    }

    // Design-time notifications, in order, for the setters that switch the scheme.
    void designNotifications_data() {
        QTest::addColumn<QString>("setter");
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<int>("scheme");
        QTest::newRow("BackColor")
            << "BackColor" << keys({"COLTYPE", "FCOL", "FCOLO", "BCOL"}) << 2;
        QTest::newRow("ForeColor")
            << "ForeColor" << keys({"COLTYPE", "BCOL", "FCOLO", "FCOL"}) << 2;
        QTest::newRow("MouseOver")
            << "MouseOver" << keys({"COLTYPE", "BCOL", "FCOL", "FCOLO"}) << 2;
        QTest::newRow("EmbossEngraveShadow")
            << "EmbossEngraveShadow"
            << keys({"COLTYPE", "FCOL", "FCOLO", "BCOL", "EMBOSSM", "EMBOSSS"}) << 2;
        QTest::newRow("EmbossEngraveMid")
            << "EmbossEngraveMid"
            << keys({"COLTYPE", "FCOL", "FCOLO", "BCOL", "EMBOSSS", "EMBOSSM"}) << 2;
        QTest::newRow("CaptionStyle")
            << "CaptionStyle"
            << keys({"COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS", "STYLE"}) << 2;
        QTest::newRow("GradientStartColor")
            << "GradientStartColor" << keys({"COLTYPE", "FCOL", "FCOLO", "BCOL", "GStop", "GStart"})
            << 5;
        QTest::newRow("GradientStopColor")
            << "GradientStopColor" << keys({"COLTYPE", "FCOL", "FCOLO", "BCOL", "GStart", "GStop"})
            << 5;
        QTest::newRow("ColorScheme")
            << "ColorScheme" << keys({"COLTYPE", "BCOL", "FCOL", "FCOLO", "EMBOSSM", "EMBOSSS"})
            << 3;
    }
    void designNotifications() {
        QFETCH(QString, setter);
        QFETCH(QStringList, expected);
        QFETCH(int, scheme);
        Fixture f(true);
        TamselButton* b = f.button;
        if (setter == "BackColor")
            b->setBackColor(0x00FF00);
        else if (setter == "ForeColor")
            b->setForeColor(0x00FF00);
        else if (setter == "MouseOver")
            b->setMouseOverColor(0x00FF00);
        else if (setter == "EmbossEngraveShadow")
            b->setEmbossEngraveShadow(0x00FF00);
        else if (setter == "EmbossEngraveMid")
            b->setEmbossEngraveMid(0x00FF00);
        else if (setter == "CaptionStyle")
            b->setCaptionStyle(1);
        else if (setter == "GradientStartColor")
            b->setGradientStartColor(0x00FF00);
        else if (setter == "GradientStopColor")
            b->setGradientStopColor(0x00FF00);
        else if (setter == "ColorScheme")
            b->setColorScheme(3);
        QCOMPARE(f.host->changed, expected);
        QCOMPARE(b->colorScheme(), scheme);
        QVERIFY(f.host->messages.isEmpty());
    }

    void colourSettersIgnoredOutsideCustomSchemesAtRunTime() {
        Fixture f(false);
        TamselButton* b = f.button;
        b->setBackColor(0x00FF00);
        b->setCaptionStyle(2);
        b->setGradientStartColor(0x00FF00);
        QCOMPARE(b->backColor(), kSysFace);
        QCOMPARE(b->captionStyle(), 0);
        QCOMPARE(b->gradientStartColor(), 0u);
        QCOMPARE(b->colorScheme(), 1);
        QVERIFY(f.host->changed.isEmpty());
    }

    void colourSettersWorkUnderCustomColoursAtRunTime() {
        Fixture f(true);
        f.button->setBackColor(0xC0C0C0);
        f.host->setDesignMode(false);
        f.host->changed.clear();
        f.button->setBackColor(0xFFFFFF);
        QCOMPARE(f.button->backColor(), 0xFFFFFFu);
        QCOMPARE(f.button->data().run.palette.Dk, 0x3F3F3Fu);
        QVERIFY(f.host->changed.isEmpty());
    }

    void colourCodesAreTranslatedWhenStored() {
        Fixture f(true);
        f.button->setBackColor(0xC0C0C0);
        f.host->changed.clear();
        f.button->setForeColor(0x80000012);
        QCOMPARE(f.button->foreColor(), kSysText);
        QCOMPARE(f.host->changed, keys({"FCOL"}));
    }

    void unchangedAndOutOfRangeValuesAreIgnored() {
        Fixture f(true);
        TamselButton* b = f.button;
        b->setButtonType(9);
        b->setButtonType(0);
        b->setButtonType(2);
        b->setButtonStyle(4);
        b->setColorScheme(6);
        b->setColorScheme(1);
        b->setAlignment(3);
        b->setAlignment(1);
        b->setCaptionOrientation(-1);
        b->setCaptionStyle(4);
        b->setIconAlignmentValue(2);
        b->setIconSize(5);
        b->setIconSize(0);
        b->setBackColor(b->backColor());
        b->setGradientStopColor(0xFF0000);
        QVERIFY(f.host->changed.isEmpty());
        QVERIFY(f.host->messages.isEmpty());
        QCOMPARE(b->buttonType(), 2);
        QCOMPARE(b->iconSize(), 2);
    }

    void designOnlyPropertiesAreReadOnlyAtRunTime() {
        Fixture f(false);
        TamselButton* b = f.button;
        b->setButtonType(4);
        b->setButtonStyle(1);
        b->setColorScheme(3);
        b->setAlignment(0);
        b->setIconAlignmentValue(1);
        b->setCaptionOrientation(1);
        b->setIconSize(4);
        b->setShowFocus(false);
        QCOMPARE(b->buttonType(), 2);
        QCOMPARE(b->buttonStyle(), 0);
        QCOMPARE(b->colorScheme(), 1);
        QCOMPARE(b->alignment(), 1);
        QCOMPARE(b->iconAlignmentValue(), 0);
        QCOMPARE(b->captionOrientation(), 0);
        QCOMPARE(b->iconSize(), 2);
        QVERIFY(b->showFocus());
        // These change at run time as well.
        b->setCaption(QStringLiteral("Go"));
        b->setButtonEnabled(false);
        QCOMPARE(b->caption(), QStringLiteral("Go"));
        QVERIFY(!b->isEnabled());
        QVERIFY(f.host->changed.isEmpty());
    }

    void designSettersNotifyTheirKey() {
        Fixture f(true);
        TamselButton* b = f.button;
        b->setButtonType(4);
        b->setAlignment(0);
        b->setCaptionOrientation(1);
        b->setShowFocus(false);
        b->setCaption(QStringLiteral("Go"));
        b->setButtonEnabled(false);
        b->setOptionButton(true);
        b->setValue(true);
        QCOMPARE(f.host->changed, keys({"BTYPE", "ALIGN", "ORIENT", "SHOWF", "TX", "ENAB", "OPTMOD",
                                        "OPTVAL", "OPTVAL"}));
    }

    void slantedStyleForcesHorizontalCaption() {
        Fixture f(true);
        f.button->setCaptionOrientation(2);
        f.host->changed.clear();
        f.button->setButtonStyle(1);
        QCOMPARE(f.host->changed, keys({"ORIENT", "BSTYLE"}));
        QCOMPARE(f.button->captionOrientation(), 0);
        QCOMPARE(f.button->buttonStyle(), 1);
    }

    void buttonTypeXpLeavesGradientScheme_data() {
        QTest::addColumn<bool>("design");
        QTest::addColumn<int>("type");
        QTest::newRow("run time") << false << 2;
        QTest::newRow("design time") << true << 3;
    }
    void buttonTypeXpLeavesGradientScheme() {
        QFETCH(bool, design);
        Fixture f(true);
        f.button->setGradientStartColor(0x0000FF);
        QCOMPARE(f.button->colorScheme(), 5);
        f.host->setDesignMode(design);
        f.button->setButtonType(3);
        QTEST(f.button->buttonType(), "type");
        QCOMPARE(f.button->colorScheme(), 2);
    }

    void gradientColoursRefusedForXpAndMacintosh() {
        Fixture f(true);
        f.button->setButtonType(8);
        f.host->changed.clear();
        f.button->setGradientStartColor(0x00FF00);
        QCOMPARE(f.host->messages, QStringList(kNoGradient));
        QCOMPARE(f.host->messageIcons, QList<MessageIcon>{MessageIcon::Information});
        QVERIFY(f.host->changed.isEmpty());
        QCOMPARE(f.button->gradientStartColor(), 0u);
        QCOMPARE(f.button->colorScheme(), 1);
        f.host->setDesignMode(false);
        f.button->setGradientStopColor(0x00FF00);
        QCOMPARE(f.host->messages.size(), 1);
    }

    void gradientOrientationAlwaysStored() {
        Fixture f(true);
        f.button->setGradientOrientation(3);
        QVERIFY(f.host->changed.isEmpty()); // not the gradient scheme
        QCOMPARE(f.button->gradientOrientation(), 3);
        f.button->setGradientStopColor(0x00FF00);
        f.host->changed.clear();
        f.button->setGradientOrientation(1);
        QCOMPARE(f.host->changed, keys({"GStyle"}));
    }

    void graphicsModeCaution_data() {
        QTest::addColumn<bool>("design");
        QTest::addColumn<QStringList>("changed");
        QTest::newRow("run time") << false << QStringList();
        QTest::newRow("design time") << true << keys({"GMODE"});
    }
    void graphicsModeCaution() {
        QFETCH(bool, design);
        Fixture f(design);
        f.button->setGraphicsMode(2);
        QCOMPARE(f.host->messages, QStringList(kCaution));
        QCOMPARE(f.host->messageIcons, QList<MessageIcon>{MessageIcon::Warning});
        QTEST(f.host->changed, "changed");
        QCOMPARE(f.button->graphicsMode(), 2);
        PropertyBag bag;
        f.button->WriteProperties(bag);
        QCOMPARE(bag.text("GMODE"), QStringLiteral("2"));
        // Back to automatic: no message, the effective mode is the system's again.
        f.button->setGraphicsMode(-1);
        QCOMPARE(f.host->messages.size(), 1);
        QCOMPARE(f.button->graphicsMode(), 0);
    }

    void graphicsModeFollowsTheSystem_data() {
        QTest::addColumn<int>("platform");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("mode");
        QTest::newRow("2.4.0") << 2 << 4 << 0 << 1;
        QTest::newRow("2.3.51") << 2 << 3 << 51 << 2;
        QTest::newRow("2.5.1") << 2 << 5 << 1 << 0;
    }
    void graphicsModeFollowsTheSystem() {
        QFETCH(int, platform);
        QFETCH(int, major);
        QFETCH(int, minor);
        const auto version = qv::test::useVersion(platform, major, minor);
        Fixture f(true);
        QTEST(f.button->graphicsMode(), "mode");
        PropertyBag bag;
        f.button->WriteProperties(bag);
        QCOMPARE(bag.text("GMODE"), QStringLiteral("-1"));
        // A stored negative mode gives the system default as effective mode.
        TamselButton other(&f.window, f.host);
        other.ReadProperties(bag);
        QTEST(other.graphicsMode(), "mode");
        QCOMPARE(other.requestedGraphicsMode(), -1);
    }

    // Old systems are not offered custom schemes through the scheme setter.
    void schemeRefusedOnOldSystems_data() {
        QTest::addColumn<int>("platform");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::newRow("1.4.0") << 1 << 4 << 0;
        QTest::newRow("2.4.0") << 2 << 4 << 0;
        QTest::newRow("2.3.51") << 2 << 3 << 51;
    }
    void schemeRefusedOnOldSystems() {
        QFETCH(int, platform);
        QFETCH(int, major);
        QFETCH(int, minor);
        const auto version = qv::test::useVersion(platform, major, minor);
        Fixture f(true);
        f.button->setColorScheme(2);
        QCOMPARE(f.button->colorScheme(), 1);
        QCOMPARE(f.host->messages, QStringList(schemeRefusedMessage()));
        QCOMPARE(f.host->messageIcons, QList<MessageIcon>{MessageIcon::Information});
        QVERIFY(f.host->changed.isEmpty());

        f.host->setDesignMode(false);
        f.button->setColorScheme(3);
        QCOMPARE(f.button->colorScheme(), 1);
        QCOMPARE(f.host->messages.size(), 1); // silent at run time

        f.host->setDesignMode(true);
        f.button->setBackColor(0x00FF00); // the colour setters do not ask the system
        QCOMPARE(f.button->colorScheme(), 2);

        PropertyBag bag;
        bag.write("COLTYPE", 5);
        TamselButton loaded(&f.window, f.host);
        loaded.ReadProperties(bag);
        QCOMPARE(loaded.colorScheme(), 2);
    }

    void gradientSchemeLoadsOnThisSystem() {
        PropertyBag bag;
        bag.write("COLTYPE", 5);
        Fixture f(false);
        f.button->ReadProperties(bag);
        QCOMPARE(f.button->colorScheme(), 5);
    }

    void classicGreyThenCustomColours() {
        Fixture f(true);
        TamselButton* b = f.button;
        b->setBackColor(0x00FF00);
        b->setCaptionStyle(2);
        b->setColorScheme(3);
        QCOMPARE(b->backColor(), 0xC0C0C0u);
        QCOMPARE(b->foreColor(), 0u);
        QCOMPARE(b->mouseOverColor(), 0u);
        QCOMPARE(b->captionStyle(), 0);
        QCOMPARE(b->embossEngraveMid(), 0xC0C0C0u);
        QCOMPARE(b->embossEngraveShadow(), 0xFFFFFFu);
        QCOMPARE(b->data().run.palette.Hi, 0xFFFFFFu);
        b->setColorScheme(2);
        QCOMPARE(b->backColor(), 0xC0C0C0u);
        QCOMPARE(b->foreColor(), 0u);
        QCOMPARE(b->embossEngraveMid(), 0xC0C0C0u);
        QCOMPARE(b->data().run.palette.Hi, 0xEFEFEFu);
    }

    void systemColoursSchemeCopiesSystemColours() {
        Fixture f(true);
        f.button->setBackColor(0x00FF00);
        f.button->setColorScheme(1);
        QCOMPARE(f.button->backColor(), kSysFace);
        QCOMPARE(f.button->foreColor(), kSysText);
        QCOMPARE(f.button->mouseOverColor(), kSysText);
    }

    void saveWritesEveryKeyInOrder() {
        Fixture f(true);
        PropertyBag bag;
        f.button->WriteProperties(bag);
        QCOMPARE(bag.keys(), saveOrder());
        std::vector<PropertyBag::Access> expected;
        for (const QString& k : saveOrder())
            expected.push_back({PropertyBag::Access::Write, k});
        QCOMPARE(bag.log(), expected);
    }

    void loadReadsEveryKeyInOrder() {
        Fixture f(false);
        PropertyBag bag;
        f.button->ReadProperties(bag);
        std::vector<PropertyBag::Access> expected;
        for (const QString& k : loadOrder())
            expected.push_back({PropertyBag::Access::Read, k});
        QCOMPARE(bag.log(), expected);
    }

    void roundTripIsIdentical() {
        Fixture f(true);
        TamselButton* b = f.button;
        QImage icon(16, 16, QImage::Format_ARGB32);
        icon.fill(Qt::red);
        b->setButtonType(5);
        b->setButtonStyle(3);
        b->setCaption(QStringLiteral("Save && &Exit"));
        QFont font(QStringLiteral("DejaVu Sans"), 11);
        font.setBold(true);
        font.setItalic(true);
        b->setCaptionFont(font);
        b->setBackColor(0x336699);
        b->setForeColor(0x0000FF);
        b->setMouseOverColor(0x00FF00);
        b->setEmbossEngraveMid(0x111111);
        b->setEmbossEngraveShadow(0x222222);
        b->setCaptionStyle(3);
        b->setGradientStartColor(0x010203);
        b->setGradientStopColor(0x040506);
        b->setGradientOrientation(3);
        b->setAlignment(2);
        b->setIconAlignmentValue(1);
        b->setIconSize(3);
        b->setIcon(icon);
        b->setGraphicsMode(1);
        b->setShowFocus(false);
        b->setOptionButton(true);
        b->setValue(true);
        b->setMousePointer(2);
        b->setButtonEnabled(false);

        PropertyBag saved;
        b->WriteProperties(saved);
        PropertyBag reread = PropertyBag::fromBytes(saved.toBytes());
        TamselButton copy(&f.window, f.host);
        copy.ReadProperties(reread);
        PropertyBag again;
        copy.WriteProperties(again);
        QCOMPARE(again.toBytes(), saved.toBytes());

        QCOMPARE(copy.buttonType(), 5);
        QCOMPARE(copy.buttonStyle(), 3);
        QCOMPARE(copy.caption(), QStringLiteral("Save && &Exit"));
        QCOMPARE(copy.captionFont(), font);
        QCOMPARE(copy.colorScheme(), 5);
        QCOMPARE(copy.backColor(), 0x336699u);
        QCOMPARE(copy.mouseOverColor(), 0x00FF00u);
        QCOMPARE(copy.embossEngraveMid(), 0x111111u);
        QCOMPARE(copy.captionStyle(), 3);
        QCOMPARE(copy.gradientOrientation(), 3);
        QCOMPARE(copy.iconSize(), 3);
        QCOMPARE(copy.icon().pixelColor(3, 3), QColor(Qt::red));
        QVERIFY(copy.data().run.hasIcon);
        QCOMPARE(copy.graphicsMode(), 1);
        QVERIFY(copy.optionButton());
        QVERIFY(copy.value());
        QVERIFY(!copy.buttonEnabled());
        QVERIFY(!copy.isEnabled());
        QCOMPARE(copy.data().run.accessKey, QChar('e'));
    }

    void newInstanceKeepsBlackHoverColour() {
        Fixture f(true);
        PropertyBag bag;
        f.button->WriteProperties(bag);
        TamselButton copy(&f.window, f.host);
        copy.ReadProperties(bag);
        QCOMPARE(copy.mouseOverColor(), 0u);
    }

    void missingKeys() {
        Fixture f(false);
        PropertyBag bag = PropertyBag::fromBytes("COLTYPE=2\nBCOL=3368601\nORIENT=7\n");
        f.button->ReadProperties(bag);
        TamselButton* b = f.button;
        QCOMPARE(b->caption(), QStringLiteral("TamselButton1"));
        QCOMPARE(b->buttonType(), 2);
        QCOMPARE(b->captionOrientation(), 0); // out of range counts as missing
        QCOMPARE(b->foreColor(), kSysText);
        QCOMPARE(b->mouseOverColor(), kSysText);           // the system text colour
        QCOMPARE(b->embossEngraveMid(), 3368601u);         // BackColor
        QCOMPARE(b->embossEngraveShadow(), kSysHighlight); // system button highlight
        QCOMPARE(b->gradientStopColor(), 0xFF0000u);
        QCOMPARE(b->iconSize(), 2);
        QVERIFY(b->showFocus());
        QVERIFY(b->buttonEnabled());
        QCOMPARE(b->requestedGraphicsMode(), 0); // the system default
        QVERIFY(b->icon().isNull());
        QVERIFY(!b->data().run.hasIcon);
    }

    void systemSchemesOverrideStoredEffectColours() {
        for (int scheme : {1, 3, 4}) {
            Fixture f(false);
            PropertyBag bag;
            bag.write("COLTYPE", scheme);
            bag.write("EMBOSSM", 0x123456);
            bag.write("EMBOSSS", 0x654321);
            f.button->ReadProperties(bag);
            QCOMPARE(f.button->embossEngraveMid(), 0xC0C0C0u);
            QCOMPARE(f.button->embossEngraveShadow(), 0xFFFFFFu);
        }
    }

    void unreadableIconLeavesNoIcon() {
        Fixture f(false);
        f.button->setIcon(QImage());
        QVERIFY(!f.button->data().run.hasIcon);
        PropertyBag bag = PropertyBag::fromBytes("BTNICON=notapicture\n");
        f.button->ReadProperties(bag);
        QVERIFY(f.button->icon().isNull());
        QVERIFY(!f.button->data().run.hasIcon);
    }

    void ambientChanges() {
        Fixture f(true);
        QPalette pal = f.window.palette();
        pal.setColor(QPalette::Window, QColor(0x11, 0x22, 0x33));
        pal.setColor(QPalette::WindowText, QColor(0xAA, 0xBB, 0xCC));
        f.window.setPalette(pal);
        f.button->setColorScheme(4);
        QCOMPARE(f.button->data().run.palette.F, 0x332211u);
        // Under ContainerColors the back colour and palette changes recompute.
        pal.setColor(QPalette::Window, QColor(0x44, 0x55, 0x66));
        f.window.setPalette(pal);
        f.host->setAmbientBackColor(QColor(0x44, 0x55, 0x66));
        QCOMPARE(f.button->data().run.palette.F, 0x665544u);
        QCOMPARE(f.button->data().run.palette.T, 0xCCBBAAu);

        Fixture g(true);
        g.window.setPalette(pal);
        g.host->setAmbientBackColor(Qt::red);
        QCOMPARE(g.button->data().run.palette.F, kSysFace);
        QFont parentFont(QStringLiteral("DejaVu Serif"), 15);
        g.window.setFont(parentFont);
        g.host->setAmbientFont(parentFont);
        QCOMPARE(g.button->captionFont().family(), QStringLiteral("DejaVu Serif"));
    }

    // An ambient font change hands the host's ambient font to the caption, whatever font the
    // parent widget has.
    void ambientFontComesFromTheHost() {
        Fixture f(true);
        f.window.setFont(QFont(QStringLiteral("DejaVu Sans"), 9));
        f.host->setAmbientFont(QFont(QStringLiteral("DejaVu Serif"), 15));
        QCOMPARE(f.button->captionFont().family(), QStringLiteral("DejaVu Serif"));
        QCOMPARE(f.button->captionFont().pointSize(), 15);
    }

    void containerNamesTheParent() {
        QWidget window;
        window.setObjectName(QStringLiteral("Form1"));
        auto* frame = new QWidget(&window);
        frame->setObjectName(QStringLiteral("Frame1"));
        auto* indexed = new QWidget(&window);
        indexed->setObjectName(QStringLiteral("Frame2"));
        indexed->setProperty("Index", 3);
        RecordingHost host;
        TamselButton onForm(&window, &host);
        TamselButton inFrame(frame, &host);
        TamselButton inArray(indexed, &host);
        QCOMPARE(onForm.Container(), QStringLiteral("Form1"));
        QCOMPARE(inFrame.Container(), QStringLiteral("Frame1"));
        QCOMPARE(inArray.Container(), QStringLiteral("Frame2(3)"));
    }
};

QTEST_MAIN(TamselPropertiesTest)
#include "tst_tamselproperties.moc"
