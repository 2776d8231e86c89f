#include "transfer/commandtext.h"

namespace qv::transfer {

namespace {

bool isControl(char16_t c) {
    return c < 0x20 || c == 0x7f;
}

// The text with each control character shown as "^X" (CR as "^M", LF as "^J").
QString visible(const QString& text) {
    QString shown;
    for (const QChar c : text) {
        if (isControl(c.unicode()))
            shown += QLatin1Char('^') + QChar(c.unicode() == 0x7f ? u'?' : c.unicode() + 0x40);
        else
            shown += c;
    }
    return shown;
}

} // namespace

bool hasControlCharacter(const QString& text) {
    for (const QChar c : text)
        if (isControl(c.unicode()))
            return true;
    return false;
}

bool hasControlCharacter(const QByteArray& bytes) {
    for (const char c : bytes)
        if (isControl(static_cast<unsigned char>(c)))
            return true;
    return false;
}

QString unsendableCommandText(const QString& login, const QString& password,
                              const QByteArray& remotePath) {
    if (hasControlCharacter(login))
        return QStringLiteral("The login name holds a control character (such as a line end); "
                              "it is not sent to the server");
    if (hasControlCharacter(password))
        return QStringLiteral("The password holds a control character (such as a line end); "
                              "it is not sent to the server");
    if (hasControlCharacter(remotePath))
        return QStringLiteral("The name \"%1\" holds a control character; it is not sent to the "
                              "server")
            .arg(visible(QString::fromUtf8(remotePath)));
    return {};
}

} // namespace qv::transfer
