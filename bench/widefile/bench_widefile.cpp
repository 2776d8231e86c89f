// A very wide merge file (20 lines of 20,000 fields, the first line holding the field names) in
// the main window as the operator meets it: the window shown on an X server, the file's icon
// clicked, then "Export to HTML Document" and "Export to Microsoft Excel" clicked. Each is timed
// from the click until its result exists and the window has repainted:
//   select  the details and the preview of the first records painted;
//   html    the page written (and handed to the desktop to open);
//   xlsx    the refusal message shown (a worksheet holds at most 16,384 columns).
// Beside them, in the same run: the bare read and split of the same file. Also prints the
// process's peak resident memory.
//
//   xvfb-run -a env QT_QPA_PLATFORM=xcb bench_widefile [repeats]
//
// Prints one line per figure: "<name> <value>", times in milliseconds (the median of the
// repeats), memory in MiB; a line "error <text>" and exit code 1 when an operation fails.

#include "app/form2.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"
#include "ui/dialogs.h"
#include "ui/listview.h"

#include <QApplication>
#include <QCursor>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeView>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using qv::test::designControl;

namespace {

constexpr int kLines = 20;
constexpr int kFields = 20000;
const QString kName = QStringLiteral("WIDE");

void writeWideFile(const QString& path) {
    QByteArray bytes;
    for (int f = 0; f < kFields; ++f)
        bytes += (f ? "|Field" : "Field") + QByteArray::number(f + 1);
    bytes += '\n';
    for (int r = 1; r < kLines; ++r) {
        for (int f = 0; f < kFields; ++f)
            bytes += (f ? "|v" : "v") + QByteArray::number(r) + '.' + QByteArray::number(f);
        bytes += '\n';
    }
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The bare read and split: the file through the item reader, cut into lines and values.
qsizetype readAndSplit(const QString& path) {
    const QByteArray text = readMergeBytes(path, " ");
    qsizetype values = 0;
    for (const QByteArray& line : text.split('\n'))
        values += line.split('|').size();
    return values;
}

// Answers the width prompt with 100 and notes when a message is shown.
class Dialogs : public qv::DialogProvider {
public:
    void message(QWidget*, const QString& text, const QString&) override {
        lastMessage = text;
        shownAt = clock->nsecsElapsed();
    }
    bool confirm(QWidget*, const QString&, const QString&) override { return false; }
    std::optional<QString> input(QWidget*, const QString&, const QString&,
                                 const QString&) override {
        return QStringLiteral("100");
    }
    QElapsedTimer* clock = nullptr;
    QString lastMessage;
    qint64 shownAt = -1;
};

// Counts the paint events of a widget and of the widgets inside it.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* scope) : scope_(scope) { qApp->installEventFilter(this); }
    int paints = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType()) {
            auto* widget = static_cast<QWidget*>(watched);
            if (widget == scope_ || scope_->isAncestorOf(widget))
                ++paints;
        }
        return false;
    }

private:
    QWidget* scope_;
};

// Lets the window settle, then clicks the widget at a point and returns when the action has
// run and the watched widget has been painted since the click; nanoseconds from the click.
qint64 clickAndWaitForPaint(QWidget* target, QPoint at, const PaintCounter& watched,
                            QElapsedTimer& clock, qint64* clickAt) {
    // The pointer goes there for real: the flat buttons take a click only while the pointer
    // rests on them, which they check on the screen.
    QCursor::setPos(target->mapToGlobal(at));
    QTest::mouseMove(target, at);
    QTest::qWait(300);
    const int before = watched.paints;
    *clickAt = clock.nsecsElapsed();
    QTest::mouseClick(target, Qt::LeftButton, {}, at);
    QElapsedTimer limit;
    limit.start();
    while (watched.paints == before && limit.elapsed() < 120000)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return clock.nsecsElapsed() - *clickAt;
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
}

double peakMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

int fail(const char* what) {
    std::printf("error %s\n", what);
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const int repeats = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    QTemporaryDir folder;
    QDir(folder.path()).mkpath(QStringLiteral("data"));
    const QString path = folder.filePath(QStringLiteral("data/WIDE.LET"));
    writeWideFile(path);

    QElapsedTimer clock;
    clock.start();
    Dialogs dialogs;
    dialogs.clock = &clock;
    qint64 openedAt = -1;
    const qv::ScopedServices services([&](qv::Services& s) {
        s.programFolder = folder.path();
        s.dialogs = &dialogs;
        s.fileOpener = [&](const QString&) {
            openedAt = clock.nsecsElapsed();
            return true;
        };
    });

    Form2 form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form))
        return fail("the main window was not shown");
    // The entry as the search adds it.
    const int row = designControl<ListView>(form, "ListView1")->addItem(kName, 1, 1);
    designControl<ListView>(form, "ListView1")
        ->setSubItem(row, 1, QDateTime::currentDateTime().toString());
    designControl<ListView>(form, "ListView1")->setSubItem(row, 2, kName + QStringLiteral(".LET"));
    designControl<ListView>(form, "ListView1")
        ->setSubItem(row, 3, QString::number(countMergeRecords("WIDE.LET")));

    const PaintCounter preview(designControl<ListView>(form, "lw1")->reportView()->viewport());
    const PaintCounter window(&form);
    std::vector<double> select, html, xlsx, peer;
    for (int i = 0; i < repeats; ++i) {
        QListView* icons = designControl<ListView>(form, "ListView1")->iconView();
        const QPoint entry = icons->visualRect(icons->model()->index(0, 0)).center();
        qint64 clickAt = 0;
        select.push_back(clickAndWaitForPaint(icons->viewport(), entry, preview, clock, &clickAt) /
                         1e6);
        if (designControl<ListView>(form, "lw1")->isHidden() ||
            designControl<ListView>(form, "lw1")->model()->columnCount() != kFields)
            return fail("the preview does not show the file's columns");

        openedAt = -1;
        const qint64 htmlTotal = clickAndWaitForPaint(
            designControl<Command>(form, "Command11"),
            designControl<Command>(form, "Command11")->rect().center(), window, clock, &clickAt);
        if (openedAt < 0)
            return fail("the page was not written");
        html.push_back(std::max(htmlTotal, openedAt - clickAt) / 1e6);

        dialogs.shownAt = -1;
        const qint64 xlsxTotal = clickAndWaitForPaint(
            designControl<Command>(form, "Command7"),
            designControl<Command>(form, "Command7")->rect().center(), window, clock, &clickAt);
        if (dialogs.shownAt < 0 || !dialogs.lastMessage.contains(QStringLiteral("16384")))
            return fail("the spreadsheet export did not refuse the file");
        xlsx.push_back(std::max(xlsxTotal, dialogs.shownAt - clickAt) / 1e6);

        QElapsedTimer bare;
        bare.start();
        if (readAndSplit(path) != qsizetype(kLines) * kFields + 1)
            return fail("the bare split found another number of values");
        peer.push_back(bare.nsecsElapsed() / 1e6);
    }
    std::printf("select_ms %.1f\nhtml_ms %.1f\nxlsx_ms %.1f\npeer_ms %.1f\npeak_MiB %.1f\n",
                median(select), median(html), median(xlsx), median(peer), peakMiB());
    std::printf("xlsx_message %s\n", qPrintable(dialogs.lastMessage));
    return 0;
}
