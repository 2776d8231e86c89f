#include "app/actions/letters.h"

#include "app/actions/exports.h"
#include "app/actions/letterdialogs.h"
#include "app/form2.h"
#include "app/mergequestions.h"
#include "mergefiles/mergefile.h"
#include "output/documentfolder.h"
#include "output/letterfiles.h"
#include "output/mergedata.h"
#include "platform/fileopener.h"
#include "platform/pacing.h"
#include "printing/letterprinting.h"
#include "settings/inifile.h"
#include "ui/designlayer.h"
#include "ui/dialogs.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QMenu>
#include <QProgressDialog>
#include <QTemporaryDir>
#include <QToolButton>

using qv::output::LetterOutput;

namespace {

const QString kTitle = QStringLiteral("Quorvane");
const QString kSection = QStringLiteral("Letters");

QString setting(const QString& key) {
    return qv::INIread(Form2::settingsPath(), kSection, key);
}

void remember(const QString& key, const QString& value) {
    qv::INIwrite(Form2::settingsPath(), kSection, key, value); // a choice not kept costs nothing
}

LetterOutput lastOutput() {
    return qv::output::letterOutputFromKey(setting(QStringLiteral("Output")))
        .value_or(LetterOutput::Document);
}

struct MenuEntry {
    const char* text;
    std::function<void(Form2&)> run;
    std::optional<LetterOutput> output;
};

const std::vector<MenuEntry>& menuEntries() {
    static const std::vector<MenuEntry> entries = {
        {"One document (Complete Merge)", [](Form2& f) { makeLetters(f, LetterOutput::Document); },
         LetterOutput::Document},
        {"One document per record...", [](Form2& f) { makeLetters(f, LetterOutput::DocumentEach); },
         LetterOutput::DocumentEach},
        {"One PDF of all letters", [](Form2& f) { makeLetters(f, LetterOutput::Pdf); },
         LetterOutput::Pdf},
        {"One PDF per record...", [](Form2& f) { makeLetters(f, LetterOutput::PdfEach); },
         LetterOutput::PdfEach},
        {"Print letters...", [](Form2& f) { printLetters(f); }, std::nullopt},
    };
    return entries;
}

// The menu, its last choice shown as the default entry.
void fillMenu(QMenu* menu, Form2& form) {
    menu->clear();
    const LetterOutput last = lastOutput();
    for (const MenuEntry& entry : menuEntries()) {
        QAction* action = menu->addAction(QString::fromLatin1(entry.text));
        if (!entry.output)
            menu->insertSeparator(action);
        if (entry.output == last)
            menu->setDefaultAction(action);
        QObject::connect(action, &QAction::triggered, &form,
                         [&form, run = entry.run] { run(form); });
    }
}

// Keeps the menu button at the right of Complete Merge, shown when it is.
class FollowButton : public QObject {
public:
    FollowButton(QWidget* button, QToolButton* menuButton)
        : QObject(menuButton), button_(button), menuButton_(menuButton) {
        button->installEventFilter(this);
        place();
    }
    bool eventFilter(QObject*, QEvent* event) override {
        const QEvent::Type t = event->type();
        if (t == QEvent::Move || t == QEvent::Resize || t == QEvent::Show || t == QEvent::Hide)
            place();
        return false;
    }

private:
    void place() {
        const QRect r = button_->geometry();
        menuButton_->setGeometry(r.right() + 3, r.top(), r.height(), r.height());
        menuButton_->setVisible(button_->isVisible());
        // The panel takes the pointer only over its controls: the moved button's place too.
        if (auto* layer = qobject_cast<qv::DesignLayer*>(menuButton_->parentWidget()))
            layer->updatePointerArea();
    }
    QWidget* button_;
    QToolButton* menuButton_;
};

// The work's progress in a dialog whose Cancel (or the window's closing) stops it.
class ProgressShown {
public:
    ProgressShown(Form2& form, const QString& title) : form_(form), dialog_(&form) {
        dialog_.setWindowTitle(title);
        dialog_.setObjectName(QStringLiteral("letterProgress"));
        dialog_.setWindowModality(Qt::WindowModal);
        dialog_.setMinimumDuration(0);
        dialog_.setAutoReset(false);
        dialog_.setAutoClose(false);
        dialog_.setLabelText(QStringLiteral("Merging the letters"));
        dialog_.show();
        clock_.start();
        pump_.start();
    }
    void show(const qv::output::LetterProgress& p) {
        const bool last = p.total > 0 && p.done >= p.total;
        if (!last && clock_.elapsed() < qv::kShowProgressEveryMs && p.stage == stage_)
            return;
        stage_ = p.stage;
        dialog_.setMaximum(int(std::min<qsizetype>(p.total, INT_MAX)));
        dialog_.setValue(int(std::min<qsizetype>(p.done, INT_MAX)));
        dialog_.setLabelText(p.text);
        QCoreApplication::processEvents();
        clock_.restart();
    }
    bool cancelled() {
        if (pump_.elapsed() >= qv::kShowProgressEveryMs) { // Cancel and the close are heard
            QCoreApplication::processEvents();
            pump_.restart();
        }
        return dialog_.wasCanceled() || form_.closeRequested();
    }
    void attach(qv::output::LetterJob& job) {
        job.progress = [this](const qv::output::LetterProgress& p) { show(p); };
        job.cancelled = [this] { return cancelled(); };
    }

private:
    Form2& form_;
    QProgressDialog dialog_;
    QElapsedTimer clock_, pump_;
    int stage_ = -1;
};

qv::output::LetterJob jobFor(Form2& form, LetterOutput output) {
    qv::output::LetterJob job;
    job.name = form.details.fileName();
    job.dataPath = mergeCopyPath(form.selectedMergeFile());
    job.templatePath = mergeTemplatePath(job.name);
    job.output = output;
    return job;
}

// Asks for the pattern and the folder, and about files that already exist; false when the
// operator stops there.
bool chooseFiles(Form2& form, qv::output::LetterJob& job) {
    qv::output::MergeData data;
    QString error;
    if (!qv::output::readMergeData(job.dataPath, &data, &error)) {
        qv::dialogs().message(&form, error, kTitle);
        return false;
    }
    const QString extension =
        job.output == LetterOutput::PdfEach ? QStringLiteral("pdf") : QStringLiteral("docx");
    LetterFilesChoice start{setting(QStringLiteral("Pattern")), setting(QStringLiteral("Folder"))};
    if (start.pattern.isEmpty())
        start.pattern = QLatin1Char('{') + data.names.value(0) + QLatin1Char('}');
    if (start.folder.isEmpty())
        start.folder = qv::output::documentFolder();
    const auto example = [&](const QString& pattern) {
        const QString problem = qv::output::namePatternProblem(pattern, data);
        return !problem.isEmpty()       ? problem
               : data.records.isEmpty() ? QString()
                                        : QStringLiteral("The first letter: ") +
                                              qv::output::letterStem(pattern, data, 0, extension) +
                                              QLatin1Char('.') + extension;
    };
    const std::optional<LetterFilesChoice> choice = askLetterFiles(
        &form, QStringLiteral("Letters of %1").arg(job.name), data.names, start, example);
    if (!choice)
        return false;
    if (const QString problem = qv::output::namePatternProblem(choice->pattern, data);
        !problem.isEmpty()) {
        qv::dialogs().message(&form, problem, kTitle);
        return false;
    }
    job.pattern = choice->pattern;
    job.target = QDir::cleanPath(choice->folder);
    remember(QStringLiteral("Pattern"), job.pattern);
    remember(QStringLiteral("Folder"), job.target);
    const QStringList existing = qv::output::existingFiles(
        qv::output::letterFolder(job), qv::output::plannedLetterNames(job, &error));
    if (!existing.isEmpty())
        job.replaceExisting = qv::dialogs().confirm(
            &form,
            QStringLiteral("%1 of the letters' files already exist in \"%2\" (such as \"%3\"). "
                           "Replace them? No keeps them and numbers the new files.")
                .arg(existing.size())
                .arg(QDir::toNativeSeparators(qv::output::letterFolder(job)), existing.first()),
            kTitle);
    return true;
}

// Runs the job with its progress shown; the result, told to the operator when it failed.
qv::output::LetterResult runJob(Form2& form, qv::output::LetterJob& job, const QString& title) {
    Form2::Work work(form);
    MergeQuestions questions(&form);
    job.interaction = &questions;
    qv::output::LetterResult result;
    {
        ProgressShown progress(form, title);
        progress.attach(job);
        result = qv::output::makeLetters(job);
    }
    if (!result.ok() && !result.cancelled && !questions.stoppedByOperator())
        qv::dialogs().message(&form, result.error, kTitle);
    return result;
}

} // namespace

