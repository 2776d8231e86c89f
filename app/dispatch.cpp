#include "app/dispatch.h"

#include "app/actions/browser.h"
#include "app/actions/exports.h"
#include "app/actions/hoverdetails.h"
#include "app/actions/passwordstore.h"
#include "app/actions/recordviewer.h"
#include "app/actions/search.h"
#include "app/actions/transferstatus.h"
#include "app/fieldhints.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "app/splash.h"
#include "controls/command/command.h"
#include "platform/twips.h"
#include "transfer/transfercontrol.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace {

// A control of the window, by its member.
template <auto... Path> QObject* control(Form2& form) {
    return (form.*....*Path);
}
QObject* window(Form2& form) {
    return &form;
}

} // namespace

// The window's routes, by the members that keep their controls (the panels let this struct reach
// their members).
struct Form2Routes {
    static std::span<const Route> all();
};

std::span<const Route> Form2Routes::all() {
    // clang-format off
    static const Route kRoutes[] = {
    {control<&Form2::details, &DetailsPanel::backButton_>,   Event::Click,        [](Form2& f, const EventArgs&) { f.backToSettings(); }},
    {control<&Form2::frame, &WindowFrame::quitButton_>,   Event::Click,        [](Form2& f, const EventArgs&) { f.quitProgram(); }},
    {control<&Form2::frame, &WindowFrame::exitPicture_>,     Event::Click,        [](Form2& f, const EventArgs&) { f.exitProgram(); }},
    {control<&Form2::frame, &WindowFrame::exitPicture_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { f.showPictureBorder(f.frame.exitPicture_); }},
    {control<&Form2::frame, &WindowFrame::aboutPicture_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { f.showPictureBorder(f.frame.aboutPicture_); }},
    {control<&Form2::frame, &WindowFrame::settingsPicture_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { f.showPictureBorder(f.frame.settingsPicture_); }},
    {window,                      Event::MouseMove,    [](Form2& f, const EventArgs&) { f.showPictureBorder(nullptr); }},
    {control<&Form2::frame, &WindowFrame::background_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { f.showPictureBorder(nullptr); }},
    {control<&Form2::settings, &SettingsPanel::searchButton_>,   Event::Click,        [](Form2& f, const EventArgs&) { searchServer(f); }},
    {control<&Form2::details, &DetailsPanel::deleteButton_>,  Event::Click,        [](Form2& f, const EventArgs&) { deleteOnServer(f); }},
    {control<&Form2::transfer>,      Event::StateChanged, [](Form2& f, const EventArgs& a) { transferStateChanged(f, static_cast<qint16>(a.value)); }},
    {window,                      Event::Resize,       [](Form2& f, const EventArgs&) { rescaleForm(f); }},
    {control<&Form2::guidance, &GuidanceTimers::startTimer_>,     Event::Timer,        [](Form2& f, const EventArgs&) { qv::guidance::onGuidanceTimer(f, 1); }},
    {control<&Form2::guidance, &GuidanceTimers::selectTimer_>,     Event::Timer,        [](Form2& f, const EventArgs&) { qv::guidance::onGuidanceTimer(f, 2); }},
    {control<&Form2::guidance, &GuidanceTimers::settingsTimer_>,     Event::Timer,        [](Form2& f, const EventArgs&) { qv::guidance::onGuidanceTimer(f, 3); }},
    {control<&Form2::guidance, &GuidanceTimers::noFilesTimer_>,     Event::Timer,        [](Form2& f, const EventArgs&) { qv::guidance::onGuidanceTimer(f, 4); }},
    {control<&Form2::frame, &WindowFrame::aboutPicture_>,     Event::Click,        [](Form2&, const EventArgs&) { SplashWindow::showSplash(); }},
    {control<&Form2::settings, &SettingsPanel::address_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { attachFieldHint(f, SettingsPanel::Hint::Address); }},
    {control<&Form2::settings, &SettingsPanel::login_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { attachFieldHint(f, SettingsPanel::Hint::Login); }},
    {control<&Form2::settings, &SettingsPanel::password_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { attachFieldHint(f, SettingsPanel::Hint::Password); }},
    {control<&Form2::settings, &SettingsPanel::searchHintArea_>,     Event::MouseMove,    [](Form2& f, const EventArgs&) { attachFieldHint(f, SettingsPanel::Hint::Search); }},
    {control<&Form2::settings, &SettingsPanel::address_>,     Event::GotFocus,     [](Form2& f, const EventArgs&) { selectFieldText(f.settings.address_); }},
    {control<&Form2::settings, &SettingsPanel::login_>,     Event::GotFocus,     [](Form2& f, const EventArgs&) { selectFieldText(f.settings.login_); }},
    {control<&Form2::settings, &SettingsPanel::password_>,     Event::GotFocus,     [](Form2& f, const EventArgs&) { selectFieldText(f.settings.password_); }},
    {control<&Form2::settings, &SettingsPanel::keyringChoice_>, Event::Click,        [](Form2& f, const EventArgs&) { switchPasswordPlace(f); }},
    // Merge files: browser, record list, hover details.
    {control<&Form2::browser, &BrowserPanel::files_>,  Event::Click,        [](Form2& f, const EventArgs&) { selectMergeFile(f); }},
    {control<&Form2::browser, &BrowserPanel::files_>,  Event::MouseMove,    [](Form2& f, const EventArgs& a) {
        showMergeSummary(f, a.buttons, a.modifiers, qv::pixelsToTwips(a.pos.x()), qv::pixelsToTwips(a.pos.y())); }},
    {control<&Form2::browser, &BrowserPanel::records_>,        Event::DblClick,     [](Form2& f, const EventArgs&) { toggleRecordListSize(f); }},
    {control<&Form2::browser, &BrowserPanel::records_>,        Event::MouseMove,    [](Form2& f, const EventArgs& a) {
        showFieldNamesTip(f, a.buttons, a.modifiers, qv::pixelsToTwips(a.pos.x()), qv::pixelsToTwips(a.pos.y())); }},
    {control<&Form2::browser, &BrowserPanel::viewButton_>,   Event::Click,        [](Form2& f, const EventArgs&) { cycleBrowserView(f); }},
    {control<&Form2::details, &DetailsPanel::newDocumentButton_>,   Event::Click,        [](Form2& f, const EventArgs&) { createMergeDocument(f); }},
    {control<&Form2::details, &DetailsPanel::completeMergeButton_>,   Event::Click,        [](Form2& f, const EventArgs&) { mergeIntoTemplate(f); }},
    {control<&Form2::details, &DetailsPanel::spreadsheetButton_>,   Event::Click,        [](Form2& f, const EventArgs&) { exportToSpreadsheet(f); }},
    {control<&Form2::details, &DetailsPanel::htmlButton_>,  Event::Click,        [](Form2& f, const EventArgs&) { exportToHtml(f); }},
    };
    // clang-format on
    return kRoutes;
}

