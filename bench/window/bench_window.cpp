// The operator's view of the program's speed: the real main window shown on an X server
// (QT_QPA_PLATFORM=xcb, under xvfb-run), each action started by a click on its control, timed
// from the click until its result exists. Prints one line:
//   ms=<from the click> peak_kb=<peak resident size> added_kb=<the peak less the resident size
//   just before the click> process_ms=<from the process's start to the result, less the pause
//   before the click> [files=<browser entries>|bytes=<merged document's size>]
// (startup: ms from the window's construction; added_kb is then the whole peak).
//
//   bench_window startup                                  construction to the window exposed
//   bench_window search <address> <login> <password> <n>  until the settings are saved and the
//                                                         n files are in data/
//   bench_window xlsx|html <merge file>                   the merge file selected in the browser,
//                                                         then its export until saved
//   bench_window merge <merge file> <template>            the template put in Word/ under the
//                                                         merge file's name, the merge file
//                                                         selected, then Complete Merge until the
//                                                         merged document is saved and handed to
//                                                         the desktop to open
// The exports answer the table width with 100 and open nothing; the merge's prompts take their
// default answers. With QV_WINDOW_KEEP=<path> set, a copy of the document written is kept there
// (to check it, or to compare the output of two builds).

#include "app/form2.h"
#include "controls/command/command.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "ui/dialogs.h"
#include "ui/listview.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <cstdio>
#include <ctime>
#include <optional>
#include <unistd.h>

using qv::test::designControl;

namespace {

// Dialogs answered at once: the table width is 100; any message is a failure of the run.
class AnsweringDialogs : public qv::DialogProvider {
public:
    void message(QWidget*, const QString& text, const QString&) override {
        std::fprintf(stderr, "message: %s\n", qPrintable(text));
        failed = true;
    }
    bool confirm(QWidget*, const QString&, const QString&) override { return false; }
    std::optional<QString> input(QWidget*, const QString&, const QString&,
                                 const QString&) override {
        return QStringLiteral("100");
    }
    bool failed = false;
};

long statusKb(const QByteArray& key) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(key))
            return line.mid(key.size()).trimmed().split(' ').value(0).toLong();
    return -1;
}

long peakKb() {
    return statusKb("VmHWM:");
}

// The process's resident size now, with its peak brought down to it: what an operation adds
// is then the peak after it less this.
long startAddedMemory() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5"); // resets the peak resident size to the current one
    return statusKb("VmRSS:");
}

// Milliseconds since this process was started (the kernel's start time, in clock ticks).
qint64 msSinceProcessStart() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return -1;
    const QByteArray text = stat.readAll();
    // The fields after the command's closing parenthesis, the first of them the state (3rd).
    const QList<QByteArray> fields = text.mid(text.lastIndexOf(')') + 2).split(' ');
    const qint64 startTicks = fields.value(22 - 3).toLongLong();
    timespec now{};
    clock_gettime(CLOCK_BOOTTIME, &now);
    return qint64(now.tv_sec) * 1000 + now.tv_nsec / 1000000 -
           startTicks * 1000 / sysconf(_SC_CLK_TCK);
}

qint64 g_settleMs = 0; // the pause before the click, not counted in the process's time

// The figures of one run: from the click, the peak and what the action added to it, and the
// time since the process started (less the pause before the click).
void printFigures(qint64 clickMs, long before, const QByteArray& extra = {}) {
    const long peak = peakKb();
    std::printf("ms=%lld peak_kb=%ld added_kb=%ld process_ms=%lld%s\n",
                static_cast<long long>(clickMs), peak, peak - before,
                static_cast<long long>(msSinceProcessStart() - g_settleMs), extra.constData());
}

// With QV_WINDOW_KEEP=<path> set, a copy of the document written is kept there (to check it,
// or to compare the output of two builds).
void keepCopy(const QString& path) {
    if (const QString keep = qEnvironmentVariable("QV_WINDOW_KEEP"); !keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(path, keep);
    }
}

void clickCentre(QWidget* widget, QPoint at = {}) {
    QTest::mouseClick(widget, Qt::LeftButton, {}, at.isNull() ? widget->rect().center() : at);
}

bool showWindow(Form2& form) {
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        std::fprintf(stderr, "the main window was not shown\n");
        return false;
    }
    return true;
}

int startup() {
    QElapsedTimer clock;
    clock.start();
    Form2 form;
    if (!showWindow(form))
        return 1;
    QCoreApplication::processEvents();
    printFigures(clock.elapsed(), 0);
    return 0;
}

int search(Form2& form, char** argv) {
    designControl<QLineEdit>(form, "Text10")->setText(QString::fromLocal8Bit(argv[2]));
    designControl<QLineEdit>(form, "Text11")->setText(QString::fromLocal8Bit(argv[3]));
    designControl<QLineEdit>(form, "Text12")->setText(QString::fromLocal8Bit(argv[4]));
    const int expected = QByteArray(argv[5]).toInt();
    const long before = startAddedMemory();
    QElapsedTimer clock;
    clock.start();
    clickCentre(designControl<Command>(form, "Command1"));
    const qint64 ms = clock.elapsed();
    const int files = static_cast<int>(
        QDir(qv::programPath(QStringLiteral("data"))).entryList(QDir::Files).size());
    const bool saved = QFile::exists(Form2::settingsPath());
    printFigures(ms, before,
                 " files=" +
                     QByteArray::number(designControl<ListView>(form, "ListView1")->itemCount()));
    return files == expected &&
                   designControl<ListView>(form, "ListView1")->itemCount() == expected && saved
               ? 0
               : 1;
}

