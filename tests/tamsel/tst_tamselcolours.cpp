#include "controls/tamsel/colorscheme.h"
#include "platform/services.h"
#include "platform/versionquery.h"
#include "systemcolours.h"
#include "tests/support/fixedversion.h"

#include <QTest>
#include <optional>

using namespace qv::tamsel;
using namespace qv::tamsel::test;

class TamselColoursTest : public QObject {
    Q_OBJECT
    std::optional<qv::ScopedServices> services;

private slots:
    void init() {
        services.emplace([](qv::Services& s) { s.systemColourSource = fixedSystemColour; });
    }
    void cleanup() { services.reset(); }

    void translateColor_data() {
        QTest::addColumn<quint32>("value");
        QTest::addColumn<quint32>("expected");
        QTest::newRow("button text code") << 0x80000012u << kSysText;
        QTest::newRow("button face code") << 0x8000000Fu << kSysFace;
        QTest::newRow("code uses low byte only") << 0x80FF0005u << 0x050505u;
        QTest::newRow("plain colour") << 0x00C0C0C0u << 0x00C0C0C0u;
        QTest::newRow("black") << 0u << 0u;
        QTest::newRow("minus one is not translated") << 0xFFFFFFFFu << 0xFFFFFFFFu;
    }
    void translateColor() {
        QFETCH(quint32, value);
        QFETCH(quint32, expected);
        QCOMPARE(TranslateColor(value), expected);
    }

    void osCheck_data() {
        QTest::addColumn<int>("platform");
        QTest::addColumn<int>("major");
        QTest::addColumn<int>("minor");
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("gradient");
        QTest::newRow("Windows 95") << 1 << 4 << 0 << 0 << -1;
        QTest::newRow("Windows 98") << 1 << 4 << 10 << 0 << 0;
        QTest::newRow("Windows Me") << 1 << 4 << 90 << 0 << 0;
        QTest::newRow("NT 3.51") << 2 << 3 << 51 << 2 << -1;
        QTest::newRow("NT 4.0") << 2 << 4 << 0 << 1 << -1;
        QTest::newRow("2000") << 2 << 5 << 0 << 0 << 0;
        QTest::newRow("XP") << 2 << 5 << 1 << 0 << 0;
        QTest::newRow("later NT") << 2 << 10 << 0 << 0 << 0;
        QTest::newRow("this platform") << qv::kPlatformOther << 6 << 1 << 0 << 0;
        QTest::newRow("failed query") << 0 << 0 << 0 << 0 << 0;
    }
    void osCheck() {
        QFETCH(int, platform);
        QFETCH(int, major);
        QFETCH(int, minor);
        QFETCH(int, mode);
        QFETCH(int, gradient);
        const auto version = qv::test::useVersion(platform, major, minor);
        QCOMPARE(OsCheck(false), mode);
        QCOMPARE(OsCheck(true), gradient);
    }

    void osKeyHasNoLeadingZeros() {
        const auto version = qv::test::useVersion(2, 5, 1);
        QCOMPARE(osKey(), QStringLiteral("2.5.1"));
    }

    void realPlatformIsOfferedGradients() {
        const qv::ScopedServices real([](qv::Services& s) { s.versionQuery = {}; });
        QCOMPARE(OsCheck(false), 0);
        QCOMPARE(OsCheck(true), 0);
    }

    void effectiveMode() {
        {
            const auto version = qv::test::useVersion(2, 4, 0);
            QCOMPARE(effectiveGraphicsMode(-1), 1);
            QCOMPARE(effectiveGraphicsMode(2), 2);
            QCOMPARE(effectiveGraphicsMode(0), 0);
        }
        const auto version = qv::test::useVersion(2, 3, 51);
        QCOMPARE(effectiveGraphicsMode(-1), 2);
    }

    void derivedPalette_data() {
        QTest::addColumn<int>("scheme");
        QTest::addColumn<quint32>("face");
        QTest::addColumn<quint32>("sh");
        QTest::addColumn<quint32>("l");
        QTest::addColumn<quint32>("hi");
        QTest::addColumn<quint32>("dk");
        for (int scheme : {2, 4, 5}) {
            const QByteArray s = QByteArray::number(scheme);
            QTest::newRow("grey, scheme " + s)
                << scheme << 0xC0C0C0u << 0x808080u << 0xDFDFDFu << 0xEFEFEFu << 0x0u;
            QTest::newRow("white, scheme " + s)
                << scheme << 0xFFFFFFu << 0xBFBFBFu << 0xFFFFFFu << 0xFFFFFFu << 0x3F3F3Fu;
        }
    }
    void derivedPalette() {
        QFETCH(int, scheme);
        QFETCH(quint32, face);
        TamselData d;
        d.config.colorScheme = scheme;
        d.config.backColor = face;
        d.config.foreColor = 0x102030;
        d.config.mouseOver = 0x0000FF;
        d.run.parentBackColor = face;
        d.run.parentTextColor = 0x102030;
        ComputePalette(d, false);
        QCOMPARE(d.run.palette.F, face);
        QTEST(d.run.palette.Sh, "sh");
        QTEST(d.run.palette.L, "l");
        QTEST(d.run.palette.Hi, "hi");
        QTEST(d.run.palette.Dk, "dk");
        QCOMPARE(d.run.palette.T, 0x102030u);
        QCOMPARE(d.run.palette.TO, scheme == 4 ? 0x102030u : 0x0000FFu);
    }

