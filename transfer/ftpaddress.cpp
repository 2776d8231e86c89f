#include "transfer/ftpaddress.h"

#include <QUrl>
#include <arpa/inet.h>

namespace qv::transfer {
namespace {

std::optional<FtpAddress> fail(QString* why, const QString& text) {
    if (why)
        *why = text;
    return std::nullopt;
}

bool parsePort(const QString& text, int* port) {
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < 1 || value > 65535 || text.startsWith(QLatin1Char('+')))
        return false;
    *port = value;
    return true;
}

// Letters, digits, '-', '_' and '.' in labels that are neither empty nor start or end with '-'.
bool isHostName(const QString& host) {
    if (host.isEmpty() || host.size() > 253)
        return false;
    const QStringList labels =
        host.endsWith(QLatin1Char('.')) ? host.chopped(1).split(u'.') : host.split(u'.');
    for (const QString& label : labels) {
        if (label.isEmpty() || label.size() > 63 || label.startsWith(u'-') || label.endsWith(u'-'))
            return false;
        for (QChar c : label) {
            if (!(c.isLetterOrNumber() && c.unicode() < 128) && c != u'-' && c != u'_')
                return false;
        }
    }
    return true;
}

bool isIpv6(const QString& text) {
    in6_addr address{};
    return inet_pton(AF_INET6, text.toLatin1().constData(), &address) == 1;
}

struct SchemeName {
    const char* name;
    Scheme scheme;
};
constexpr SchemeName kSchemes[] = {
    {"ftp", Scheme::Ftp}, {"ftpes", Scheme::Ftpes}, {"ftps", Scheme::Ftps}, {"sftp", Scheme::Sftp}};

std::optional<Scheme> schemeNamed(const QString& name) {
    for (const SchemeName& known : kSchemes) {
        if (name.compare(QLatin1String(known.name), Qt::CaseInsensitive) == 0)
            return known.scheme;
    }
    return std::nullopt;
}

} // namespace

int defaultPort(Scheme scheme) {
    switch (scheme) {
    case Scheme::Ftps:
        return 990;
    case Scheme::Sftp:
        return 22;
    case Scheme::Ftp:
    case Scheme::Ftpes:
        break;
    }
    return 21;
}

QString FtpAddress::urlBase() const {
    // Explicit TLS is an FTP URL whose session is upgraded with AUTH TLS before the login.
    const char* name = scheme == Scheme::Ftps ? "ftps" : scheme == Scheme::Sftp ? "sftp" : "ftp";
    return QStringLiteral("%1://%2").arg(QLatin1String(name), hostPort());
}

QString FtpAddress::hostPort() const {
    return QStringLiteral("%1:%2").arg(host).arg(port);
}

bool addressHoldsCredentials(const QString& text) {
    return text.contains(QLatin1Char('@'));
}

QString credentialsInAddressText() {
    return QStringLiteral("The IP Address holds a login name or password (before an \"@\"). "
                          "Key in the address alone; the login name and the password have "
                          "their own settings.");
}

std::optional<FtpAddress> parseFtpAddress(const QString& input, QString* why) {
    const QString text = input.trimmed();
    if (text.isEmpty())
        return fail(why, QStringLiteral("No server address was given"));
    if (addressHoldsCredentials(text))
        return fail(why, credentialsInAddressText());

    FtpAddress address;
    const qsizetype scheme = text.indexOf(QLatin1String("://"));
    if (scheme >= 0) {
        const std::optional<Scheme> known = schemeNamed(text.left(scheme));
        if (!known)
            return fail(why, QStringLiteral("Only ftp://, ftpes://, ftps:// and sftp:// addresses "
                                            "are supported: %1")
                                 .arg(text));
        address.scheme = *known;
        const QUrl url(text, QUrl::StrictMode);
        if (!url.isValid() || url.host().isEmpty())
            return fail(why, QStringLiteral("Not a valid server address: %1").arg(text));
        const QString host = url.host();
        if (isIpv6(host))
            address.host = QLatin1Char('[') + host + QLatin1Char(']');
        else if (isHostName(host))
            address.host = host;
        else
            return fail(why, QStringLiteral("Not a valid server address: %1").arg(text));
        address.port = url.port(defaultPort(address.scheme));
        if (address.port < 1 || address.port > 65535)
            return fail(why, QStringLiteral("Not a valid port in: %1").arg(text));
        return address;
    }

    if (text.startsWith(QLatin1Char('['))) { // [IPv6] or [IPv6]:port
        const qsizetype close = text.indexOf(QLatin1Char(']'));
        if (close < 0 || !isIpv6(text.mid(1, close - 1)))
            return fail(why, QStringLiteral("Not a valid server address: %1").arg(text));
        address.host = text.left(close + 1);
        const QString rest = text.mid(close + 1);
        if (!rest.isEmpty() &&
            !(rest.startsWith(QLatin1Char(':')) && parsePort(rest.mid(1), &address.port)))
            return fail(why, QStringLiteral("Not a valid port in: %1").arg(text));
        return address;
    }

    const qsizetype colons = text.count(QLatin1Char(':'));
    if (colons > 1) { // a bare IPv6 address
        if (!isIpv6(text))
            return fail(why, QStringLiteral("Not a valid server address: %1").arg(text));
        address.host = QLatin1Char('[') + text + QLatin1Char(']');
        return address;
    }
    QString host = text;
    if (colons == 1) {
        const qsizetype colon = text.indexOf(QLatin1Char(':'));
        host = text.left(colon);
        if (!parsePort(text.mid(colon + 1), &address.port))
            return fail(why, QStringLiteral("Not a valid port in: %1").arg(text));
    }
    if (!isHostName(host))
        return fail(why, QStringLiteral("Not a valid server address: %1").arg(text));
    address.host = host;
    return address;
}

} // namespace qv::transfer