// The merge file's entry in the browser, as a search leaves it, clicked by the operator.
bool selectMergeFile(Form2& form, const QString& source) {
    const QString stored = QFileInfo(source).fileName();
    if (!QFile::copy(source, qv::programPath(QStringLiteral("data"), stored)))
        return false;
    const qint64 records = [&] {
        QFile f(source);
        qint64 lines = 0;
        if (f.open(QIODevice::ReadOnly))
            while (!f.atEnd())
                lines += f.readLine().endsWith('\n');
        return lines - 1;
    }();
    form.showBrowser();
    ListView& browser = *designControl<ListView>(form, "ListView1");
    const int row = browser.addItem(QFileInfo(source).completeBaseName(), 1, 1);
    browser.setSubItem(row, 1, QDateTime::currentDateTime().toString());
    browser.setSubItem(row, 2, stored);
    browser.setSubItem(row, 3, QString::number(records));
    QCoreApplication::processEvents();
    QAbstractItemView* view = browser.currentView();
    clickCentre(view->viewport(), view->visualRect(view->model()->index(row, 0)).center());
    return designControl<QLineEdit>(form, "Text1")->text() == browser.itemText(row) &&
           designControl<ListView>(form, "lw1")->model()->rowCount() > 0;
}

int exportRecords(Form2& form, const QString& kind, const QString& source, const QString& documents,
                  const AnsweringDialogs& dialogs) {
    if (!selectMergeFile(form, source)) {
        std::fprintf(stderr, "the merge file could not be selected\n");
        return 1;
    }
    const bool html = kind == QLatin1String("html");
    const long before = startAddedMemory();
    QElapsedTimer clock;
    clock.start();
    clickCentre(html ? designControl<Command>(form, "Command11")
                     : designControl<Command>(form, "Command7"));
    const qint64 ms = clock.elapsed();
    printFigures(ms, before);
    const QStringList workbooks = QDir(documents).entryList({QStringLiteral("*.xlsx")});
    const QString written = html ? qv::programPath(QStringLiteral("output.html"))
                                 : QDir(documents).filePath(workbooks.value(0));
    if (!QFileInfo(written).isFile()) {
        std::fprintf(stderr, "no %s written\n", html ? "page" : "workbook");
        return 1;
    }
    keepCopy(written);
    return dialogs.failed ? 1 : 0;
}

// Complete Merge from its click until the merged document is handed to the desktop (the window
// may go on working after the click's handler returns).
int completeMerge(Form2& form, const QString& source, const QString& templatePath,
                  const std::optional<QString>& opened, const AnsweringDialogs& dialogs) {
    const QString name = QFileInfo(source).completeBaseName();
    QDir().mkpath(qv::programPath(QStringLiteral("Word")));
    if (!QFile::copy(templatePath,
                     qv::programPath(QStringLiteral("Word"), name + QStringLiteral(".dot"))) ||
        !selectMergeFile(form, source) || !designControl<Command>(form, "Command4")->isVisible()) {
        std::fprintf(stderr, "the merge file and its template could not be selected\n");
        return 1;
    }
    const long before = startAddedMemory();
    QElapsedTimer clock;
    clock.start();
    clickCentre(designControl<Command>(form, "Command4"));
    while (!opened && !dialogs.failed && clock.elapsed() < 600000)
        QTest::qWait(1);
    const qint64 ms = clock.elapsed();
    printFigures(ms, before,
                 " bytes=" + QByteArray::number(opened ? QFileInfo(*opened).size() : -1LL));
    if (!opened || QFileInfo(*opened).fileName() != name + QStringLiteral(" merged.docx")) {
        std::fprintf(stderr, "no merged document: %s\n", opened ? qPrintable(*opened) : "none");
        return 1;
    }
    keepCopy(*opened);
    return dialogs.failed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QString mode = argc > 1 ? QString::fromLatin1(argv[1]) : QString();
    if (mode == QLatin1String("startup"))
        return startup();
    const bool searching = mode == QLatin1String("search") && argc == 6;
    const bool exporting =
        (mode == QLatin1String("xlsx") || mode == QLatin1String("html")) && argc == 3;
    const bool merging = mode == QLatin1String("merge") && argc == 4;
    if (!searching && !exporting && !merging) {
        std::fprintf(stderr,
                     "usage: %s startup | search <address> <login> <password> <files> | "
                     "xlsx|html <merge file> | merge <merge file> <template>\n",
                     argv[0]);
        return 2;
    }
    QTemporaryDir folder, documents;
    AnsweringDialogs dialogs;
    std::optional<QString> opened; // the document handed to the desktop
    const qv::ScopedServices services([&](qv::Services& s) {
        s.programFolder = folder.path();
        s.documentFolder = documents.path();
        s.dialogs = &dialogs;
        s.fileOpener = [&opened](const QString& path) {
            opened = path;
            return true;
        };
    });
    QDir(folder.path()).mkpath(QStringLiteral("data"));
    Form2 form;
    if (!showWindow(form))
        return 1;
    QElapsedTimer settle;
    settle.start();
    QTest::qWait(200); // the window settles as an operator would see it before the click
    g_settleMs = settle.elapsed();
    if (searching)
        return search(form, argv);
    if (merging)
        return completeMerge(form, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                             opened, dialogs);
    return exportRecords(form, mode, QString::fromLocal8Bit(argv[2]), documents.path(), dialogs);
}
