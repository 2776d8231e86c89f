#pragma once

#include <QString>
#include <optional>

// The server address as the operator types it: a host name, an IPv4 or IPv6 address, host:port,
// [IPv6]:port, or an ftp:// URL (whose path and user part are ignored).
namespace qv::transfer {

struct FtpAddress {
    QString host; // as written in a URL: an IPv6 address keeps its brackets
    int port = 21;

    QString urlBase() const; // "ftp://host:port"
};

// nullopt when the text is no usable address; why then says what is wrong with it.
std::optional<FtpAddress> parseFtpAddress(const QString& text, QString* why = nullptr);

} // namespace qv::transfer
