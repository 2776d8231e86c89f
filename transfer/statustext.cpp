#include "transfer/statustext.h"

#include "transfer/downloadboard.h"

namespace qv {

namespace {

const char* stateText(TransferState state) {
    switch (state) {
    case TransferState::None:
        return "";
    case TransferState::ResolvingHost:
        return "Resolving Host";
    case TransferState::HostResolved:
        return "- Host Resolved";
    case TransferState::Connecting:
        return "- Connecting...";
    case TransferState::Connected:
        return "- Connected!";
    case TransferState::Requesting:
        return "- Requesting...";
    case TransferState::RequestSent:
        return "- Request Sent";
    case TransferState::ReceivingResponse:
        return "- Receiving Response...";
    case TransferState::ResponseReceived:
        return "- Response Received!";
    case TransferState::Disconnecting:
        return "- Disconnecting...";
    case TransferState::Disconnected:
        return "- Disconnected";
    case TransferState::Error: // its text is connectionErrorText
        return nullptr;
    case TransferState::ResponseCompleted:
        return "- Response Completed!";
    }
    return nullptr;
}

} // namespace

std::optional<QString> transferStateText(int state) {
    if (state < code(TransferState::None) || state > code(TransferState::ResponseCompleted))
        return std::nullopt;
    const char* text = stateText(static_cast<TransferState>(state));
    if (!text)
        return std::nullopt;
    return QString::fromLatin1(text);
}

QString connectionErrorText(qint32 code, const QString& info) {
    return QStringLiteral("- Connection Error! ") + QString::number(code).trimmed() +
           QStringLiteral(": ") + info;
}

bool isConnectionSettingsError(qint32 code, const QString& info) {
    // Reply codes of the server, then libcurl's: unsupported protocol, malformed address, host
    // not found, connection refused, login denied; a connection that was never answered.
    constexpr qint32 kLoginRefused = 530, kAccountNeeded = 332;
    constexpr qint32 kSettingsCodes[] = {kLoginRefused, kAccountNeeded, 1, 3, 6, 7, 67};
    constexpr qint32 kTimedOut = 28;
    for (const qint32 settings : kSettingsCodes)
        if (code == settings)
            return true;
    return code == kTimedOut && info.startsWith(QLatin1String("No answer from "));
}

QString connectionErrorMessage(qint32 code, const QString& info) {
    const QString status = connectionErrorText(code, info);
    if (!isConnectionSettingsError(code, info))
        return status;
    return status + QStringLiteral("\r\n") +
           QStringLiteral("Please check IP Address/Login/Paswword Settings");
}

QString downloadFailureText(qint32 code, const QString& info) {
    if (code == transfer::kDownloadNotRun)
        return info;
    return QStringLiteral("%1 (error %2)").arg(info, QString::number(code));
}

QStringList responseLines(const QString& data) {
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
