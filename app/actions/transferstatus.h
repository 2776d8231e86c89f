#pragma once

#include <QtGlobal>

class Form2;
namespace qv::transfer {
struct PeerIdentity;
}

// Status reporting of the transfer control and the wait for a command to end.

// The transfer control's state change handler: writes the state into the status line; an error
// stops the search's clip, a completed response fills the list of remote files.
void transferStateChanged(Form2& form, qint16 state);

// Reads the response data in chunks of 1024 characters and puts its lines, split at CR LF, into
// the progress panel's list of listed names; empty lines add nothing.
void showRemoteFileList(Form2& form);

// Handles window events until the transfer control has ended its command; sleeps while nothing
// happens.
void waitForTransfer(Form2& form);

// Asks the operator whether to trust a server's certificate or SSH host key (Yes/No, No the
// default); true for Yes.
bool askToTrustServer(Form2& form, const qv::transfer::PeerIdentity& identity);
