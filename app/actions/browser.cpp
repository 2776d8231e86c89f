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
    const int row = f.ListView1->selectedIndex();
    if (row < 0)
        return false;
    const QString name = f.ListView1->itemText(row);
    f.Text1->setText(name);
    f.Text2->setText(QStringLiteral("Date: (") + f.ListView1->subItem(row, 1) + QLatin1Char(')'));
    f.Text3->setText(f.ListView1->subItem(row, 2));

    f.Command10->setToolTip(QStringLiteral("Delete ") + name);
    f.Command10->setCaption(QStringLiteral("Delete ") + name + QStringLiteral(" from Server"));
    f.Command10->setFontColour(QColor(255, 0, 0));
    f.showDetails();

    const QString path = MergeCopyPath(f.selectedMergeFile());
    const QFileInfo file(path);
    if (!file.isFile())
        return false; // its length cannot be read
    f.Text9->setText(QStringLiteral("Size: ") + FormatMergeSize(file.size()));
    f.Text13->setText(QStringLiteral("Path: ") + path);
    const QString records = f.ListView1->subItem(row, 3);
    f.Text17->setText(QStringLiteral("Total Records: ") + records);

    bool isNumber = false;
    const int count = records.trimmed().toInt(&isNumber);
    if (!isNumber)
        return false;
    f.selectedRecordCount = count;
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
    switch (form.ListView1->View()) {
    case ListView::Icon:
        form.ListView1->setView(ListView::List);
        form.Command8->setCaption(QStringLiteral("List"));
        break;
    case ListView::List:
        form.ListView1->setView(ListView::Report);
        form.Command8->setCaption(QStringLiteral("Report"));
        break;
    case ListView::Report:
        form.ListView1->setView(ListView::Icon);
        form.Command8->setCaption(QStringLiteral("Icon"));
        break;
    default:
        break; // small icons: unchanged
    }
}
