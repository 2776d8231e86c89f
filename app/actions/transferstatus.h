#pragma once

#include <QtGlobal>

class Form2;
namespace qv::transfer {
struct PeerIdentity;
}

// Status reporting of the transfer control Inet1 and the wait for a command to end.

// The Inet1 state change handler: writes the state into the status line Text8; an error records
// itself (Errorflag, Errormesg), a completed response goes to ReactToResponse.
void TransferStateChanged(Form2& form, qint16 State);

// A completed response of the command iLastCommand (0: a directory listing).
void ReactToResponse(Form2& form, qint16 iLastCommand);

// Reads the response data in chunks of 1024 characters and puts its lines, split at CR LF, into
// lstremotefiles; empty lines add nothing.
void ShowRemoteFileList(Form2& form);

// Handles window events until Inet1 has ended its command; sleeps while nothing happens.
void WaitForTransfer(Form2& form);

// Asks the operator whether to trust a server's certificate or SSH host key (Yes/No, No the
// default); true for Yes.
bool AskToTrustServer(Form2& form, const qv::transfer::PeerIdentity& identity);
