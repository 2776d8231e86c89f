#include "transfer/statustext.h"

namespace qv {

std::optional<QString> TransferStateText(int state) {
    static const char* const texts[] = {"",
                                        "Resolving Host",
                                        "- Host Resolved",
                                        "- Connecting...",
                                        "- Connected!",
                                        "- Requesting...",
                                        "- Request Sent",
                                        "- Receiving Response...",
                                        "- Response Received!",
                                        "- Disconnecting...",
                                        "- Disconnected",
                                        nullptr,
                                        "- Response Completed!"};
    if (state < 0 || state > 12 || !texts[state])
        return std::nullopt;
    return QString::fromLatin1(texts[state]);
}

QString ConnectionErrorText(qint32 code, const QString& info) {
    return QStringLiteral("- Connection Error! ") + QString::number(code).trimmed() +
           QStringLiteral(": ") + info;
}

QString ConnectionErrorMessage(const QString& statusText) {
    return statusText + QStringLiteral("\r\n") +
           QStringLiteral("Please check IP Address/Login/Paswword Settings");
}

QStringList ResponseLines(const QString& data) {
    QStringList lines;
    const QString lineEnd = QStringLiteral("\r\n");
    qsizetype from = 0;
    while (from < data.size()) {
        const qsizetype p = data.indexOf(lineEnd, from);
        if (p < 0) {
            lines << data.mid(from);
            break;
        }
        if (p > from)
            lines << data.mid(from, p - from);
        from = p + 2;
    }
    return lines;
}

} // namespace qv
