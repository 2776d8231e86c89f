#include "controls/host/propertybag.h"

#include <QFile>
#include <QSaveFile>
#include <algorithm>

namespace qv::host {

auto PropertyBag::find(const QString& key) -> std::vector<std::pair<QString, QString>>::iterator {
    return std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) {
        return e.first.compare(key, Qt::CaseInsensitive) == 0;
    });
}

auto PropertyBag::find(const QString& key) const
    -> std::vector<std::pair<QString, QString>>::const_iterator {
    return std::find_if(entries_.begin(), entries_.end(), [&](const auto& e) {
        return e.first.compare(key, Qt::CaseInsensitive) == 0;
    });
}

bool PropertyBag::contains(const QString& key) const {
    return find(key) != entries_.end();
}

QString PropertyBag::text(const QString& key) const {
    const auto it = find(key);
    return it == entries_.end() ? QString() : it->second;
}

QVariant PropertyBag::read(const QString& key, const QVariant& defaultValue) {
    log_.push_back({Access::Read, key});
    const auto it = find(key);
    if (it == entries_.end())
        return defaultValue;
    const QString& stored = it->second;
    switch (defaultValue.typeId()) {
    case QMetaType::Bool:
        if (stored == QLatin1String("true") || stored == QLatin1String("-1") ||
            stored == QLatin1String("1"))
            return true;
        if (stored == QLatin1String("false") || stored == QLatin1String("0"))
            return false;
        return defaultValue;
    case QMetaType::QFont: {
        QFont font;
        return font.fromString(stored) ? QVariant(font) : defaultValue;
    }
    case QMetaType::QColor: {
        const QColor color = QColor::fromString(stored);
        return color.isValid() ? QVariant(color) : defaultValue;
    }
    case QMetaType::QString:
    case QMetaType::UnknownType:
        return stored;
    default: {
        QVariant value(stored);
        return value.convert(defaultValue.metaType()) ? value : defaultValue;
    }
    }
}

bool PropertyBag::readBool(const QString& key, bool defaultValue) {
    return read(key, defaultValue).toBool();
}
int PropertyBag::readInt(const QString& key, int defaultValue) {
    return read(key, defaultValue).toInt();
}
QString PropertyBag::readString(const QString& key, const QString& defaultValue) {
    return read(key, defaultValue).toString();
}
QFont PropertyBag::readFont(const QString& key, const QFont& defaultValue) {
    return read(key, defaultValue).value<QFont>();
}

QString PropertyBag::toText(const QVariant& value) {
    switch (value.typeId()) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QFont:
        return value.value<QFont>().toString();
    case QMetaType::QColor:
        return value.value<QColor>().name(QColor::HexArgb);
    default:
        return value.toString();
    }
}

void PropertyBag::write(const QString& key, const QVariant& value) {
    log_.push_back({Access::Write, key});
    const QString stored = toText(value);
    auto it = find(key);
    if (it == entries_.end())
        entries_.emplace_back(key, stored);
    else
        it->second = stored;
}

void PropertyBag::write(const QString& key, const QVariant& value, const QVariant& defaultValue) {
    if (toText(value) == toText(defaultValue)) {
        log_.push_back({Access::Write, key});
        auto it = find(key);
        if (it != entries_.end())
            entries_.erase(it);
        return;
    }
    write(key, value);
}

QStringList PropertyBag::keys() const {
    QStringList list;
    for (const auto& e : entries_)
        list << e.first;
    return list;
}

QByteArray PropertyBag::toBytes() const {
    QByteArray bytes;
    for (const auto& [key, value] : entries_) {
        QString escaped = value;
        escaped.replace(QLatin1Char('\\'), QLatin1String("\\\\"))
            .replace(QLatin1Char('\n'), QLatin1String("\\n"));
        bytes += key.toUtf8() + '=' + escaped.toUtf8() + '\n';
    }
    return bytes;
}

PropertyBag PropertyBag::fromBytes(const QByteArray& bytes) {
    PropertyBag bag;
    for (const QByteArray& line : bytes.split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq <= 0)
            continue;
        const QString raw = QString::fromUtf8(line.mid(eq + 1));
        QString value;
        for (qsizetype i = 0; i < raw.size(); ++i) {
            if (raw[i] == QLatin1Char('\\') && i + 1 < raw.size()) {
                ++i;
                value += raw[i] == QLatin1Char('n') ? QLatin1Char('\n') : raw[i];
            } else {
                value += raw[i];
            }
        }
        bag.entries_.emplace_back(QString::fromUtf8(line.left(eq)), value);
    }
    return bag;
}

bool PropertyBag::save(const QString& path, QString* error) const {
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(toBytes()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

PropertyBag PropertyBag::load(const QString& path, bool* ok) {
    QFile file(path);
    const bool opened = file.open(QIODevice::ReadOnly);
    if (ok)
        *ok = opened;
    return opened ? fromBytes(file.readAll()) : PropertyBag();
}

} // namespace qv::host
