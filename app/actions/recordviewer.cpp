#include "app/actions/recordviewer.h"

#include "app/form2.h"
#include "app/progress.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "platform/codepage.h"
#include "platform/pacing.h"
#include "platform/services.h"
#include "platform/twips.h"
#include "ui/listview.h"
#include "ui/tooltip.h"

#include <QElapsedTimer>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTreeView>

#include <algorithm>
#include <climits>

namespace {

constexpr int kColumnWidthTwips = 2500;
const QString kCrLf = QStringLiteral("\r\n");

// The progress window of a load. Its texts follow every record, but the window is only fed a
// few dozen times a second, so that big files do not spend their time painting.
class LoadProgress {
public:
    explicit LoadProgress(qint64 total) : window_(Progress::form()), total_(total) {
        window_.showWindow();
        window_.setPictureVisible(false);
        window_.setMaximum(static_cast<int>(std::clamp<qint64>(total, 0, INT_MAX)));
        window_.setCaption(QStringLiteral("Exporting to Excel"));
        clock_.start();
    }
    ~LoadProgress() { Progress::unload(); }
    LoadProgress(const LoadProgress&) = delete;
    LoadProgress& operator=(const LoadProgress&) = delete;

    // Before record i is read: "Loading Record i of n"; the bar counts the records done.
    void step(qint64 i) {
        if (i == 1 || i == total_ ||
            ((i & 0xFF) == 0 && clock_.elapsed() >= qv::kShowProgressEveryMs)) {
            window_.setStatus(recordLoadText(i, total_));
            window_.setValue(static_cast<int>(std::min<qint64>(i - 1, INT_MAX)));
            clock_.restart();
        }
    }
    void finish() { window_.setValue(static_cast<int>(std::clamp<qint64>(total_, 0, INT_MAX))); }

private:
    Progress& window_;
    QElapsedTimer clock_;
    qint64 total_;
};

void giveColumnsTheirWidth(Form2& form, int from) {
    const int count = recordListModel(form).columnCount();
    for (int c = from; c < count; ++c)
        form.browser.recordList().setColumnWidth(c, kColumnWidthTwips);
}

// The columns of the header's names, as addFieldColumn adds them one by one, and
// the "Field Names" tip's text: the names, each ended by CR LF, then the hint. The list hears of
// all columns at once and the tooltip gets its text once, so that files of many thousand fields
// load as fast as narrow ones.
void addHeaderColumns(Form2& form, const QStringList& names) {
    MergeRecordModel& model = recordListModel(form);
    QString tip;
    qsizetype length = 0;
    for (const QString& name : names)
        length += name.size() + kCrLf.size();
    tip.reserve(length + 32);
    model.beginBulkLoad();
    for (const QString& name : names) {
        model.addColumn(name);
        tip += name;
        tip += kCrLf;
    }
    model.endBulkLoad();
    BalloonTooltip& fieldNames = form.browser.fieldNamesTip();
    if (!names.isEmpty())
        fieldNames.Title(QStringLiteral("Field Names"));
    giveColumnsTheirWidth(form, 0);
    fieldNames.TipText(tip + kCrLf + QStringLiteral("(DBClick for FullScreen)") + kCrLf);
}

} // namespace

QString recordLoadText(qint64 i, qint64 n) {
    return QStringLiteral("Loading Record ") + QString::number(i) + QStringLiteral(" of ") +
           QString::number(n);
}

MergeRecordModel& recordListModel(Form2& form) {
    ListView& list = form.browser.recordList();
    if (auto* model = qobject_cast<MergeRecordModel*>(list.model()))
        return *model;
    auto* model = new MergeRecordModel(&list);
    model->setRowIcon(form.browser.recordIcon(MergeRecordModel::kRowIcon));
    list.setDefaultColumnWidth(kColumnWidthTwips);
    list.setModel(model);
    list.reportView()->setUniformRowHeights(true);
    return *model;
}

void addFieldColumn(Form2& form, const QString& name) {
    MergeRecordModel& model = recordListModel(form);
    const int column = model.addColumn(name);
    form.browser.recordList().setColumnWidth(column, kColumnWidthTwips);
    BalloonTooltip& fieldNames = form.browser.fieldNamesTip();
    fieldNames.Title(QStringLiteral("Field Names"));
    fieldNames.TipText(fieldNames.TipText() + name + kCrLf);
}

void addRecordValue(Form2& form, int field, const QString& value) {
    MergeRecordModel& model = recordListModel(form);
    if (field == 0) {
        model.addRow(value);
        return;
    }
    if (field >= model.columnCount()) {
        // More values than the header has names: further, untitled columns.
        const int before = model.columnCount();
        while (model.columnCount() <= field)
            model.addColumn(QString());
        giveColumnsTheirWidth(form, before);
    }
    model.setSubItem(model.rowCount() - 1, field, value);
}

int loadMergeRecords(Form2& form, const QString& storedName, qint64 recordsToLoad) {
    Form2::Work work(form);
    MergeRecordModel& model = recordListModel(form);
    model.clear();
    form.browser.recordList().clearColumns();
    form.browser.recordList().show();

    bool opened = false;
    QByteArray text = readMergeBytes(mergeCopyPath(storedName), " ", &opened);
    const auto fail = [&form] {
        form.browser.hideRecordList();
        form.unsetCursor();
    };
    if (!opened) {
        fail();
        return 0;
    }

    const qsizetype h = text.indexOf('\n');
    if (h >= 0)
        addHeaderColumns(form, splitMergeLine(qv::codepage::decode(text.constData(), h)));

    form.browser.hideRecordList();
    form.setCursor(Qt::WaitCursor);

    const qint64 total = recordsToLoad;
    {
        LoadProgress progress(total);
        if (!model.setSourceText(std::move(text))) {
            fail();
            return 0;
        }
        // The rows come straight from the kept text (as addRecordValue would place them, value
        // by value), in one bulk load.
        const int columnsBefore = model.columnCount();
        const auto& hook = qv::services().recordLoadObserver;
        // Closing the window stops the load at the record it has reached.
        model.loadRecords(h, total, [&](qint64 i) {
            progress.step(i);
            if (hook)
                hook(i, total);
            return !form.closeRequested();
        });
        progress.finish();
        giveColumnsTheirWidth(form, columnsBefore);
    }
    form.unsetCursor();

    form.browser.showRecordList();
    return model.rowCount();
}

void toggleRecordListSize(Form2& form) {
    form.browser.toggleRecordListSize(form.frameGeometry().size());
}