void installLetterMenu(Form2& form) {
    auto* button = form.findChild<QWidget*>(QStringLiteral("Command4"));
    if (!button || !button->parentWidget())
        return;
    auto* menuButton = new QToolButton(button->parentWidget());
    menuButton->setObjectName(QStringLiteral("letterMenuButton"));
    menuButton->setArrowType(Qt::DownArrow);
    menuButton->setPopupMode(QToolButton::InstantPopup);
    menuButton->setToolTip(QStringLiteral("More ways to complete the merge: a file for each "
                                          "letter, PDF, printing"));
    menuButton->setAccessibleName(QStringLiteral("Letters"));
    auto* menu = new QMenu(menuButton);
    menu->setObjectName(QStringLiteral("letterMenu"));
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, &form] { fillMenu(menu, form); });
    menuButton->setMenu(menu);
    new FollowButton(button, menuButton);
    button->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(button, &QWidget::customContextMenuRequested, menu,
                     [menu, button](const QPoint& at) { menu->popup(button->mapToGlobal(at)); });
}

void makeLetters(Form2& form, LetterOutput output) {
    remember(QStringLiteral("Output"), qv::output::letterOutputKey(output));
    if (output == LetterOutput::Document) {
        mergeIntoTemplate(form);
        return;
    }
    qv::output::LetterJob job = jobFor(form, output);
    if (qv::output::isOneFileEach(output) && !chooseFiles(form, job))
        return;
    const qv::output::LetterResult result =
        runJob(form, job, QStringLiteral("Letters of %1").arg(job.name));
    if (!result.ok())
        return;
    if (output == LetterOutput::Pdf) {
        if (!qv::openWithDesktop(result.files.value(0)))
            qv::dialogs().message(
                &form,
                QStringLiteral("The letters were saved as \"%1\", but no program is set up to "
                               "open PDF files.")
                    .arg(result.files.value(0)),
                kTitle);
        return;
    }
    qv::dialogs().message(&form,
                          QStringLiteral("%1 letters written to \"%2\".")
                              .arg(result.files.size())
                              .arg(QDir::toNativeSeparators(qv::output::letterFolder(job))),
                          kTitle);
}

