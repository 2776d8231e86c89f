#pragma once

#include "output/automation.h"
#include "platform/services.h"

#include <QStringList>

// An automation backend that serves every program identifier the commands use and writes down
// each call with its arguments, one line a call, for tests. Nothing is started or saved. It is the
// installed factory for its life.
//
// Lines read like the calls: Word.Document.MailMerge.OpenDataSource("x", <omitted>, true, ...),
// excel.application.Range("a1").Value = "Ann", Word.Application.Visible = true.
namespace qv::automation {

class RecordingFactory : public Factory {
public:
    RecordingFactory() : installed_([this](Services& s) { s.automationFactory = this; }) {}
    RecordingFactory(const RecordingFactory&) = delete;
    RecordingFactory& operator=(const RecordingFactory&) = delete;

    std::unique_ptr<Object> create(const QString& progId) override;

    // Every call so far, in order.
    QStringList calls;
    // A call whose line contains this text throws Error (its line is still recorded).
    QString failOn;
    // Program identifiers that are not registered (create returns nullptr).
    QStringList unregistered;

    // Records one line and throws when it matches failOn.
    void record(const QString& line);

private:
    ScopedServices installed_;
};

// How an argument appears in a recorded line.
QString describeArg(const Arg& arg);

} // namespace qv::automation