namespace {

// Turns a Qt event of one object into calls of an action.
class EventHook : public QObject {
public:
    EventHook(QObject* target, QEvent::Type type, Form2& form, Action action)
        : QObject(target), type_(type), form_(form), action_(action) {
        target->installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == type_) {
            EventArgs args;
            if (type_ == QEvent::MouseMove || type_ == QEvent::MouseButtonRelease ||
                type_ == QEvent::MouseButtonDblClick) {
                auto* me = static_cast<QMouseEvent*>(event);
                args.pos = me->position().toPoint();
                args.buttons = me->buttons();
                args.modifiers = me->modifiers();
            }
            action_(form_, args);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    QEvent::Type type_;
    Form2& form_;
    Action action_;
};

// Hooks an event of a control made for it (a button's click, a list's double click, a timer's
// timeout, ...). False when the control has no such event.
bool hookOwnEvent(Form2& form, QObject* source, Event event, Action action) {
    auto run = [&form, action](EventArgs args) { action(form, args); };
    auto mouse = [run](Qt::MouseButtons b, Qt::KeyboardModifiers m, QPoint p) {
        run({p, b, m, 0});
    };
    auto plain = [run] { run({}); };

    if (auto* button = qobject_cast<Command*>(source); button && event == Event::Click)
        return QObject::connect(button, &Command::Click, &form, plain);
    if (auto* push = qobject_cast<QAbstractButton*>(source); push && event == Event::Click)
        return QObject::connect(push, &QAbstractButton::clicked, &form, plain);
    if (auto* view = qobject_cast<ListView*>(source)) {
        if (event == Event::Click)
            return QObject::connect(view, &ListView::Click, &form, plain);
        if (event == Event::DblClick)
            return QObject::connect(view, &ListView::DblClick, &form, plain);
        if (event == Event::MouseMove)
            return QObject::connect(view, &ListView::MouseMove, &form, mouse);
        return false;
    }
    if (auto* picture = qobject_cast<PictureBox*>(source)) {
        if (event == Event::Click)
            return QObject::connect(picture, &PictureBox::Click, &form, plain);
        if (event == Event::MouseMove)
            return QObject::connect(picture, &PictureBox::MouseMove, &form, mouse);
        return false;
    }
    if (auto* inet = qobject_cast<qv::TransferControl*>(source);
        inet && event == Event::StateChanged)
        return QObject::connect(inet, &qv::TransferControl::StateChanged, &form,
                                [run](qint16 state) {
                                    run({{}, Qt::NoButton, Qt::NoModifier, state});
                                });
    if (auto* timer = qobject_cast<QTimer*>(source); timer && event == Event::Timer)
        return QObject::connect(timer, &QTimer::timeout, &form, plain);
    return false;
}

// Hooks a plain widget's event through an event filter. False when a widget has no such event.
bool hookWidgetEvent(Form2& form, QWidget* widget, Event event, Action action) {
    switch (event) {
    case Event::MouseMove:
        widget->setMouseTracking(true);
        new EventHook(widget, QEvent::MouseMove, form, action);
        return true;
    case Event::GotFocus:
        new EventHook(widget, QEvent::FocusIn, form, action);
        return true;
    case Event::Resize:
        new EventHook(widget, QEvent::Resize, form, action);
        return true;
    case Event::Click:
        new EventHook(widget, QEvent::MouseButtonRelease, form, action);
        return true;
    case Event::DblClick:
        new EventHook(widget, QEvent::MouseButtonDblClick, form, action);
        return true;
    case Event::Timer:
    case Event::StateChanged:
        break;
    }
    return false;
}

bool hook(Form2& form, QObject* source, Event event, Action action) {
    if (hookOwnEvent(form, source, event, action))
        return true;
    // Controls with events of their own take no others through a filter.
    if (qobject_cast<ListView*>(source) || qobject_cast<PictureBox*>(source))
        return false;
    auto* widget = qobject_cast<QWidget*>(source);
    return widget && hookWidgetEvent(form, widget, event, action);
}

const char* eventName(Event event) {
    switch (event) {
    case Event::Click:
        return "Click";
    case Event::DblClick:
        return "DblClick";
    case Event::MouseMove:
        return "MouseMove";
    case Event::GotFocus:
        return "GotFocus";
    case Event::Timer:
        return "Timer";
    case Event::Resize:
        return "Resize";
    case Event::StateChanged:
        return "StateChanged";
    }
    return "?";
}

} // namespace

QStringList connectRoutes(Form2& form, std::span<const Route> routes) {
    QStringList unmatched;
    for (const Route& route : routes) {
        QObject* source = route.source(form);
        if (!source || !hook(form, source, route.event, route.action))
            unmatched << (source ? source->objectName() : QStringLiteral("(no control)")) +
                             QLatin1Char('.') + QLatin1String(eventName(route.event));
    }
    return unmatched;
}

QStringList connectDispatch(Form2& form) {
    return connectRoutes(form, Form2Routes::all());
}
