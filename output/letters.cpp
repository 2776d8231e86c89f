#include "output/letters.h"

#include "output/documentfolder.h"
#include "output/docx.h"
#include "output/docxsplit.h"
#include "output/legacyconvert.h"
#include "output/letterfiles.h"
#include "output/mergedata.h"
#include "output/officepdf.h"
#include "output/pdfletters.h"
#include "platform/tempfiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace qv::output {

namespace {

const QStringList kKeys = {QStringLiteral("docx"), QStringLiteral("docx-each"),
                           QStringLiteral("pdf"), QStringLiteral("pdf-each")};

// The template as a document package to merge into; false with a message.
bool loadTemplate(const QString& path, ooxml::Package* package, QString* extension,
                  QString* error) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("The template \"%1\" cannot be read: %2")
                     .arg(QDir::toNativeSeparators(path), file.errorString());
        return false;
    }
    const QByteArray head = file.read(8);
    file.close();
    if (ooxml::looksLikeZip(head)) {
        if (!package->read(path, error))
            return false;
    } else if (ooxml::looksLikeCompoundFile(head)) {
        if (!convertToDocx(path, package, error))
            return false;
    } else {
        *error =
            QStringLiteral("\"%1\" is not a Word template.").arg(QDir::toNativeSeparators(path));
        return false;
    }
    *extension = docx::makeDocument(*package);
    return true;
}

// A new, empty temporary file of the program's in the folder (tempfiles.h); "" with *error.
QString temporaryIn(const QString& folder, const QString& extension, QString* error) {
    QTemporaryFile t(tempfiles::exportTemplate(folder, QLatin1Char('.') + extension));
    t.setAutoRemove(false);
    if (!t.open()) {
        *error = QStringLiteral("No file can be written in \"%1\": %2")
                     .arg(QDir::toNativeSeparators(folder), t.errorString());
        return {};
    }
    return t.fileName();
}

