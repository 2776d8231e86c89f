#pragma once

#include "transfer/transferstate.h"

#include <QString>
#include <QStringList>
#include <optional>

// The texts of the transfer status line and the splitting of a listing response into lines.
namespace qv {

// The status line text of a state of the transfer control; nullopt for TransferState::Error (see
// connectionErrorText) and for codes that are no state.
std::optional<QString> transferStateText(int state);

// "- Connection Error! <code>: <info>"
QString connectionErrorText(qint32 code, const QString& info);

// True when the error says the connection settings may be wrong: the server could not be found
// or reached, did not answer the connection, or refused the login; also an address that is no
// address. Not for a server that went silent or closed the connection later, nor for one whose
// certificate or host key is not trusted, nor for a file that could not be written here.
bool isConnectionSettingsError(qint32 code, const QString& info);

// The operator's message for an error: its status text (connectionErrorText); for an error of
// the connection settings, then CR LF and the advice to check them. Every other error ends with
// its own cause.
QString connectionErrorMessage(qint32 code, const QString& info);

// Why one download failed, for the list of files not stored: "Permission denied. (error 550)";
// a download that was not run (kDownloadNotRun) gives its reason alone.
QString downloadFailureText(qint32 code, const QString& info);

// The lines of response data, split at every CR LF; empty lines are dropped, and text after the
// last CR LF is a line of its own.
QStringList responseLines(const QString& data);

} // namespace qv
