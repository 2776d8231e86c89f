#include "app/actions/transferstatus.h"

#include "app/form2.h"
#include "platform/pacing.h"
#include "transfer/peeridentity.h"
#include "transfer/serversearch.h"
#include "transfer/statustext.h"
#include "transfer/transfercontrol.h"
#include "ui/dialogs.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPointer>

namespace {

void pumpEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

// Lets the window's events through while a long listing is read: at its start and then a few
// dozen times a second. False once the window is gone.
class ListingPump {
public:
    explicit ListingPump(Form2& form) : alive_(&form) {}
    bool operator()() {
        if (clock_.isValid() && clock_.elapsed() < qv::kShowProgressEveryMs)
            return true;
        pumpEvents();
        clock_.start();
        return !alive_.isNull();
    }

private:
    QPointer<Form2> alive_;
    QElapsedTimer clock_;
};

} // namespace

void transferStateChanged(Form2& form, qint16 state) {
    if (state == qv::code(qv::TransferState::Error)) {
        form.progress.setStatus(
            qv::connectionErrorText(form.transfer->ResponseCode(), form.transfer->ResponseInfo()));
        form.progress.stopClip();
        return;
    }
    const std::optional<QString> text = qv::transferStateText(state);
    if (!text)
        return; // an unknown state changes nothing
    form.progress.setStatus(*text);
    if (state == qv::code(qv::TransferState::ResponseCompleted))
        showRemoteFileList(form);
}

void showRemoteFileList(Form2& form) {
    const std::optional<QStringList> lines = qv::readListedLines(*form.transfer, ListingPump(form));
    if (!lines)
        return; // the window is gone
    form.progress.setListedFiles(*lines);
}

void waitForTransfer(Form2& form) {
    QPointer<qv::TransferControl> control(form.transfer);
    if (!control || !control->StillExecuting())
        return;
    // The wait also ends when the program is quitting (every event loop then ends at once): the
    // work cannot go on, so it is cancelled as a close of the window would cancel it.
    if (!qv::waitForCommand(*control) && control)
        form.requestClose();
}

bool askToTrustServer(Form2& form, const qv::transfer::PeerIdentity& identity) {
    return qv::dialogs().confirm(&form, qv::transfer::trustQuestion(identity),
                                 QStringLiteral("Quorvane"));
}
