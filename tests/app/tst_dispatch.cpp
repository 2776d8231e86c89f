// The window's dispatch: each control the operator works tells its panel's intent, and the
// window's connections run the intent's action.
#include "app/form2.h"
#include "controls/command/command.h"
#include "platform/services.h"
#include "platform/versionquery.h"
#include "tests/support/designcontrol.h"
#include "tests/support/fixedversion.h"
#include "tests/support/tempprogramfolder.h"
#include "ui/shapes.h"

#include <QSignalSpy>
#include <QtTest>
#include <map>
#include <memory>
#include <optional>

using qv::test::designControl;

Q_DECLARE_METATYPE(ExportKind)

class DispatchTest : public QObject {
    Q_OBJECT
    std::optional<qv::ScopedServices> services;
    std::unique_ptr<qv::test::TempProgramFolder> folder;
    std::unique_ptr<Form2> form;

    // The control's click as the flat button raises it through its property interface.
    static void click(Command* button) { emit button->Click(); }

private slots:
    void init() {
        services.emplace([](qv::Services& s) {
            s.versionQuery = qv::test::fixedVersion(qv::kPlatformNT, 5, 1);
        });
        folder = std::make_unique<qv::test::TempProgramFolder>();
        form = std::make_unique<Form2>();
    }
    void cleanup() {
        form.reset();
        folder.reset();
        services.reset();
    }

    // Each command button of the details panel tells its own intent, and only that one.
    void detailsCommandsTellTheirIntent_data() {
        QTest::addColumn<QString>("designName");
        QTest::addColumn<QString>("intent");
        QTest::addColumn<int>("kind"); // of an export, -1 for none
        QTest::newRow("new document") << "Command3"
                                      << "newDocumentRequested" << -1;
        QTest::newRow("complete merge") << "Command4"
                                        << "completeMergeRequested" << -1;
        QTest::newRow("spreadsheet")
            << "Command7"
            << "exportRequested" << static_cast<int>(ExportKind::Spreadsheet);
        QTest::newRow("html") << "Command11"
                              << "exportRequested" << static_cast<int>(ExportKind::Html);
        QTest::newRow("delete") << "Command10"
                                << "deleteRequested" << -1;
        QTest::newRow("back") << "Command2"
                              << "backRequested" << -1;
    }
    void detailsCommandsTellTheirIntent() {
        QFETCH(QString, designName);
        QFETCH(QString, intent);
        QFETCH(int, kind);
        DetailsPanel details(nullptr);
        QSignalSpy newDocument(&details, &DetailsPanel::newDocumentRequested);
        QSignalSpy completeMerge(&details, &DetailsPanel::completeMergeRequested);
        QSignalSpy exports(&details, &DetailsPanel::exportRequested);
        QSignalSpy deletes(&details, &DetailsPanel::deleteRequested);
        QSignalSpy back(&details, &DetailsPanel::backRequested);
        const std::map<QString, QSignalSpy*> spies = {{"newDocumentRequested", &newDocument},
                                                      {"completeMergeRequested", &completeMerge},
                                                      {"exportRequested", &exports},
                                                      {"deleteRequested", &deletes},
                                                      {"backRequested", &back}};

        click(designControl<Command>(details, designName.toLatin1().constData()));

        for (const auto& [name, spy] : spies)
            QCOMPARE(spy->count(), name == intent ? 1 : 0);
        if (kind >= 0)
            QCOMPARE(exports.first().first().value<ExportKind>(), static_cast<ExportKind>(kind));
    }

    void settingsAndFrameTellTheirIntents() {
        SettingsPanel settings(nullptr);
        QSignalSpy search(&settings, &SettingsPanel::searchRequested);
        click(designControl<Command>(settings, "Command1"));
        QCOMPARE(search.count(), 1);

        WindowFrame frame(nullptr);
        QSignalSpy quit(&frame, &WindowFrame::quitRequested);
        QSignalSpy exit(&frame, &WindowFrame::exitRequested);
        QSignalSpy about(&frame, &WindowFrame::aboutRequested);
        click(designControl<Command>(frame, "Command9"));
        emit designControl<PictureBox>(frame, "Image2")->Click();
        emit designControl<PictureBox>(frame, "Image3")->Click();
        QCOMPARE(quit.count(), 1);
        QCOMPARE(exit.count(), 1);
        QCOMPARE(about.count(), 1);
    }

    // The window runs the action of an intent: Back shows the settings again.
    void windowRunsTheIntentsAction() {
        form->showDetails();
        QVERIFY(designControl<Command>(*form, "Command1")->isHidden());
        click(designControl<Command>(*form, "Command2"));
        QVERIFY(!designControl<Command>(*form, "Command1")->isHidden());
        QVERIFY(designControl<Command>(*form, "Command2")->isHidden());
    }

    // A layer takes the pointer only over its shown controls: the controls of the layers below
    // stay reachable between them.
    void layersLetThePointerThroughBetweenTheirControls() {
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
        Command* const quit = designControl<Command>(*form, "Command9");
        QCOMPARE(form->childAt(quit->geometry().center()), quit);
        Command* const search = designControl<Command>(*form, "Command1");
        QCOMPARE(form->childAt(search->geometry().center()), search);
        form->showDetails();
        QCOMPARE(form->childAt(search->geometry().center()),
                 designControl<Command>(*form, "Command2"));
        QCOMPARE(form->childAt(quit->geometry().center()), quit);
    }
};

QTEST_MAIN(DispatchTest)
#include "tst_dispatch.moc"
