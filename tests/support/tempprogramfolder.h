#pragma once

#include "platform/services.h"

#include <QString>
#include <QTemporaryDir>

// A fresh, empty program folder for one test; the program folder is restored afterwards.
namespace qv::test {

class TempProgramFolder {
public:
    TempProgramFolder();
    TempProgramFolder(const TempProgramFolder&) = delete;
    TempProgramFolder& operator=(const TempProgramFolder&) = delete;

    QString path() const { return dir_.path(); }
    QString filePath(const QString& relative) const { return dir_.filePath(relative); }

    // Writes bytes to a file below the folder, creating its folders.
    void write(const QString& relative, const QByteArray& bytes) const;
    QByteArray read(const QString& relative) const;

private:
    QTemporaryDir dir_;
    ScopedServices services_;
};

// The source tree, for test data kept beside the tests.
QString sourcePath(const QString& relative);

} // namespace qv::test
