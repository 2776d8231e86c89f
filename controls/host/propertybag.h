#pragma once

#include <QColor>
#include <QFont>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <utility>
#include <vector>

// The persisted property set of a control: named values, read when the control is loaded and
// written when it is saved. Values are kept as text, in the order they were written, and a file
// holds one "Key=Value" line per property, so a stored set can be read and edited by hand.
namespace qv::host {

class PropertyBag {
public:
    struct Access {
        enum Kind { Read, Write } kind;
        QString key;
        friend bool operator==(const Access&, const Access&) = default;
    };

    bool contains(const QString& key) const;

    // The stored value converted to the type of defaultValue, or defaultValue when the key is
    // missing or its text does not convert.
    QVariant read(const QString& key, const QVariant& defaultValue);
    bool readBool(const QString& key, bool defaultValue);
    int readInt(const QString& key, int defaultValue);
    QString readString(const QString& key, const QString& defaultValue);
    QFont readFont(const QString& key, const QFont& defaultValue);

    // Stores value; with a default given, a value equal to it is not written (and an earlier
    // value of the key is removed).
    void write(const QString& key, const QVariant& value);
    void write(const QString& key, const QVariant& value, const QVariant& defaultValue);

    QStringList keys() const;                               // in the order they were first written
    QString text(const QString& key) const;                 // the stored text of a key
    const std::vector<Access>& log() const { return log_; } // every read and write, in order
    void clearLog() { log_.clear(); }

    QByteArray toBytes() const; // "Key=Value" lines, LF ended, UTF-8
    static PropertyBag fromBytes(const QByteArray& bytes);
    bool save(const QString& path, QString* error = nullptr) const;
    static PropertyBag load(const QString& path, bool* ok = nullptr);

    static QString toText(const QVariant& value);

private:
    std::vector<std::pair<QString, QString>> entries_;
    std::vector<Access> log_;

    std::vector<std::pair<QString, QString>>::iterator find(const QString& key);
    std::vector<std::pair<QString, QString>>::const_iterator find(const QString& key) const;
};

} // namespace qv::host
