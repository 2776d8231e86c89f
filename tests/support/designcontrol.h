#pragma once

#include <QObject>
#include <QString>
#include <QVariant>
#include <QtGlobal>

// Header only: the benchmarks use it too, without the rest of the test support.
namespace qv::test {

// The control of a window by its design name (its object name) and type, as a test or a
// benchmark reaches it from outside the window. A missing control stops the program with its name:
// a test that went on with nullptr would only crash later, further from the cause.
template <class T> T* designControl(const QObject& window, const char* designName) {
    T* control = window.findChild<T*>(QString::fromLatin1(designName));
    if (!control)
        qFatal("%s has no control \"%s\" of the type asked for", qPrintable(window.objectName()),
               designName);
    return control;
}

// One member of a control array: the controls that share a design name and carry their index
// as the property "controlIndex".
template <class T>
T* designControl(const QObject& window, const char* designName, int controlIndex) {
    T* found = nullptr;
    for (T* control : window.findChildren<T*>(QString::fromLatin1(designName))) {
        const QVariant index = control->property("controlIndex");
        if (index.isValid() && index.toInt() == controlIndex)
            found = control;
    }
    if (!found)
        qFatal("%s has no control \"%s(%d)\" of the type asked for",
               qPrintable(window.objectName()), designName, controlIndex);
    return found;
}

} // namespace qv::test
