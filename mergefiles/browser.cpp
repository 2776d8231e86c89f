#include "mergefiles/browser.h"

#include "app/form2.h"
#include "app/shapes.h"
#include "controls/command/command.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/recordviewer.h"
#include "ui/listview.h"

#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>

namespace {

// Steps 3 to 16 of a selection; false when one of them fails.
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

    for (QWidget* w : {static_cast<QWidget*>(f.Text10), static_cast<QWidget*>(f.Text44),
                       static_cast<QWidget*>(f.Text11), static_cast<QWidget*>(f.Text12),
                       static_cast<QWidget*>(f.ProgressBar1), static_cast<QWidget*>(f.Text21),
                       static_cast<QWidget*>(f.Text22), static_cast<QWidget*>(f.Text7),
                       static_cast<QWidget*>(f.Text8), static_cast<QWidget*>(f.Text5),
                       static_cast<QWidget*>(f.Text16)})
        w->hide();
    f.Command1->hide();
    for (Command* c : {f.Command2, f.Command3, f.Command10, f.Command7, f.Command11})
        c->show();
    f.Text6->hide();
    f.Label3->hide();
    f.Image9->hide();
    for (QWidget* w : {f.Text1, f.Text2, f.Text9, f.Text13, f.Text17})
        w->show();
    f.Line1->show();
    f.Line2->show();
    f.Line4->show();

    const QFileInfo file(MergeFilePath(name));
    if (!file.isFile())
        return false; // its length cannot be read
    f.Text9->setText(QStringLiteral("Size: ") + FormatMergeSize(file.size()));
    f.Text13->setText(QStringLiteral("Path: ") + MergeFilePath(name));
    const QString records = f.ListView1->subItem(row, 3);
    f.Text17->setText(QStringLiteral("Total Records: ") + records);

    bool isNumber = false;
    const int count = records.trimmed().toInt(&isNumber);
    if (!isNumber)
        return false;
    f.RecordCount = count;
    f.RecordsToLoad = 10;
    LoadMergeRecords(f);

    if (HasMergeTemplate(name)) {
        f.Image1->hide();
        f.Image5->show();
        f.Command4->show();
    } else {
        f.Command4->hide();
        f.Image1->show();
        f.Image5->hide();
    }
    return true;
}

} // namespace

void SelectMergeFile(Form2& form) {
    form.Timer2->setInterval(0);
    form.Timer2->stop();
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
