#include "app/actions/browser.h"

#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "app/guidance.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "ui/listview.h"
#include "ui/shapes.h"

#include <QFileInfo>
#include <QLineEdit>

namespace {

constexpr int kRecordsShown = 10; // the first records of a selected merge file

// The details of the selected entry: its texts, the details panel, its first records and the
// commands that fit it. False when a step fails; the steps after it are skipped.
bool fillDetails(Form2& f) {
    const int row = f.browser.files->selectedIndex();
    if (row < 0)
        return false;
    const QString name = f.browser.files->itemText(row);
    f.details.name->setText(name);
    f.details.date->setText(QStringLiteral("Date: (") + f.browser.files->subItem(row, 1) +
                            QLatin1Char(')'));
    f.details.storedName->setText(f.browser.files->subItem(row, 2));

    f.details.deleteButton->setToolTip(QStringLiteral("Delete ") + name);
    f.details.deleteButton->setCaption(QStringLiteral("Delete ") + name +
                                       QStringLiteral(" from Server"));
    f.details.deleteButton->setFontColour(QColor(255, 0, 0));
    f.showDetails();

    const QString path = MergeCopyPath(f.selectedMergeFile());
    const QFileInfo file(path);
    if (!file.isFile())
        return false; // its length cannot be read
    f.details.size->setText(QStringLiteral("Size: ") + FormatMergeSize(file.size()));
    f.details.path->setText(QStringLiteral("Path: ") + path);
    const QString records = f.browser.files->subItem(row, 3);
    f.details.records->setText(QStringLiteral("Total Records: ") + records);

    bool isNumber = false;
    const int count = records.trimmed().toInt(&isNumber);
    if (!isNumber)
        return false;
    f.details.recordCount = count;
    LoadMergeRecords(f, f.selectedMergeFile(), kRecordsShown);
    f.showTemplateChoice(HasMergeTemplate(name));
    return true;
}

} // namespace

void SelectMergeFile(Form2& form) {
    qv::guidance::StopGuidanceOnSelection(form);
    form.setCursor(Qt::WaitCursor);
    fillDetails(form);
    form.unsetCursor();
}

void CycleBrowserView(Form2& form) {
    switch (form.browser.files->View()) {
    case ListView::Icon:
        form.browser.files->setView(ListView::List);
        form.browser.viewButton->setCaption(QStringLiteral("List"));
        break;
    case ListView::List:
        form.browser.files->setView(ListView::Report);
        form.browser.viewButton->setCaption(QStringLiteral("Report"));
        break;
    case ListView::Report:
        form.browser.files->setView(ListView::Icon);
        form.browser.viewButton->setCaption(QStringLiteral("Icon"));
        break;
    default:
        break; // small icons: unchanged
    }
}
