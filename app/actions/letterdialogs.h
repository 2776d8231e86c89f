#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

class QWidget;

// The questions the letters ask before the work: where one file a letter goes and how it is
// named, and which printer prints which records.

struct LetterFilesChoice {
    QString pattern;
    QString folder;
};

// The pattern (the merge file's fields offered for it; `example` names the first letter's file
// for a pattern) and the folder; nullopt when cancelled.
std::optional<LetterFilesChoice>
askLetterFiles(QWidget* parent, const QString& title, const QStringList& fields,
               const LetterFilesChoice& start,
               const std::function<QString(const QString& pattern)>& example);

struct PrintChoice {
    QString printer;
    int firstRecord = 1, lastRecord = 1; // from 1, both included
};

// The printer (the default one preselected) and the records; nullopt when cancelled.
std::optional<PrintChoice> askPrint(QWidget* parent, const QString& title,
                                    const QStringList& printers, const QString& defaultPrinter,
                                    int records);
