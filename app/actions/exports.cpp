#include "app/actions/exports.h"

#include "app/form2.h"
#include "app/progress.h"
#include "mergefiles/mergefile.h"
#include "output/automation.h"
#include "output/htmlpage.h"
#include "output/spreadsheetexport.h"
#include "output/wordmerge.h"
#include "output/writercheck.h"
#include "platform/dialogs.h"
#include "platform/fileopener.h"
#include "platform/programfolder.h"
#include "ui/listview.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <exception>

namespace {

const QString kTitle = QStringLiteral("Quorvane");

// Runs one automation step; returns the message of its failure, empty when it worked.
QString attempt(const std::function<void()>& step) {
    try {
        step();
    } catch (const qv::automation::Error& e) {
        return e.message;
    } catch (const std::exception& e) {
        return QStringLiteral("The command failed: %1").arg(QString::fromLocal8Bit(e.what()));
    }
    return {};
}

// The Word commands: status text and hourglass while Word works, both restored afterwards. The
// status and the pointer are painted before the work starts.
void runWordCommand(Form2& form, const QString& status, const std::function<void()>& step) {
    Form2::Work work(form);
    form.Text15->setText(status);
    form.Text15->show();
    form.setCursor(Qt::WaitCursor);
    form.Text15->repaint();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QString error = attempt(step);
    form.unsetCursor();
    form.Text15->hide();
    if (!error.isEmpty())
        qv::dialogs().message(&form, error, kTitle);
}

// The record loader, run as the exports run it: RecordsToLoad = RecordCount, then Command5
// pressed from code (the window is disabled by then, so the button's click() would do nothing).
void loadAllRecords(Form2& form) {
    form.RecordsToLoad = form.RecordCount;
    emit form.Command5->clicked();
    form.setCursor(Qt::WaitCursor);
}

// Row r (from 0) of the record list: its text, then its sub-items.
QStringList rowOf(const ListView& list, int r) {
    if (ListViewModel* items = list.itemModel(); items && list.model() == items)
        return items->row(r).texts;
    const QAbstractItemModel* model = list.model();
    QStringList cells;
    for (int c = 0; c < model->columnCount(); ++c)
        cells << model->data(model->index(r, c), Qt::DisplayRole).toString();
    return cells;
}

// The record being exported is the selected row of the record list. A selection nobody sees
// between two repaints is left out: the selection moves at the progress window's repaint rate,
// and the last row exported ends selected.
class ExportedRowSelection {
public:
    explicit ExportedRowSelection(ListView& list) : list_(list) {}
    void exported(int row) {
        row_ = row;
        if (clock_.isValid() && clock_.elapsed() < Progress::kRefreshMs)
            return;
        list_.setSelectedIndex(row);
        clock_.start();
    }
    void finish() {
        if (row_ >= 0)
            list_.setSelectedIndex(row_);
    }

private:
    ListView& list_;
    QElapsedTimer clock_;
    int row_ = -1;
};

QStringList columnTitles(const ListView& list) {
    const QAbstractItemModel* model = list.model();
    QStringList titles;
    for (int c = 0; c < model->columnCount(); ++c)
        titles << model->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
    return titles;
}

} // namespace

void CreateMergeDocument(Form2& form) {
    const QString name = form.Text1->text();
    // Before the document opens: what the desktop's word processor lacks, each text told once.
    static QStringList told;
    if (const QString advice = qv::output::newDocumentAdvice();
        !advice.isEmpty() && !told.contains(advice)) {
        told << advice;
        qv::dialogs().message(&form, advice, kTitle);
    }
    const QString data = MergeCopyPath(form.selectedMergeFile());
    runWordCommand(form, qv::output::newDocumentStatus(),
                   [&] { qv::output::createMergeDocument(name, data); });
}

void MergeIntoTemplate(Form2& form) {
    const QString name = form.Text1->text();
    const QString data = MergeCopyPath(form.selectedMergeFile());
    runWordCommand(form, qv::output::completeMergeStatus(name),
                   [&] { qv::output::mergeIntoTemplate(name, data); });
}

void ExportToSpreadsheet(Form2& form) {
    Form2::Work work(form);
    form.setEnabled(false);
    form.setCursor(Qt::WaitCursor);
    loadAllRecords(form);
    if (form.closeRequested())
        return;

    ListView& list = *form.lw1;
    ExportedRowSelection selection(list);
    qv::output::SpreadsheetExport e;
    e.rowCount = list.model()->rowCount();
    e.recordCount = form.RecordCount;
    e.row = [&list, &selection](qsizetype r) {
        selection.exported(static_cast<int>(r - 1));
        return rowOf(list, static_cast<int>(r - 1));
    };
    e.showProgress = [](int maximum) {
        Progress& p = Progress::form();
        p.showWindow();
        p.setPictureVisible(true);
        p.setValue(0);
        p.setMaximum(maximum);
    };
    e.setCaption = [](const QString& caption) { Progress::form().setCaption(caption); };
    e.progress = [](qsizetype r, const QString& text) {
        Progress& p = Progress::form();
        p.setValue(static_cast<int>(std::min<qsizetype>(r, p.maximum())));
        p.setStatus(text);
        p.refresh();
    };
    e.closeProgress = [] { Progress::unload(); };
    e.cancelled = [&form] { return form.closeRequested(); };
    const QString error = attempt([&] { qv::output::exportToSpreadsheet(e); });
    selection.finish();

    Progress::unload();
    form.unsetCursor();
    form.setEnabled(true);
    if (!error.isEmpty())
        qv::dialogs().message(&form, error, kTitle);
}

void ExportToHtml(Form2& form) {
    Form2::Work work(form);
    form.setEnabled(false);
    form.setCursor(Qt::WaitCursor);
    loadAllRecords(form);
    if (form.closeRequested())
        return;

    const QString path = qv::programPath(QStringLiteral("output.html"));
    const ListView& list = *form.lw1;
    const std::optional<QString> width = qv::output::tableWidth(qv::dialogs().input(
        &form, QStringLiteral("Please key in Table Width Percentage (100%=Fullscreen)"),
        QStringLiteral("Table Width"), QStringLiteral("100")));
    QString error;
    if (width) {
        qv::output::HtmlPage page;
        page.name = form.Text1->text();
        page.width = *width;
        page.columns = columnTitles(list);
        page.rowCount = list.model()->rowCount();
        page.row = [&list](qsizetype r) { return rowOf(list, static_cast<int>(r)); };
        page.major = QV_VERSION_MAJOR;
        page.minor = QV_VERSION_MINOR;
        page.revision = QV_VERSION_PATCH;
        qv::output::stampNow(page);
        qv::output::saveHtmlPage(path, page, &error);
    }

    form.unsetCursor();
    form.setEnabled(true);
    if (!error.isEmpty()) {
        qv::dialogs().message(&form, error, kTitle);
        return;
    }
    // Without a new page (the width was not a number) the earlier page is shown, if any.
    if (QFileInfo::exists(path) && !qv::openWithDesktop(path))
        qv::dialogs().message(
            &form,
            QStringLiteral("The page \"%1\" cannot be opened: no program is set up to open it. "
                           "Install a web browser and open the page from there.")
                .arg(path),
            kTitle);
}