    void customSchemesKeepCaptionEffectColours() {
        TamselData d;
        d.config.colorScheme = ColorScheme::CustomColors;
        d.config.embossEngraveMid = 0x123456;
        d.config.embossEngraveShadow = 0x654321;
        d.config.backColor = 0x00FF00;
        ComputePalette(d, true);
        QCOMPARE(d.config.embossEngraveMid, 0x123456u);
        QCOMPARE(d.config.embossEngraveShadow, 0x654321u);
        QCOMPARE(d.config.backColor, 0x00FF00u); // overwrite does nothing for custom colours
    }

    void classicGrey() {
        TamselData d;
        d.config.colorScheme = ColorScheme::ClassicGrey;
        d.config.backColor = 0x123456;
        d.config.foreColor = 0x00FF00;
        d.config.mouseOver = 0x0000FF;
        d.config.embossEngraveMid = 1;
        d.config.embossEngraveShadow = 2;
        ComputePalette(d, false);
        const TamselPalette& p = d.run.palette;
        QCOMPARE(p.F, 0xC0C0C0u);
        QCOMPARE(p.L, 0xDFDFDFu);
        QCOMPARE(p.Hi, 0xFFFFFFu);
        QCOMPARE(p.Sh, 0x808080u);
        QCOMPARE(p.Dk, 0u);
        QCOMPARE(p.T, 0u);
        QCOMPARE(p.TO, 0u);
        QCOMPARE(d.config.embossEngraveMid, 0xC0C0C0u);
        QCOMPARE(d.config.embossEngraveShadow, 0xFFFFFFu);
        QCOMPARE(d.config.backColor, 0x123456u); // not written without overwrite
        ComputePalette(d, true);
        QCOMPARE(d.config.backColor, 0xC0C0C0u);
        QCOMPARE(d.config.foreColor, 0u);
        QCOMPARE(d.config.mouseOver, 0u);
    }

    void systemColours() {
        TamselData d;
        d.config.colorScheme = ColorScheme::SystemColors;
        ComputePalette(d, false);
        const TamselPalette& p = d.run.palette;
        QCOMPARE(p.F, kSysFace);
        QCOMPARE(p.Sh, kSysShadow);
        QCOMPARE(p.L, kSysLight);
        QCOMPARE(p.Dk, kSysDarkShadow);
        QCOMPARE(p.Hi, kSysHighlight);
        QCOMPARE(p.T, kSysText);
        QCOMPARE(p.TO, kSysText);
        QCOMPARE(d.config.backColor, 0xC0C0C0u);
        ComputePalette(d, true);
        QCOMPARE(d.config.backColor, kSysFace);
        QCOMPARE(d.config.foreColor, kSysText);
        QCOMPARE(d.config.mouseOver, kSysText);
    }

    void unknownSchemeUsesSystemColours() {
        TamselData d;
        d.config.colorScheme = 9;
        ComputePalette(d, false);
        QCOMPARE(d.run.palette.F, kSysFace);
    }

    void containerColoursOverwrite() {
        TamselData d;
        d.config.colorScheme = ColorScheme::ContainerColors;
        d.run.parentBackColor = 0x336699;
        d.run.parentTextColor = 0xFFFFFF;
        ComputePalette(d, true);
        QCOMPARE(d.config.backColor, 0x336699u);
        QCOMPARE(d.config.foreColor, 0xFFFFFFu);
        QCOMPARE(d.config.mouseOver, 0xFFFFFFu);
        QCOMPARE(d.config.embossEngraveMid, 0xC0C0C0u);
    }

    void platformPaletteMapping() {
        const qv::ScopedServices platformColours(
            [](qv::Services& s) { s.systemColourSource = {}; });
        QPalette pal;
        pal.setColor(QPalette::Button, QColor(1, 2, 3));
        pal.setColor(QPalette::ButtonText, QColor(4, 5, 6));
        QCOMPARE(systemColourFromPalette(pal, kColorBtnFace), 0x030201u);
        QCOMPARE(systemColourFromPalette(pal, kColorBtnText), 0x060504u);
        QCOMPARE(systemColourFromPalette(pal, 25), 0u);
    }

    void refusedMessageText() {
        QCOMPARE(schemeRefusedMessage(),
                 QStringLiteral("This option is not available on the following operating "
                                "systems.\r\n\r\n - Win NT 4 and lower\r\n - Windows 95 and "
                                "earlier"));
    }
};

QTEST_MAIN(TamselColoursTest)
#include "tst_tamselcolours.moc"
