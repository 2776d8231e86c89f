#include "output/officepdf.h"

#include "output/legacyconvert.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrl>
#include <csignal>
#include <mutex>
#include <sys/prctl.h>
#include <unistd.h>
#include <vector>

namespace qv::output {

namespace {

// The bookmarks go to the PDF as named destinations, which tell where each letter starts.
const QString kPdfFilter = QStringLiteral(
    "pdf:writer_pdf_Export:{\"ExportBookmarksToPDFDestination\":{\"type\":\"boolean\","
    "\"value\":\"true\"}}");

struct LiveRun {
    qint64 group;
    QString folder;
};

std::mutex& runsMutex() {
    static std::mutex mutex;
    return mutex;
}

std::vector<LiveRun>& liveRuns() {
    static std::vector<LiveRun> runs;
    return runs;
}

// Takes note of a running LibreOffice for stopPdfLayouts() while it lives.
class RunNote {
public:
    RunNote(qint64 group, const QString& folder) : folder_(folder) {
        std::lock_guard lock(runsMutex());
        liveRuns().push_back({group, folder});
    }
    ~RunNote() {
        std::lock_guard lock(runsMutex());
        std::erase_if(liveRuns(), [this](const LiveRun& r) { return r.folder == folder_; });
    }
    RunNote(const RunNote&) = delete;
    RunNote& operator=(const RunNote&) = delete;

private:
    QString folder_;
};

void endGroup(QProcess& p) {
    const qint64 group = p.processId();
    if (group > 0)
        ::kill(static_cast<pid_t>(-group), SIGKILL);
    p.waitForFinished(10000);
    if (group > 0) // the launcher may have gone first: what is left of its group goes too
        ::kill(static_cast<pid_t>(-group), SIGKILL);
}

enum class Outcome { Finished, Cancelled, TooLong };

// Waits for LibreOffice while the program's events go on (the window repaints, its Cancel is
// heard).
Outcome waitFor(QProcess& p, const PdfLayoutControl& control) {
    QEventLoop loop;
    QTimer poll, limit;
    bool cancelled = false, tooLong = false;
    QObject::connect(&p, &QProcess::finished, &loop, &QEventLoop::quit);
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (control.cancelled && control.cancelled()) {
            cancelled = true;
            loop.quit();
        }
    });
    QObject::connect(&limit, &QTimer::timeout, &loop, [&] {
        tooLong = true;
        loop.quit();
    });
    poll.start(100);
    if (control.limitMs > 0) {
        limit.setSingleShot(true);
        limit.start(control.limitMs);
    }
    if (p.state() != QProcess::NotRunning)
        loop.exec();
    if (p.state() == QProcess::NotRunning)
        return Outcome::Finished;
    endGroup(p);
    return cancelled ? Outcome::Cancelled : tooLong ? Outcome::TooLong : Outcome::Finished;
}

bool fail(QString* error, const QString& text) {
    if (error)
        *error = text;
    return false;
}

} // namespace

QString pdfNeedsLibreOffice() {
    return QStringLiteral("PDF letters and printing need LibreOffice Writer, which lays the "
                          "letters out. Install the Debian package \"libreoffice-writer\" "
                          "(\"libreoffice-writer-nogui\" on a machine without a display) and try "
                          "again; nothing was written.");
}

bool libreOfficeInstalled() {
    const QString program = libreOfficeProgram();
    return !QStandardPaths::findExecutable(program).isEmpty() ||
           (QFileInfo(program).isAbsolute() && QFileInfo(program).isExecutable());
}

bool layOutPdf(const QString& document, const QString& pdf, const PdfLayoutControl& control,
               QString* error) {
    if (!libreOfficeInstalled())
        return fail(error, pdfNeedsLibreOffice());
    QTemporaryDir work(QDir(QDir::tempPath()).filePath(QStringLiteral("quorvane-pdf-XXXXXX")));
    if (!work.isValid())
        return fail(error, QStringLiteral("No temporary folder is available for LibreOffice: %1")
                               .arg(work.errorString()));
    const QString profile = QDir(work.path()).filePath(QStringLiteral("profile"));
    const QString outFolder = QDir(work.path()).filePath(QStringLiteral("out"));
    QProcess p;
    // A group of its own, so that a cancel ends the launcher and the office it starts; the
    // launcher dies with this process.
    p.setChildProcessModifier([] {
        ::setsid();
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
    });
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(libreOfficeProgram(),
            {QStringLiteral("-env:UserInstallation=") + QUrl::fromLocalFile(profile).toString(),
             QStringLiteral("--headless"), QStringLiteral("--norestore"),
             QStringLiteral("--nolockcheck"), QStringLiteral("--convert-to"), kPdfFilter,
             QStringLiteral("--outdir"), outFolder, document});
    if (!p.waitForStarted(30000))
        return fail(error, pdfNeedsLibreOffice());
    Outcome outcome;
    {
        const RunNote note(p.processId(), work.path());
        outcome = waitFor(p, control);
    }
    if (outcome == Outcome::Cancelled)
        return fail(error, QString());
    if (outcome == Outcome::TooLong)
        return fail(error, QStringLiteral("LibreOffice did not finish laying out the letters "
                                          "within %1 seconds; it was stopped.")
                               .arg(control.limitMs / 1000));
    const QString made =
        QDir(outFolder).filePath(QFileInfo(document).completeBaseName() + QStringLiteral(".pdf"));
    if (p.exitStatus() != QProcess::NormalExit || !QFileInfo::exists(made))
        return fail(error, QStringLiteral("LibreOffice could not lay out the letters: %1")
                               .arg(QString::fromLocal8Bit(p.readAll()).trimmed()));
    if (QFileInfo::exists(pdf))
        QFile::remove(pdf);
    if (!QFile::rename(made, pdf) && !QFile::copy(made, pdf)) {
        QFile::remove(pdf);
        return fail(error, QStringLiteral("\"%1\" cannot be written.").arg(pdf));
    }
    return true;
}

void stopPdfLayouts() {
    std::lock_guard lock(runsMutex());
    for (const LiveRun& run : liveRuns()) {
        if (run.group > 0)
            ::kill(static_cast<pid_t>(-run.group), SIGKILL);
        QDir(run.folder).removeRecursively();
    }
}

TemporaryFolderNote::TemporaryFolderNote(const QString& folder) : folder_(folder) {
    std::lock_guard lock(runsMutex());
    liveRuns().push_back({0, folder});
}

TemporaryFolderNote::~TemporaryFolderNote() {
    std::lock_guard lock(runsMutex());
    std::erase_if(liveRuns(), [this](const LiveRun& r) { return r.folder == folder_; });
}

} // namespace qv::output