// Flushes what was written in the folder's file system to the disk, in one step for all files.
bool syncFolder(const QString& folder, QString* error) {
    const int fd =
        ::open(QFile::encodeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    const bool synced = fd >= 0 && ::syncfs(fd) == 0;
    const int code = errno;
    if (fd >= 0)
        ::close(fd);
    if (!synced)
        *error = QString::fromLocal8Bit(std::strerror(code));
    return synced;
}

// One run of the job: its state between the steps.
class LetterRun {
public:
    explicit LetterRun(const LetterJob& job) : job_(job) {}
    LetterResult run();

private:
    bool cancelled() {
        if (!result_.cancelled && job_.cancelled && job_.cancelled())
            result_.cancelled = true;
        return result_.cancelled;
    }
    void tell(LetterProgress::Stage stage, qsizetype done, qsizetype total, const QString& text) {
        if (job_.progress)
            job_.progress({stage, done, total, text});
    }
    bool fail(const QString& error, bool localWrite = false) {
        if (!cancelled()) {
            result_.error = error;
            result_.localWrite = localWrite;
        }
        return false;
    }
    bool merge();
    bool chooseLetters();
    bool layOut(PdfLetters& pdf);
    bool writeEach();
    bool writeOne();
    bool placeFiles(const QStringList& stems, const QString& extension);
    void dropTemporaries();

    const LetterJob& job_;
    LetterResult result_;
    MergeData data_;
    ooxml::Package merged_;
    QString extension_;
    std::vector<qsizetype> starts_;   // the first record of each letter
    qsizetype first_ = 0, last_ = -1; // the letters (from 0) the job wants
    QTemporaryDir work_{QDir(QDir::tempPath()).filePath(QStringLiteral("quorvane-letters-XXXXXX"))};
    TemporaryFolderNote workNote_{work_.path()};
    QStringList temporaries_;
};

bool LetterRun::merge() {
    QString error;
    if (!readMergeData(job_.dataPath, &data_, &error))
        return fail(error);
    if (isOneFileEach(job_.output))
        if (const QString problem = namePatternProblem(job_.pattern, data_); !problem.isEmpty())
            return fail(problem);
    if (job_.output != LetterOutput::DocumentEach && !libreOfficeInstalled())
        return fail(pdfNeedsLibreOffice());
    ooxml::Package main;
    if (!loadTemplate(job_.templatePath, &main, &extension_, &error))
        return fail(error);
    docx::MergeOptions options;
    options.interaction = job_.interaction;
    options.locale = job_.locale;
    options.templatePath = job_.templatePath;
    options.markCopies = true;
    const qsizetype total = data_.records.size();
    options.copyMerged = [this, total](qsizetype first, qsizetype next) {
        starts_.push_back(first);
        tell(LetterProgress::Merging, next, total,
             QStringLiteral("%1 of %2 records merged").arg(next).arg(total));
        return !cancelled();
    };
    if (!docx::mergeDocument(main, data_, &merged_, &error, options))
        return fail(error);
    return chooseLetters();
}

// The letters whose first record lies in the job's range.
bool LetterRun::chooseLetters() {
    const qsizetype lastRecord = job_.lastRecord < 0 ? data_.records.size() - 1 : job_.lastRecord;
    first_ = -1;
    for (size_t i = 0; i < starts_.size(); ++i)
        if (starts_[i] >= job_.firstRecord && starts_[i] <= lastRecord) {
            if (first_ < 0)
                first_ = qsizetype(i);
            last_ = qsizetype(i);
        }
    if (first_ < 0)
        return fail(QStringLiteral("No letter starts with records %1 to %2.")
                        .arg(job_.firstRecord + 1)
                        .arg(lastRecord + 1));
    result_.letters = last_ - first_ + 1;
    return true;
}

// The chosen letters laid out by LibreOffice in one run.
bool LetterRun::layOut(PdfLetters& pdf) {
    QString error;
    if (!work_.isValid())
        return fail(QStringLiteral("No temporary folder is available: %1").arg(work_.errorString()),
                    true);
    const QString document = work_.filePath(QStringLiteral("letters.") + extension_);
    ooxml::Package chosen;
    const ooxml::Package* letters = &merged_;
    if (first_ > 0 || last_ + 1 < qsizetype(starts_.size())) {
        docx::CopySplitter splitter;
        if (!splitter.open(merged_, &error))
            return fail(error);
        chosen = splitter.extract(first_, last_);
        letters = &chosen;
    }
    if (!letters->write(document, &error))
        return fail(error, true);
    tell(LetterProgress::LayingOut, 0, 0,
         QStringLiteral("LibreOffice is laying out %1 letters").arg(result_.letters));
    const QString laidOut = work_.filePath(QStringLiteral("letters.pdf"));
    if (!layOutPdf(document, laidOut, {[this] { return cancelled(); }, job_.layoutLimitMs}, &error))
        return fail(error);
    QFile::remove(document);
    if (!pdf.open(laidOut, first_ + 1, result_.letters, &error))
        return fail(error);
    result_.pages = pdf.pageCount();
    tell(LetterProgress::LayingOut, result_.pages, result_.pages,
         QStringLiteral("%1 pages laid out").arg(result_.pages));
    return true;
}

bool LetterRun::writeEach() {
    const bool pdf = job_.output == LetterOutput::PdfEach;
    const QString folder = letterFolder(job_);
    if (!QDir().mkpath(folder))
        return fail(QStringLiteral("The folder \"%1\" cannot be created.")
                        .arg(QDir::toNativeSeparators(folder)),
                    true);
    tempfiles::removeStale(folder);
    PdfLetters laidOut;
    docx::CopySplitter splitter;
    QString error;
    if (pdf ? !layOut(laidOut) : !splitter.open(merged_, &error))
        return error.isEmpty() ? false : fail(error);
    const QString extension = pdf ? QStringLiteral("pdf") : extension_;
    QStringList stems;
    for (qsizetype i = first_; i <= last_; ++i) {
        const QString temp = temporaryIn(folder, extension, &error);
        if (temp.isEmpty())
            return fail(error, true);
        temporaries_ << temp;
        stems << letterStem(job_.pattern, data_, starts_[size_t(i)], extension);
    }
    const auto told = [this](qsizetype done) {
        tell(LetterProgress::Writing, done, result_.letters,
             QStringLiteral("%1 of %2 files written").arg(done).arg(result_.letters));
        return !cancelled();
    };
    if (pdf) {
        if (!laidOut.writeEach(temporaries_, QThread::idealThreadCount(), told, &error))
            return error.isEmpty() ? false : fail(error, true);
    } else {
        for (qsizetype i = first_; i <= last_; ++i) {
            if (!splitter.extract(i, i).write(temporaries_[i - first_], &error))
                return fail(error, true);
            if (!told(i - first_ + 1))
                return false;
        }
    }
    if (!syncFolder(folder, &error))
        return fail(QStringLiteral("The letters cannot be written to \"%1\": %2")
                        .arg(QDir::toNativeSeparators(folder), error),
                    true);
    return placeFiles(stems, extension);
}

// The temporary files take their names: existing files of those names are replaced when the
// job says so, else the new names are numbered.
bool LetterRun::placeFiles(const QStringList& stems, const QString& extension) {
    const QDir folder(letterFolder(job_));
    QStringList taken;
    if (!job_.replaceExisting)
        taken = folder.entryList(QDir::Files | QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    const QStringList names = uniqueFileNames(stems, extension, taken);
    for (qsizetype i = 0; i < names.size(); ++i) {
        const QString path = folder.filePath(names[i]);
        if (std::rename(QFile::encodeName(temporaries_[i]).constData(),
                        QFile::encodeName(path).constData()) != 0) {
            const QString why = QString::fromLocal8Bit(std::strerror(errno));
            for (const QString& placed : std::as_const(result_.files))
                QFile::remove(placed);
            result_.files.clear();
            return fail(QStringLiteral("\"%1\" cannot be written: %2")
                            .arg(QDir::toNativeSeparators(path), why),
                        true);
        }
        temporaries_[i].clear();
        result_.files << path;
    }
    return true;
}

bool LetterRun::writeOne() {
    PdfLetters laidOut;
    if (!layOut(laidOut))
        return false;
    const QString laidOutPath = work_.filePath(QStringLiteral("letters.pdf"));
    QString error, path;
    if (!job_.target.isEmpty()) {
        // In place only once complete: a temporary file beside the target takes its name.
        const QString temp =
            temporaryIn(QFileInfo(job_.target).absolutePath(), QStringLiteral("pdf"), &error);
        if (temp.isEmpty())
            return fail(error, true);
        temporaries_ << temp;
        QFile::remove(temp);
        if (!QFile::copy(laidOutPath, temp) || !tempfiles::syncToDisk(temp, &error) ||
            std::rename(QFile::encodeName(temp).constData(),
                        QFile::encodeName(job_.target).constData()) != 0)
            return fail(QStringLiteral("\"%1\" cannot be written.")
                            .arg(QDir::toNativeSeparators(job_.target)),
                        true);
        temporaries_.clear();
        result_.files << job_.target;
        return true;
    }
    const auto copy = [&laidOutPath](const QString& to, QString* e) {
        QFile::remove(to);
        if (QFile::copy(laidOutPath, to))
            return true;
        *e = QStringLiteral("\"%1\" cannot be written.").arg(to);
        return false;
    };
    if (!saveNewDocument(job_.name + QStringLiteral(" merged"), QStringLiteral("pdf"), copy, &path,
                         &error))
        return fail(error, true);
    result_.files << path;
    return true;
}

void LetterRun::dropTemporaries() {
    for (const QString& temp : std::as_const(temporaries_))
        if (!temp.isEmpty())
            QFile::remove(temp);
    temporaries_.clear();
}

LetterResult LetterRun::run() {
    if (merge() && !cancelled()) {
        if (job_.output == LetterOutput::Pdf)
            writeOne();
        else if (isOneFileEach(job_.output))
            writeEach();
        else
            fail(QStringLiteral("One merged document is made by Complete Merge itself."));
    }
    if (!result_.ok())
        dropTemporaries();
    return result_;
}

} // namespace

QString letterOutputKey(LetterOutput output) {
    return kKeys.value(int(output));
}

std::optional<LetterOutput> letterOutputFromKey(const QString& key) {
    const qsizetype at = kKeys.indexOf(key.trimmed().toLower());
    return at < 0 ? std::nullopt : std::optional(LetterOutput(at));
}

bool isOneFileEach(LetterOutput output) {
    return output == LetterOutput::DocumentEach || output == LetterOutput::PdfEach;
}

QString letterFolder(const LetterJob& job) {
    return job.target.isEmpty() ? documentFolder() : QFileInfo(job.target).absoluteFilePath();
}

QStringList plannedLetterNames(const LetterJob& job, QString* error) {
    MergeData data;
    if (!readMergeData(job.dataPath, &data, error))
        return {};
    if (const QString problem = namePatternProblem(job.pattern, data); !problem.isEmpty()) {
        *error = problem;
        return {};
    }
    const QString extension =
        job.output == LetterOutput::PdfEach ? QStringLiteral("pdf") : QStringLiteral("docx");
    QStringList stems;
    for (qsizetype r = 0; r < data.records.size(); ++r)
        stems << letterStem(job.pattern, data, r, extension);
    return uniqueFileNames(stems, extension);
}

LetterResult makeLetters(const LetterJob& job) {
    LetterRun run(job);
    return run.run();
}

} // namespace qv::output
