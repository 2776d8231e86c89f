// The window's start check of its event routes: a route whose control lacks its event, or that
// has no control, is reported by control and event name; a route table that fits reports none.
#include "app/dispatch.h"
#include "app/form2.h"
#include "platform/services.h"
#include "platform/versionquery.h"
#include "tests/support/fixedversion.h"
#include "tests/support/tempprogramfolder.h"

#include <QtTest>
#include <memory>
#include <optional>

namespace {

// The design name of the control the test routes come from: "" for the window itself, "-" for
// no control at all. Routes take plain function pointers, so the source reads it from here.
QString routedDesignName;

QObject* routedSource(Form2& form) {
    if (routedDesignName.isEmpty())
        return &form;
    if (routedDesignName == QLatin1String("-"))
        return nullptr;
    return form.findChild<QObject*>(routedDesignName);
}

void noAction(Form2&, const EventArgs&) {}

} // namespace

class DispatchTest : public QObject {
    Q_OBJECT
    std::optional<qv::ScopedServices> services;
    std::unique_ptr<qv::test::TempProgramFolder> folder;
    std::unique_ptr<Form2> form;

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

    void routeChecked_data() {
        QTest::addColumn<QString>("designName");
        QTest::addColumn<int>("event");
        QTest::addColumn<QStringList>("unmatched");
        const auto row = [](const char* name, const char* design, Event event,
                            const QStringList& unmatched) {
            QTest::newRow(name) << QString::fromLatin1(design) << static_cast<int>(event)
                                << unmatched;
        };
        row("flat button without a timer", "Command2", Event::Timer, {"Command2.Timer"});
        row("timer without a click", "Timer1", Event::Click, {"Timer1.Click"});
        row("picture without focus", "Image2", Event::GotFocus, {"Image2.GotFocus"});
        row("list view without focus", "ListView1", Event::GotFocus, {"ListView1.GotFocus"});
        row("text box without a state", "Text10", Event::StateChanged, {"Text10.StateChanged"});
        row("no control", "-", Event::Click, {"(no control).Click"});
        row("flat button clicked", "Command2", Event::Click, {});
        row("timer firing", "Timer1", Event::Timer, {});
        row("text box focused", "Text10", Event::GotFocus, {});
        row("list view double clicked", "lw1", Event::DblClick, {});
        row("transfer state", "Inet1", Event::StateChanged, {});
        row("window resized", "", Event::Resize, {});
    }
    void routeChecked() {
        QFETCH(QString, designName);
        QFETCH(int, event);
        QFETCH(QStringList, unmatched);
        routedDesignName = designName;
        const Route routes[] = {{routedSource, static_cast<Event>(event), noAction}};
        QCOMPARE(connectRoutes(*form, routes), unmatched);
    }

    // Only the routes that do not fit are named, in the table's order.
    void mixedTableNamesTheRoutesThatDoNotFit() {
        const Route routes[] = {
            {[](Form2& f) -> QObject* { return f.findChild<QObject*>("Command9"); }, Event::Click,
             noAction},
            {[](Form2& f) -> QObject* { return f.findChild<QObject*>("Command2"); }, Event::Timer,
             noAction},
            {[](Form2& f) -> QObject* { return &f; }, Event::MouseMove, noAction},
            {[](Form2& f) -> QObject* { return f.findChild<QObject*>("Timer4"); }, Event::DblClick,
             noAction},
        };
        QCOMPARE(connectRoutes(*form, routes), QStringList({"Command2.Timer", "Timer4.DblClick"}));
    }

    // The window's own table fits its controls.
    void windowTableFits() { QCOMPARE(connectDispatch(*form), QStringList()); }
};

QTEST_MAIN(DispatchTest)
#include "tst_dispatch.moc"