void printLetters(Form2& form) {
    const qv::printing::Printers known = qv::printing::printers();
    if (known.names.isEmpty()) {
        QString error;
        qv::printing::choosePrinter({}, &error);
        qv::dialogs().message(&form, error, kTitle);
        return;
    }
    qv::output::LetterJob job = jobFor(form, LetterOutput::Pdf);
    const int records = std::max(1, form.details.recordCount());
    const std::optional<PrintChoice> choice =
        askPrint(&form, QStringLiteral("Print the letters of %1").arg(job.name), known.names,
                 known.defaultPrinter, records);
    if (!choice)
        return;
    QTemporaryDir folder(QDir(QDir::tempPath()).filePath(QStringLiteral("quorvane-print-XXXXXX")));
    job.firstRecord = choice->firstRecord - 1;
    job.lastRecord = choice->lastRecord - 1;
    job.target = folder.filePath(job.name + QStringLiteral(".pdf"));
    const qv::output::LetterResult result =
        runJob(form, job, QStringLiteral("Printing the letters of %1").arg(job.name));
    if (!result.ok())
        return;
    const QString range =
        choice->firstRecord == 1 && choice->lastRecord == records
            ? QString()
            : QStringLiteral("%1-%2").arg(choice->firstRecord).arg(choice->lastRecord);
    int id = 0;
    QString error;
    if (!qv::printing::printPdf(choice->printer, job.target,
                                qv::printing::letterJobTitle(job.name, range), &id, &error)) {
        qv::dialogs().message(&form, error, kTitle);
        return;
    }
    qv::dialogs().message(&form,
                          QStringLiteral("%1 letters (%2 pages) were sent to the printer \"%3\" "
                                         "as job %4.")
                              .arg(result.letters)
                              .arg(result.pages)
                              .arg(choice->printer)
                              .arg(id),
                          kTitle);
}
