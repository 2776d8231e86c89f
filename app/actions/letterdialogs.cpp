#include "app/actions/letterdialogs.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

std::optional<LetterFilesChoice>
askLetterFiles(QWidget* parent, const QString& title, const QStringList& fields,
               const LetterFilesChoice& start,
               const std::function<QString(const QString& pattern)>& example) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);
    auto* pattern = new QLineEdit(start.pattern, &dialog);
    pattern->setObjectName(QStringLiteral("letterPattern"));
    auto* insert = new QComboBox(&dialog);
    insert->setObjectName(QStringLiteral("letterField"));
    insert->addItem(QStringLiteral("Insert a field..."));
    for (const QString& f : fields)
        insert->addItem(f);
    QObject::connect(insert, &QComboBox::activated, &dialog, [=](int index) {
        if (index > 0)
            pattern->insert(QLatin1Char('{') + insert->itemText(index) + QLatin1Char('}'));
        insert->setCurrentIndex(0);
        pattern->setFocus();
    });
    auto* patternRow = new QHBoxLayout;
    patternRow->addWidget(pattern, 1);
    patternRow->addWidget(insert);
    form->addRow(QStringLiteral("File names:"), patternRow);
    auto* sample = new QLabel(&dialog);
    sample->setObjectName(QStringLiteral("letterExample"));
    const auto showSample = [=] { sample->setText(example(pattern->text())); };
    QObject::connect(pattern, &QLineEdit::textChanged, &dialog, showSample);
    showSample();
    form->addRow(QString(), sample);
    auto* folder = new QLineEdit(start.folder, &dialog);
    folder->setObjectName(QStringLiteral("letterFolder"));
    auto* browse = new QPushButton(QStringLiteral("Browse..."), &dialog);
    QObject::connect(browse, &QPushButton::clicked, &dialog, [=, &dialog] {
        const QString chosen =
            QFileDialog::getExistingDirectory(&dialog, QStringLiteral("Folder"), folder->text());
        if (!chosen.isEmpty())
            folder->setText(chosen);
    });
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(folder, 1);
    folderRow->addWidget(browse);
    form->addRow(QStringLiteral("Folder:"), folderRow);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    dialog.resize(520, dialog.sizeHint().height());
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return LetterFilesChoice{pattern->text(), folder->text()};
}

std::optional<PrintChoice> askPrint(QWidget* parent, const QString& title,
                                    const QStringList& printers, const QString& defaultPrinter,
                                    int records) {
    QDialog dialog(parent);
    dialog.setWindowTitle(title);
    auto* form = new QFormLayout(&dialog);
    auto* printer = new QComboBox(&dialog);
    printer->setObjectName(QStringLiteral("letterPrinter"));
    printer->addItems(printers);
    printer->setCurrentText(defaultPrinter);
    form->addRow(QStringLiteral("Printer:"), printer);
    auto* from = new QSpinBox(&dialog);
    auto* to = new QSpinBox(&dialog);
    from->setObjectName(QStringLiteral("letterFrom"));
    to->setObjectName(QStringLiteral("letterTo"));
    from->setRange(1, records);
    to->setRange(1, records);
    from->setValue(1);
    to->setValue(records);
    QObject::connect(from, &QSpinBox::valueChanged, to, [=](int v) { to->setMinimum(v); });
    auto* range = new QHBoxLayout;
    range->addWidget(from);
    range->addWidget(new QLabel(QStringLiteral("to"), &dialog));
    range->addWidget(to);
    range->addWidget(new QLabel(QStringLiteral("of %1").arg(records), &dialog), 1);
    form->addRow(QStringLiteral("Records:"), range);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("Print"));
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return PrintChoice{printer->currentText(), from->value(), to->value()};
}
