#pragma once

#include <QObject>
#include <QString>
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

} // namespace qv::test
