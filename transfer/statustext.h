#pragma once

#include "transfer/transferstate.h"

#include <QString>
#include <QStringList>
#include <optional>

// The texts of the transfer status line and the splitting of a listing response into lines.
namespace qv {

// The status line text of a state of the transfer control; nullopt for TransferState::Error (see
// ConnectionErrorText) and for codes that are no state.
std::optional<QString> TransferStateText(int state);

// "- Connection Error! <code>: <info>"
QString ConnectionErrorText(qint32 code, const QString& info);

// The operator's message for an error: the status text, CR LF, the advice on the settings.
QString ConnectionErrorMessage(const QString& statusText);

// The lines of response data, split at every CR LF; empty lines are dropped, and text after the
// last CR LF is a line of its own.
QStringList ResponseLines(const QString& data);

} // namespace qv
