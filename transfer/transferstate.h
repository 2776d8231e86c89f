#pragma once

#include <QtGlobal>

namespace qv {

// The states the transfer control reports with StateChanged, in the order a command passes
// through them. Every command ends with ResponseCompleted or Error.
enum class TransferState : qint16 {
    None = 0,
    ResolvingHost = 1,
    HostResolved = 2,
    Connecting = 3,
    Connected = 4,
    Requesting = 5,
    RequestSent = 6,
    ReceivingResponse = 7,
    ResponseReceived = 8,
    Disconnecting = 9,
    Disconnected = 10,
    Error = 11,             // ResponseCode and ResponseInfo tell which
    ResponseCompleted = 12, // the data of a listing can now be read with GetChunk
};

constexpr qint16 code(TransferState state) {
    return static_cast<qint16>(state);
}

} // namespace qv
