#include "app/fieldhints.h"
#include "app/form2.h"
#include "platform/services.h"
#include "platform/versionquery.h"
#include "tests/support/designcontrol.h"
#include "tests/support/fixedversion.h"
#include "tests/support/tempprogramfolder.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QtTest>
#include <optional>

using qv::test::designControl;

using qv::test::TempProgramFolder;

namespace {

void pointerMove(QWidget* w, QPoint local = {12, 8}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(local), QPointF(w->mapToGlobal(local)),
                     Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &move);
}

void pointerLeave(QWidget* w) {
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(w, &leave);
}

int tipWindowCount() {
    int n = 0;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == QLatin1String("tooltips_class32"))
            ++n;
    return n;
}

bool isPrivateIPv4(const QString& address) {
    const QStringList parts = address.split('.');
    if (parts.size() != 4)
        return false;
    int b[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        b[i] = parts[i].toInt(&ok);
        if (!ok || b[i] < 0 || b[i] > 255)
            return false;
    }
    return b[0] == 10 || (b[0] == 172 && b[1] >= 16 && b[1] <= 31) || (b[0] == 192 && b[1] == 168);
}

} // namespace

class TestFieldHints : public QObject {
    Q_OBJECT
    std::optional<qv::ScopedServices> services;
    std::unique_ptr<TempProgramFolder> folder;
    std::unique_ptr<Form2> form;

private slots:
    void init() {
        services.emplace([](qv::Services& s) {
            s.versionQuery = qv::test::fixedVersion(qv::kPlatformNT, 5, 1);
        });
        folder = std::make_unique<TempProgramFolder>();
        folder->write("auto.ini",
                      "[Default]\r\nIpaddress=10.0.0.7\r\nLogin=root\r\nPassword=pw\r\n");
        form = std::make_unique<Form2>();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        QCOMPARE(tipWindowCount(), 0);
        folder.reset();
        services.reset();
    }

    void loadStepSetsUpTheSixTooltips() {
        struct Expect {
            const BalloonTooltip* tip;
            int style;
        };
        using Hint = SettingsPanel::Hint;
        SettingsPanel& settings = form->settings;
        const Expect expected[] = {
            {&form->browser.filesTip(), 1},         {&form->browser.fieldNamesTip(), 0},
            {&settings.hintTip(Hint::Address), 1},  {&settings.hintTip(Hint::Login), 1},
            {&settings.hintTip(Hint::Password), 1}, {&settings.hintTip(Hint::Search), 1}};
        for (const Expect& e : expected) {
            QCOMPARE(e.tip->Style(), e.style);
            QCOMPARE(e.tip->Icon(), 1);
            QCOMPARE(e.tip->DelayTime(), 100);
            QCOMPARE(e.tip->VisibleTime(), 9000);
            QCOMPARE(e.tip->Title(), QString());
            QVERIFY(!e.tip->window());
        }
        QCOMPARE(tipWindowCount(), 0);
        for (const Hint hint : SettingsPanel::kHints)
            QVERIFY(!settings.hintShown(hint));
    }

    void hintsOfTheFourFields_data() {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("text");
        QTest::newRow("address")
            << "Text10"
            << "IP Address"
            << QString("Key in IP Address of Norrevan Server\r\ne.g. %1\r\n").arg(kExampleAddress);
        QTest::newRow("login") << "Text11"
                               << "Login"
                               << "Key in Login Name, usually 'root'\r\n";
        QTest::newRow("password") << "Text12"
                                  << "Password"
                                  << "Key in root Password\r\n";
        QTest::newRow("search")
            << "Text16"
            << "Search Norrevan Server"
            << "Click on Search Button to Download all Merge files on Norrevan Server\r\n";
    }
    void hintsOfTheFourFields() {
        QFETCH(QString, field);
        QFETCH(QString, title);
        QFETCH(QString, text);
        using Hint = SettingsPanel::Hint;
        const QMap<QString, Hint> hints{
            {"Text10", Hint::Address},
            {"Text11", Hint::Login},
            {"Text12", Hint::Password},
            {"Text16", Hint::Search},
        };
        const Hint hint = hints.value(field);
        QLineEdit* const place = designControl<QLineEdit>(*form, qPrintable(field));
        const BalloonTooltip* const tip = &form->settings.hintTip(hint);
        pointerMove(place);
        QVERIFY(form->settings.hintShown(hint));
        QVERIFY(tip->window());
        QCOMPARE(tip->parentWindow(), place);
        QCOMPARE(tip->window()->title(), title);
        QCOMPARE(tip->window()->titleIcon(), 1);
        QCOMPARE(tip->window()->tipText(), text);
        QVERIFY(tip->window()->isBalloon());
        QCOMPARE(tipWindowCount(), 1); // the other fields have none yet
    }

    void exampleAddressIsPrivate() { QVERIFY(isPrivateIPv4(QString::fromLatin1(kExampleAddress))); }

    // First move attaches; resting shows the balloon; moving away and back shows it again
    // without a second attachment.
    void addressHintShowsAfterATenthOfASecond() {
        pointerMove(designControl<QLineEdit>(*form, "Text10"));
        qv::TipWindow* window = form->settings.hintTip(SettingsPanel::Hint::Address).window();
        QVERIFY(window);
        pointerMove(designControl<QLineEdit>(*form, "Text10"), {14, 9});
        QVERIFY(!window->isTipShown());
        QTRY_VERIFY_WITH_TIMEOUT(window->isTipShown(), 2000);
        QCOMPARE(window->title(), QString("IP Address"));
        QCOMPARE(window->titleIcon(), 1);

        pointerLeave(designControl<QLineEdit>(*form, "Text10"));
        QVERIFY(!window->isTipShown());
        pointerMove(designControl<QLineEdit>(*form, "Text10"));
        QCOMPARE(form->settings.hintTip(SettingsPanel::Hint::Address).window(), window);
        QCOMPARE(tipWindowCount(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(window->isTipShown(), 2000);
    }

    void tabbingIntoTheLoginFieldSelectsIt() {
        QCOMPARE(designControl<QLineEdit>(*form, "Text11")->text(), QString("root"));
        designControl<QLineEdit>(*form, "Text11")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(designControl<QLineEdit>(*form, "Text11")->selectedText(), QString("root"));
    }

    void selectionRunsFromTheCaretToTheEnd() {
        designControl<QLineEdit>(*form, "Text10")->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(designControl<QLineEdit>(*form, "Text10")->selectedText(),
                     QString("10.0.0.7"));
        designControl<QLineEdit>(*form, "Text10")
            ->setCursorPosition(3); // the operator puts the caret after "10."
        designControl<QLineEdit>(*form, "Text11")->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(designControl<QLineEdit>(*form, "Text11")->hasFocus());
        designControl<QLineEdit>(*form, "Text10")->setFocus(Qt::BacktabFocusReason);
        QTRY_COMPARE(designControl<QLineEdit>(*form, "Text10")->selectedText(), QString("0.0.7"));
        QCOMPARE(designControl<QLineEdit>(*form, "Text10")->selectionStart(), 3);
    }
};

QTEST_MAIN(TestFieldHints)
#include "tst_fieldhints.moc"
