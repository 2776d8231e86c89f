#include "platform/desktophandler.h"

#include "platform/services.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QTextStream>

namespace qv {

namespace {

QStringList pathList(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return (value.isEmpty() ? fallback : value).split(QLatin1Char(':'), Qt::SkipEmptyParts);
}

QString home(const char* variable, const QString& fallback) {
    const QString value = qEnvironmentVariable(variable);
    return value.isEmpty() ? QDir::home().filePath(fallback) : value;
}

QStringList dataDirs() {
    return QStringList{home("XDG_DATA_HOME", QStringLiteral(".local/share"))} +
           pathList("XDG_DATA_DIRS", QStringLiteral("/usr/local/share:/usr/share"));
}

// The keys of one group of a desktop-entry style file.
QHash<QString, QString> group(const QString& path, const QString& wanted) {
    QHash<QString, QString> keys;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return keys;
    QTextStream in(&file);
    bool inside = false;
    while (!in.atEnd()) {
        const QString line = in.readLine().trimmed();
        if (line.startsWith(QLatin1Char('[')))
            inside = line == QLatin1Char('[') + wanted + QLatin1Char(']');
        else if (const qsizetype eq = line.indexOf(QLatin1Char('=')); inside && eq > 0)
            keys.insert(line.left(eq).trimmed(), line.mid(eq + 1).trimmed());
    }
    return keys;
}

// The desktop entry's file: <data dir>/applications/<id>, or a folder for each "-" of the id.
QString entryPath(const QString& id) {
    for (const QString& dir : dataDirs()) {
        QString relative = id;
        for (;;) {
            const QString path = QDir(dir).filePath(QStringLiteral("applications/") + relative);
            if (QFile::exists(path))
                return path;
            const qsizetype dash = relative.indexOf(QLatin1Char('-'));
            if (dash < 0)
                break;
            relative[dash] = QLatin1Char('/');
        }
    }
    return {};
}

QStringList words(const QString& exec) {
    QStringList out;
    QString word;
    bool quoted = false, any = false;
    for (const QChar c : exec) {
        if (c == QLatin1Char('"')) {
            quoted = !quoted;
            any = true;
        } else if (c.isSpace() && !quoted) {
            if (any && !word.startsWith(QLatin1Char('%')))
                out << word;
            word.clear();
            any = false;
        } else {
            word += c;
            any = true;
        }
    }
    if (any && !word.startsWith(QLatin1Char('%')))
        out << word;
    return out;
}

// The lists to read, in order: the desktop's own before the common one, in each folder.
QStringList mimeappsLists() {
    QStringList folders = QStringList{home("XDG_CONFIG_HOME", QStringLiteral(".config"))} +
                          pathList("XDG_CONFIG_DIRS", QStringLiteral("/etc/xdg"));
    for (const QString& dir : dataDirs())
        folders << QDir(dir).filePath(QStringLiteral("applications"));
    const QStringList desktops =
        qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(u':', Qt::SkipEmptyParts);
    QStringList lists;
    for (const QString& folder : folders) {
        for (const QString& d : desktops)
            lists << QDir(folder).filePath(d + QStringLiteral("-mimeapps.list"));
        lists << QDir(folder).filePath(QStringLiteral("mimeapps.list"));
    }
    return lists;
}

QString firstInstalled(const QString& ids, const QStringList& removed) {
    for (const QString& id : ids.split(QLatin1Char(';'), Qt::SkipEmptyParts))
        if (!removed.contains(id) && !entryPath(id).isEmpty())
            return id;
    return {};
}

QString handlerId(const QString& mimeType) {
    const QStringList lists = mimeappsLists();
    for (const QString& list : lists)
        if (QString id = firstInstalled(
                group(list, QStringLiteral("Default Applications")).value(mimeType), {});
            !id.isEmpty())
            return id;
    QStringList removed;
    for (const QString& list : lists) {
        const QString ids = group(list, QStringLiteral("Added Associations")).value(mimeType);
        if (QString id = firstInstalled(ids, removed); !id.isEmpty())
            return id;
        removed << group(list, QStringLiteral("Removed Associations"))
                       .value(mimeType)
                       .split(QLatin1Char(';'), Qt::SkipEmptyParts);
    }
    for (const QString& dir : dataDirs()) {
        const QString cache = QDir(dir).filePath(QStringLiteral("applications/mimeinfo.cache"));
        if (QString id =
                firstInstalled(group(cache, QStringLiteral("MIME Cache")).value(mimeType), removed);
            !id.isEmpty())
            return id;
    }
    return {};
}

} // namespace

DesktopHandler desktopHandler(const QString& mimeType) {
    if (const DesktopHandlerQuery& query = services().desktopHandler)
        return query(mimeType);
    DesktopHandler handler;
    handler.desktopId = handlerId(mimeType);
    if (handler.desktopId.isEmpty())
        return handler;
    const QHash<QString, QString> entry =
        group(entryPath(handler.desktopId), QStringLiteral("Desktop Entry"));
    handler.name = entry.value(QStringLiteral("Name"));
    handler.command = words(entry.value(QStringLiteral("Exec")));
    return handler;
}

} // namespace qv
