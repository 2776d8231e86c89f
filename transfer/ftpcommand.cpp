#include "transfer/ftpcommand.h"

#include "platform/codepage.h"
#include "transfer/listingreader.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

namespace qv::transfer {
namespace {

std::optional<FtpCommand> fail(QString* why, const QString& text) {
    if (why)
        *why = text;
    return std::nullopt;
}

bool isAbsoluteLocalPath(const QString& path) {
    return !path.isEmpty() && QDir::isAbsolutePath(path);
}

QString lastSegment(const QString& path) {
    return path.mid(path.lastIndexOf(QLatin1Char('/')) + 1);
}

// The GET arguments are "<remote> <local>" without quotes, and either may hold spaces. A remote
// file name holds no "/", and the local path is absolute, so a space is a possible split when
// the remote side ends in a non-empty name and the local side is an absolute path. The split
// whose local file name equals the remote one wins; otherwise the first possible split.
bool splitGetArguments(const QString& args, QString* remote, QString* local) {
    qsizetype first = -1;
    for (qsizetype i = args.indexOf(QLatin1Char(' ')); i >= 0;
         i = args.indexOf(QLatin1Char(' '), i + 1)) {
        const QString left = args.left(i);
        const QString right = args.mid(i + 1);
        if (lastSegment(left).isEmpty() || !isAbsoluteLocalPath(right))
            continue;
        if (QFileInfo(QDir::fromNativeSeparators(right)).fileName() == lastSegment(left)) {
            *remote = left;
            *local = right;
            return true;
        }
        if (first < 0)
            first = i;
    }
    if (first < 0)
        return false;
    *remote = args.left(first);
    *local = args.mid(first + 1);
    return true;
}

} // namespace

FtpCommand FtpCommand::list(const QString& remoteFolder, const QString& pattern) {
    FtpCommand command;
    command.kind = Kind::List;
    command.remoteFolder = remoteFolder;
    command.pattern = pattern;
    return command;
}

FtpCommand FtpCommand::get(const QString& remotePath, const QString& localPath) {
    FtpCommand command;
    command.kind = Kind::Get;
    command.remotePath = remotePath;
    command.localPath = localPath;
    return command;
}

FtpCommand FtpCommand::remove(const QString& remotePath) {
    FtpCommand command;
    command.kind = Kind::Delete;
    command.remotePath = remotePath;
    return command;
}

QString FtpCommand::line() const {
    switch (kind) {
    case Kind::List:
        return QStringLiteral("DIR ") + remoteFolder + pattern;
    case Kind::Get:
        return QStringLiteral("GET ") + remotePath + QLatin1Char(' ') + localPath;
    case Kind::Delete:
        return QStringLiteral("DELETE ") + remotePath;
    }
    return {};
}

QString FtpCommand::fault() const {
    switch (kind) {
    case Kind::List:
        return pattern.isEmpty() ? QStringLiteral("DIR needs a pattern") : QString();
    case Kind::Get:
        return lastSegment(remotePath).isEmpty() || !isAbsoluteLocalPath(localPath)
                   ? QStringLiteral("GET needs a remote file and an absolute local path")
                   : QString();
    case Kind::Delete:
        return lastSegment(remotePath).isEmpty() ? QStringLiteral("DELETE needs a remote file")
                                                 : QString();
    }
    return {};
}

std::optional<FtpCommand> parseFtpCommand(const QString& line, QString* why) {
    const qsizetype space = line.indexOf(QLatin1Char(' '));
    const QString keyword = (space < 0 ? line : line.left(space)).toUpper();
    const QString args = space < 0 ? QString() : line.mid(space + 1);

    FtpCommand command;
    if (keyword == QLatin1String("DIR")) {
        if (args.isEmpty())
            return fail(why, QStringLiteral("DIR needs a remote folder"));
        const qsizetype slash = args.lastIndexOf(QLatin1Char('/'));
        const QString pattern = args.mid(slash + 1);
        return FtpCommand::list(args.left(slash + 1),
                                pattern.isEmpty() ? QStringLiteral("*") : pattern);
    }
    if (keyword == QLatin1String("GET")) {
        command.kind = FtpCommand::Kind::Get;
        if (!splitGetArguments(args, &command.remotePath, &command.localPath))
            return fail(why, QStringLiteral("GET needs a remote file and an absolute local path"));
        return command;
    }
    if (keyword == QLatin1String("DELETE")) {
        command = FtpCommand::remove(args);
        if (const QString fault = command.fault(); !fault.isEmpty())
            return fail(why, fault);
        return command;
    }
    return fail(why, QStringLiteral("Unknown transfer command: %1").arg(keyword));
}

bool matchesPattern(const QString& name, const QString& pattern) {
    // Iterative wildcard match with one backtrack point for the last "*".
    qsizetype n = 0, p = 0, starP = -1, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == QLatin1Char('*')) {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() &&
                   (pattern[p] == QLatin1Char('?') || pattern[p] == name[n])) {
            ++n;
            ++p;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == QLatin1Char('*'))
        ++p;
    return p == pattern.size();
}

QString decodeListedName(const QByteArray& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return codepage::decode(bytes);
}

QList<ListedName> matchingListedNames(const QByteArray& listing, const QString& pattern) {
    ListingReader reader(pattern);
    if (!reader.add(listing.constData(), listing.size()) || !reader.finish())
        return {};
    return reader.takeNames();
}

} // namespace qv::transfer
