#pragma once

#include "controls/host/propertybag.h"
#include "controls/tamsel/tamselstate.h"

#include <QString>
#include <QStringList>
#include <vector>

// The persisted properties of the multi-style button: their keys, help strings and design-time
// rules, and the reading and writing of a stored set.
namespace qv::tamsel {

struct PropertyInfo {
    QString name;            // property name as the designer shows it
    QString key;             // persistence key; empty for properties that are not stored
    QString help;            // the designer's help string; empty when there is none
    bool designOnly = false; // read-only at run time
};

// Every property, the read-only ones and the method, in declaration order.
const std::vector<PropertyInfo>& propertyTable();
const PropertyInfo* findProperty(const QString& name);

// Keys in the order a stored set is read and the order it is written.
const QStringList& loadOrder();
const QStringList& saveOrder();

// The values a stored set falls back to for missing keys that depend on the system.
struct LoadDefaults {
    QString caption; // the control's name
    QFont font;      // the control's current font
};

// Reads every key in load order, with the missing-key values, then applies what follows a load:
// the effective graphics mode, the old-system scheme conversion, has-icon and the palette
// (without overwriting the colour properties). A stored value outside its range counts as
// missing. The caller then enables its window, assigns the font and recomputes the accelerator.
void loadProperties(TamselData& data, host::PropertyBag& bag, const LoadDefaults& defaults);

// Writes every key in save order, unconditionally.
void saveProperties(const TamselData& data, host::PropertyBag& bag);

// A picture as stored text (PNG, base64) and back; empty text is no picture.
QString pictureToText(const QImage& image);
QImage pictureFromText(const QString& text);

} // namespace qv::tamsel
