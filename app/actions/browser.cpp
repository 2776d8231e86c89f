#include "app/actions/browser.h"

#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "mergefiles/mergefile.h"

#include <QFileInfo>

namespace {

constexpr int kRecordsShown = 10; // the first records of a selected merge file

// The details of the selected entry: its texts, the details panel, its first records and the
// commands that fit it. False when a step fails; the steps after it are skipped.
bool fillDetails(Form2& f) {
    const std::optional<MergeFileRow> row = f.browser.selectedMergeFile();
    if (!row)
        return false;
    f.details.showFile(*row);
    f.showDetails();

    const QString path = mergeCopyPath(f.selectedMergeFile());
    const QFileInfo file(path);
    if (!file.isFile())
        return false; // its length cannot be read
    f.details.showCopy(path, formatMergeSize(file.size()), row->records);

    bool isNumber = false;
    const int count = row->records.trimmed().toInt(&isNumber);
    if (!isNumber)
        return false;
    f.details.setRecordCount(count);
    loadMergeRecords(f, f.selectedMergeFile(), kRecordsShown);
    f.details.showTemplateChoice(hasMergeTemplate(row->name));
    return true;
}

} // namespace

void selectMergeFile(Form2& form) {
    qv::guidance::stopGuidanceOnSelection(form);
    form.setCursor(Qt::WaitCursor);
    fillDetails(form);
    form.unsetCursor();
}

void cycleBrowserView(Form2& form) {
    form.browser.cycleView();
}
