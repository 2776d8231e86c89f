#pragma once

#include <QString>

// What the browser lists of a downloaded merge file: the name the operator sees, when it was
// transferred, the name it was stored under in the data folder and its record count as text.
struct MergeFileRow {
    QString name;
    QString date;
    QString storedName;
    QString records;
};
