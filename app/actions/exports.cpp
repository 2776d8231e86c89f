#include "app/actions/exports.h"

#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "app/mergequestions.h"
#include "app/progress.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "mergefiles/recordtable.h"
#include "output/automation.h"
#include "output/htmlpage.h"
#include "output/spreadsheetexport.h"
#include "output/wordmerge.h"
#include "output/writercheck.h"
#include "platform/fileopener.h"
#include "platform/pacedrow.h"
#include "platform/pacing.h"
#include "platform/services.h"
#include "ui/dialogs.h"
#include "ui/listview.h"

#include <QCoreApplication>
#include <QFileInfo>

namespace {

const QString kTitle = QStringLiteral("Quorvane");

// The Word commands: status text and hourglass while Word works, both restored afterwards. The
// status and the pointer are painted before the work starts. Returns the failure's message, ""
// when the step worked.
QString runWordCommand(Form2& form, const QString& status, const std::function<void()>& step) {
    Form2::Work work(form);
    form.setCursor(Qt::WaitCursor);
    form.details.showCommandStatus(status);
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    const QString error = qv::automation::failureOf(step);
    form.unsetCursor();
    form.details.hideCommandStatus();
    return error;
}

void tellFailure(Form2& form, const QString& error) {
    if (!error.isEmpty())
        qv::dialogs().message(&form, error, kTitle);
}

// The start of both exports: the window disabled under the busy pointer, then every record of
// the selected merge file loaded into the record list. False when the window was closed
// meanwhile: the export does not go on.
bool loadAllRecords(Form2& form) {
    form.setEnabled(false);
    form.setCursor(Qt::WaitCursor);
    loadMergeRecords(form, form.selectedMergeFile(), form.details.recordCount());
    form.setCursor(Qt::WaitCursor);
    return !form.closeRequested();
}

} // namespace

void createMergeDocument(Form2& form) {
    const QString name = form.details.fileName();
    // Before the document opens: what the desktop's word processor lacks, each text told once.
    static QStringList told;
    if (const QString advice = qv::output::newDocumentAdvice();
        !advice.isEmpty() && !told.contains(advice)) {
        told << advice;
        qv::dialogs().message(&form, advice, kTitle);
    }
    const QString data = mergeCopyPath(form.selectedMergeFile());
    tellFailure(form, runWordCommand(form, qv::output::newDocumentStatus(),
                                     [&] { qv::output::createMergeDocument(name, data); }));
}

void mergeIntoTemplate(Form2& form) {
    const QString name = form.details.fileName();
    const QString data = mergeCopyPath(form.selectedMergeFile());
    // The template's prompts and faults are asked in the window's dialogs; a merge the operator
    // stopped there needs no further message.
    MergeQuestions questions(&form);
    qv::ScopedServices asking([&questions](qv::Services& s) { s.mergeInteraction = &questions; });
    const QString error = runWordCommand(form, qv::output::completeMergeStatus(name),
                                         [&] { qv::output::mergeIntoTemplate(name, data); });
    if (!questions.stoppedByOperator())
        tellFailure(form, error);
}

void exportToSpreadsheet(Form2& form) {
    Form2::Work work(form);
    if (!loadAllRecords(form))
        return;

    ListView& list = form.browser.recordList();
    const MergeRecordModel& records = recordListModel(form);
    // The record being exported is the selected row of the record list and the progress window
    // counts it; both move together a few dozen times a second (nobody sees the rows in between),
    // and the last one exported ends selected and counted.
    qv::output::SpreadsheetExport e;
    e.rowCount = records.rowCount();
    e.recordCount = form.details.recordCount();
    QString status; // the export's text for the row last reached
    qv::PacedRow shown(
        [&list, &status](int r) {
            list.setSelectedIndex(r - 1);
            if (!Progress::isLoaded())
                return;
            Progress& p = Progress::form();
            p.setValue(static_cast<int>(std::min<qsizetype>(r, p.maximum())));
            p.setStatus(status);
        },
        qv::kShowProgressEveryMs);
    e.row = [&records](qsizetype r) { return recordTableRow(records, static_cast<int>(r - 1)); };
    e.showProgress = [](int maximum) {
        Progress& p = Progress::form();
        p.showWindow();
        p.setPictureVisible(true);
        p.setValue(0);
        p.setMaximum(maximum);
    };
    // The captioned window reaches the screen before the first row is copied (and a close asked
    // for meanwhile is heard before the work goes on).
    e.setCaption = [](const QString& caption) {
        Progress::form().setCaption(caption);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    };
    e.progress = [&shown, &status](qsizetype r, const QString& text) {
        status = text;
        shown.follow(static_cast<int>(r));
    };
    e.closeProgress = [&shown] {
        shown.finish();
        Progress::unload();
    };
    e.cancelled = [&form] { return form.closeRequested(); };
    const QString error = qv::automation::failureOf([&] { qv::output::exportToSpreadsheet(e); });
    shown.finish();

    Progress::unload();
    form.unsetCursor();
    form.setEnabled(true);
    if (!error.isEmpty())
        qv::dialogs().message(&form, error, kTitle);
}

void exportToHtml(Form2& form) {
    Form2::Work work(form);
    if (!loadAllRecords(form))
        return;

    const QString path = qv::output::htmlPagePath();
    const MergeRecordModel& records = recordListModel(form);
    const std::optional<QString> width = qv::output::tableWidth(qv::dialogs().input(
        &form, QStringLiteral("Please key in Table Width Percentage (100%=Fullscreen)"),
        QStringLiteral("Table Width"), QStringLiteral("100")));
    QString error;
    if (width) {
        qv::output::HtmlPage page = qv::output::newHtmlPage(form.details.fileName(), *width);
        page.columns = recordTableTitles(records);
        page.rowCount = records.rowCount();
        page.row = [&records](qsizetype r) { return recordTableRow(records, static_cast<int>(r)); };
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
