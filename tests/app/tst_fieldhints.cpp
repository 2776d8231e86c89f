#include "app/fieldhints.h"
#include "app/form2.h"
#include "platform/services.h"
#include "platform/versionquery.h"
#include "tests/support/fixedversion.h"
#include "tests/support/tempprogramfolder.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QtTest>
#include <optional>

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
        const Expect expected[] = {
            {&form->browser.filesTip, 1},     {&form->browser.fieldNamesTip, 0},
            {&form->settings.addressTip, 1},  {&form->settings.loginTip, 1},
            {&form->settings.passwordTip, 1}, {&form->settings.searchTip, 1}};
        for (const Expect& e : expected) {
            QCOMPARE(e.tip->Style(), e.style);
            QCOMPARE(e.tip->Icon(), 1);
            QCOMPARE(e.tip->DelayTime(), 100);
            QCOMPARE(e.tip->VisibleTime(), 9000);
            QCOMPARE(e.tip->Title(), QString());
            QVERIFY(!e.tip->window());
        }
        QCOMPARE(tipWindowCount(), 0);
        for (int marker : {form->settings.addressHintShown, form->settings.loginHintShown,
                           form->settings.passwordHintShown, form->settings.searchHintShown})
            QCOMPARE(marker, 0);
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
        struct Slot {
            QLineEdit* field;
            BalloonTooltip* tip;
            std::int32_t* marker;
        };
        const QMap<QString, Slot> slots_{
            {"Text10",
             {form->settings.address, &form->settings.addressTip,
              &form->settings.addressHintShown}},
            {"Text11",
             {form->settings.login, &form->settings.loginTip, &form->settings.loginHintShown}},
            {"Text12",
             {form->settings.password, &form->settings.passwordTip,
              &form->settings.passwordHintShown}},
            {"Text16",
             {form->settings.searchHintArea, &form->settings.searchTip,
              &form->settings.searchHintShown}},
        };
        const Slot s = slots_.value(field);
        pointerMove(s.field);
        QCOMPARE(*s.marker, 1);
        QVERIFY(s.tip->window());
        QCOMPARE(s.tip->parentWindow(), s.field);
        QCOMPARE(s.tip->window()->title(), title);
        QCOMPARE(s.tip->window()->titleIcon(), 1);
        QCOMPARE(s.tip->window()->tipText(), text);
        QVERIFY(s.tip->window()->isBalloon());
        QCOMPARE(tipWindowCount(), 1); // the other fields have none yet
    }

    void exampleAddressIsPrivate() { QVERIFY(isPrivateIPv4(QString::fromLatin1(kExampleAddress))); }

    // First move attaches; resting shows the balloon; moving away and back shows it again
    // without a second attachment.
    void addressHintShowsAfterATenthOfASecond() {
        pointerMove(form->settings.address);
        qv::TipWindow* window = form->settings.addressTip.window();
        QVERIFY(window);
        pointerMove(form->settings.address, {14, 9});
        QVERIFY(!window->isTipShown());
        QTRY_VERIFY_WITH_TIMEOUT(window->isTipShown(), 2000);
        QCOMPARE(window->title(), QString("IP Address"));
        QCOMPARE(window->titleIcon(), 1);

        pointerLeave(form->settings.address);
        QVERIFY(!window->isTipShown());
        pointerMove(form->settings.address);
        QCOMPARE(form->settings.addressTip.window(), window);
        QCOMPARE(tipWindowCount(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(window->isTipShown(), 2000);
    }

    void tabbingIntoTheLoginFieldSelectsIt() {
        QCOMPARE(form->settings.login->text(), QString("root"));
        form->settings.login->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(form->settings.login->selectedText(), QString("root"));
    }

    void selectionRunsFromTheCaretToTheEnd() {
        form->settings.address->setFocus(Qt::TabFocusReason);
        QTRY_COMPARE(form->settings.address->selectedText(), QString("10.0.0.7"));
        form->settings.address->setCursorPosition(3); // the operator puts the caret after "10."
        form->settings.login->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(form->settings.login->hasFocus());
        form->settings.address->setFocus(Qt::BacktabFocusReason);
        QTRY_COMPARE(form->settings.address->selectedText(), QString("0.0.7"));
        QCOMPARE(form->settings.address->selectionStart(), 3);
    }
};

QTEST_MAIN(TestFieldHints)
#include "tst_fieldhints.moc"
