#pragma once

#include <QPoint>
#include <QStringList>
#include <Qt>
#include <span>

class Form2;
class QObject;

// What an event hands its action: pointer position (pixels of the control), buttons and keys,
// and a value for events that carry one (a state code).
struct EventArgs {
    QPoint pos;
    Qt::MouseButtons buttons = Qt::NoButton;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
    int value = 0;
};

// The events the window routes to actions.
enum class Event {
    Click,        // flat and standard buttons, pictures, list views
    DblClick,     // list views
    MouseMove,    // any control, and the window itself
    GotFocus,     // text boxes
    Timer,        // the timers
    Resize,       // the window itself
    StateChanged, // the transfer control (the state code in EventArgs::value)
};

using Action = void (*)(Form2&, const EventArgs&);

// The source of a route: one of the window's controls, or the window itself.
using Source = QObject* (*)(Form2&);

// One route: the source, its event, the action the event runs.
struct Route {
    Source source;
    Event event;
    Action action;
};

// Connects each route's event to its action. Returns the routes whose control has no such event,
// by control and event name ("Command2.Timer"), and those without a control ("(no control).Click").
QStringList connectRoutes(Form2& form, std::span<const Route> routes);

// Connects every event of the window and its controls to its one action (app/dispatch.cpp holds
// the table). Returns the routes that could not be connected, as connectRoutes does; the window
// refuses to start with any.
QStringList connectDispatch(Form2& form);
