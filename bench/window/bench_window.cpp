// The operator's view of the program's speed: the real main window shown on an X server
// (QT_QPA_PLATFORM=xcb, under xvfb-run), each action started by a click on its control, timed
// from the click until its result exists. Prints one line:
//   ms=<wall time> peak_kb=<peak resident size> [files=<browser entries>]
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
// (to compare the output of two builds).

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
#include <optional>

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

long peakKb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
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
    std::printf("ms=%lld peak_kb=%ld\n", static_cast<long long>(clock.elapsed()), peakKb());
    return 0;
}

int search(Form2& form, char** argv) {
    designControl<QLineEdit>(form, "Text10")->setText(QString::fromLocal8Bit(argv[2]));
    designControl<QLineEdit>(form, "Text11")->setText(QString::fromLocal8Bit(argv[3]));
    designControl<QLineEdit>(form, "Text12")->setText(QString::fromLocal8Bit(argv[4]));
    const int expected = QByteArray(argv[5]).toInt();
    QElapsedTimer clock;
    clock.start();
    clickCentre(designControl<Command>(form, "Command1"));
    const qint64 ms = clock.elapsed();
    const int files = static_cast<int>(
        QDir(qv::programPath(QStringLiteral("data"))).entryList(QDir::Files).size());
    const bool saved = QFile::exists(Form2::settingsPath());
    std::printf("ms=%lld peak_kb=%ld files=%d\n", static_cast<long long>(ms), peakKb(),
                designControl<ListView>(form, "ListView1")->itemCount());
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
    QElapsedTimer clock;
    clock.start();
    clickCentre(html ? designControl<Command>(form, "Command11")
                     : designControl<Command>(form, "Command7"));
    const qint64 ms = clock.elapsed();
    std::printf("ms=%lld peak_kb=%ld rows=%d\n", static_cast<long long>(ms), peakKb(),
                designControl<ListView>(form, "lw1")->model()->rowCount());
    const bool written = html ? QFileInfo(qv::programPath(QStringLiteral("output.html"))).isFile()
                              : !QDir(documents).entryList({QStringLiteral("*.xlsx")}).isEmpty();
    if (!written) {
        std::fprintf(stderr, "no %s written\n", html ? "page" : "workbook");
        return 1;
    }
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
    QElapsedTimer clock;
    clock.start();
    clickCentre(designControl<Command>(form, "Command4"));
    while (!opened && !dialogs.failed && clock.elapsed() < 600000)
        QTest::qWait(1);
    const qint64 ms = clock.elapsed();
    std::printf("ms=%lld peak_kb=%ld bytes=%lld\n", static_cast<long long>(ms), peakKb(),
                opened ? static_cast<long long>(QFileInfo(*opened).size()) : -1LL);
    if (!opened || QFileInfo(*opened).fileName() != name + QStringLiteral(" merged.docx")) {
        std::fprintf(stderr, "no merged document: %s\n", opened ? qPrintable(*opened) : "none");
        return 1;
    }
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
            if (const QString keep = qEnvironmentVariable("QV_WINDOW_KEEP"); !keep.isEmpty())
                QFile::copy(path, keep);
            return true;
        };
    });
    QDir(folder.path()).mkpath(QStringLiteral("data"));
    Form2 form;
    if (!showWindow(form))
        return 1;
    QTest::qWait(200); // the window settles as an operator would see it before the click
    if (searching)
        return search(form, argv);
    if (merging)
        return completeMerge(form, QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                             opened, dialogs);
    return exportRecords(form, mode, QString::fromLocal8Bit(argv[2]), documents.path(), dialogs);
}
