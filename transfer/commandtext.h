#pragma once

#include <QByteArray>
#include <QString>

// What may go into a line of the protocol. FTP sends the login, the password and every path as
// text lines of the control connection, so a carriage return or a line feed in one of them would
// end that line and start another command of the sender's choosing. No control character ever
// reaches a command line: a value that holds one is refused before anything is sent.
namespace qv::transfer {

// True when the text holds a control character (below U+0020, or U+007F).
bool hasControlCharacter(const QString& text);
bool hasControlCharacter(const QByteArray& bytes);

// The reason the login, the password or the remote path cannot be sent; "" when all can.
QString unsendableCommandText(const QString& login, const QString& password,
                              const QByteArray& remotePath);

} // namespace qv::transfer
