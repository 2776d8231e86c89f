#include "output/officeautomation.h"

#include "output/documentfolder.h"
#include "output/docx.h"
#include "output/legacyconvert.h"
#include "output/mergedata.h"
#include "output/mergeinteraction.h"
#include "output/odtdocument.h"
#include "output/spreadsheet.h"
#include "output/writerdata.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <optional>

namespace qv::automation {

namespace {

[[noreturn]] void raise(const QString& message) {
    throw Error{message};
}

bool isTrue(const Arg& a) {
    return a && a->toBool();
}

QString text(const Arg& a) {
    return a ? a->toString() : QString();
}

// --- Word ------------------------------------------------------------------------------------

class OfficeWord;

// A document from a template stays in the template's Office Open XML form. A new, blank
// document with a merge file attached becomes an OpenDocument text: the form whose data source
// LibreOffice Writer opens with it (odtdocument.h).
class OfficeDocument : public WordDocument, public WordMailMerge {
public:
    OfficeDocument(OfficeWord& app, ooxml::Package package, QString stem, QString extension,
                   bool blank = false, QString templatePath = {})
        : app_(app), package_(std::move(package)), stem_(std::move(stem)),
          extension_(std::move(extension)), templatePath_(std::move(templatePath)), blank_(blank) {}

    WordMailMerge& MailMerge() override { return *this; }
    WordApplication& Application() override;

    void OpenDataSource(const QString& Name, const Arg& Format, const Arg&, const Arg&,
                        const Arg& LinkToSource, const Arg&, const Arg&, const Arg&, const Arg&,
                        const Arg&, const Arg&, const Arg& Connection, const Arg& SQLStatement,
                        const Arg&, const Arg&, const Arg&) override {
        if (Format && Format->toInt() != 0)
            raise(QStringLiteral("Only delimited text data sources can be attached."));
        if (!QFileInfo(Name).isFile())
            raise(QStringLiteral("The data source \"%1\" was not found.")
                      .arg(QDir::toNativeSeparators(Name)));
        if (blank_) {
            odt::MergeSource source;
            QString error;
            if (!output::prepareWriterSource(Name, &source, &error))
                raise(error);
            odtSource_ = std::move(source);
            dataSource_ = Name;
            return;
        }
        docx::DataSource source;
        source.path = Name;
        source.connection = text(Connection);
        source.query = text(SQLStatement);
        source.linkToSource = isTrue(LinkToSource);
        QString error;
        if (!docx::attachDataSource(package_, source, &error))
            raise(error);
        dataSource_ = Name;
    }

    void Execute(const Arg& Pause) override;

    bool shown = false;
    bool merged = false; // the merge ran: its result, not this main document, is what counts

    bool save(const QString& path, QString* error) const {
        return odtSource_ ? odt::writeDocument(path, *odtSource_, error)
                          : package_.write(path, error);
    }
    // The document's name: its template's, or else its data source's.
    QString stem() const {
        if (!stem_.isEmpty())
            return stem_;
        return dataSource_.isEmpty() ? QStringLiteral("Document")
                                     : QFileInfo(dataSource_).completeBaseName();
    }
    QString extension() const { return odtSource_ ? QStringLiteral("odt") : extension_; }

private:
    OfficeWord& app_;
    ooxml::Package package_;
    QString stem_, extension_, templatePath_, dataSource_;
    bool blank_;
    std::optional<odt::MergeSource> odtSource_;
};

struct LoadedTemplate {
    QString fullName;
    ooxml::Package package;
};

class OfficeWord : public WordApplication,
                   public WordAddIns,
                   public WordTemplates,
                   public WordTemplate,
                   public WordDocuments {
public:
    WordAddIns& AddIns() override { return *this; }
    WordTemplates& Templates() override { return *this; }
    WordDocuments& Documents() override { return *this; }
    WordDocument& ActiveDocument() override {
        if (documents_.empty())
            raise(QStringLiteral("No document is open."));
        return *documents_.back();
    }
    void setVisible(bool vData) override { visible_ = vData; }

    // AddIns.Add: loads the template as a global template.
    void Add(const QString& FileName, const Arg&) override { load(FileName); }

    // Templates(name): a loaded template, by full path or by file name.
    WordTemplate& Item(const QVariant& Index) override {
        const QString wanted = Index.toString();
        for (size_t i = 0; i < templates_.size(); ++i) {
            const QString& full = templates_[i].fullName;
            if (QDir::cleanPath(full).compare(QDir::cleanPath(wanted), Qt::CaseInsensitive) == 0 ||
                QFileInfo(full).fileName().compare(wanted, Qt::CaseInsensitive) == 0) {
                current_ = i;
                return *this;
            }
        }
        raise(QStringLiteral("The template \"%1\" is not loaded.").arg(wanted));
    }
    QString FullName() override { return templates_.at(current_).fullName; }

    // Documents.Add: a new document, based on the template when one is given.
    WordDocument& Add(const Arg& Template, const Arg& NewTemplate, const Arg&,
                      const Arg&) override {
        if (isTrue(NewTemplate))
            raise(QStringLiteral("New templates cannot be created."));
        if (!Template || text(Template).isEmpty())
            return addDocument(docx::newDocument(), QStringLiteral("Document"),
                               QStringLiteral("docx"), true);
        const LoadedTemplate& t = load(text(Template));
        ooxml::Package package = t.package;
        const QString extension = docx::makeDocument(package);
        return addDocument(std::move(package), QFileInfo(t.fullName).completeBaseName(), extension,
                           false, t.fullName);
    }

    OfficeDocument& addDocument(ooxml::Package package, const QString& stem,
                                const QString& extension, bool blank = false,
                                const QString& templatePath = {}) {
        documents_.push_back(std::make_unique<OfficeDocument>(*this, std::move(package), stem,
                                                              extension, blank, templatePath));
        return *documents_.back();
    }

    bool visible() const { return visible_; }

    // The program lets go: a visible Word keeps its documents for the operator.
    void present() {
        if (!visible_)
            return;
        for (auto& d : documents_) {
            if (d->shown || d->merged)
                continue;
            QString path, error;
            const OfficeDocument& doc = *d;
            if (!output::saveAndOpen(
                    doc.stem(), doc.extension(),
                    [&doc](const QString& p, QString* e) { return doc.save(p, e); }, &path, &error))
                raise(error);
            d->shown = true;
        }
    }

private:
    const LoadedTemplate& load(const QString& fileName) {
        for (const LoadedTemplate& t : templates_)
            if (QDir::cleanPath(t.fullName)
                    .compare(QDir::cleanPath(fileName), Qt::CaseInsensitive) == 0)
                return t;
        QFile file(fileName);
        if (!file.open(QIODevice::ReadOnly))
            raise(QStringLiteral("The template \"%1\" was not found.")
                      .arg(QDir::toNativeSeparators(fileName)));
        const QByteArray head = file.read(8);
        file.close();
        LoadedTemplate t{fileName, {}};
        QString error;
        if (ooxml::looksLikeZip(head)) {
            if (!t.package.read(fileName, &error))
                raise(error);
        } else if (ooxml::looksLikeCompoundFile(head)) {
            if (!output::convertToDocx(fileName, &t.package, &error))
                raise(error);
        } else {
            raise(QStringLiteral("\"%1\" is not a Word template.")
                      .arg(QDir::toNativeSeparators(fileName)));
        }
        if (!t.package.contains(QStringLiteral("[Content_Types].xml")))
            raise(QStringLiteral("\"%1\" is not a Word template.")
                      .arg(QDir::toNativeSeparators(fileName)));
        templates_.push_back(std::move(t));
        return templates_.back();
    }

    std::vector<LoadedTemplate> templates_;
    std::vector<std::unique_ptr<OfficeDocument>> documents_;
    size_t current_ = 0;
    bool visible_ = false;
};

WordApplication& OfficeDocument::Application() {
    return app_;
}

void OfficeDocument::Execute(const Arg&) {
    if (dataSource_.isEmpty())
        raise(QStringLiteral("The document has no data source to merge."));
    output::MergeData data;
    QString error;
    if (!output::readMergeData(dataSource_, &data, &error))
        raise(error);
    // Faults of the template and a cancelled question stop the merge before anything is written.
    docx::MergeOptions options;
    options.interaction = &output::mergeInteraction();
    options.templatePath = templatePath_;
    ooxml::Package result;
    if (!docx::mergeDocument(package_, data, &result, &error, options))
        raise(error);
    merged = true;
    app_.addDocument(std::move(result), stem() + QStringLiteral(" merged"), extension_);
}

class OfficeWordApplicationObject : public WordApplicationObject {
public:
    WordAddIns& AddIns() override { return word_.AddIns(); }
    WordTemplates& Templates() override { return word_.Templates(); }
    WordDocuments& Documents() override { return word_.Documents(); }
    WordDocument& ActiveDocument() override { return word_.ActiveDocument(); }
    void setVisible(bool vData) override { word_.setVisible(vData); }
    void Release() override { word_.present(); }

private:
    OfficeWord word_;
};

class OfficeWordDocumentObject : public WordDocumentObject {
public:
    OfficeWordDocumentObject()
        : doc_(word_.addDocument(docx::newDocument(), QString(), QStringLiteral("docx"), true)) {}
    WordMailMerge& MailMerge() override { return doc_.MailMerge(); }
    WordApplication& Application() override { return word_; }
    void Release() override { word_.present(); }

private:
    OfficeWord word_;
    OfficeDocument& doc_;
};

// --- Excel -----------------------------------------------------------------------------------

class OfficeRange : public ExcelRange {
public:
    OfficeRange(xlsx::Sheet& sheet, QString address, bool columns)
        : sheet_(sheet), address_(std::move(address)), columns_(columns) {}

    void setValue(const QVariant& vData) override {
        int row = 0, column = 0;
        if (!xlsx::parseCell(address_, &row, &column))
            raise(QStringLiteral("\"%1\" is not a cell of a worksheet (a worksheet holds %2 "
                                 "rows).")
                      .arg(address_)
                      .arg(xlsx::kMaxRows));
        QString error;
        if (!sheet_.setValue(row, column, vData.toString(), &error))
            raise(error);
    }
    std::unique_ptr<ExcelRange> Columns() override {
        return std::make_unique<OfficeRange>(sheet_, address_, true);
    }
    void AutoFit() override {
        int first = 0, last = 0, row = 0;
        if (!columns_ || !(xlsx::parseColumns(address_, &first, &last) ||
                           (xlsx::parseCell(address_, &row, &first) && (last = first, true))))
            raise(QStringLiteral("Only whole columns can be fitted (\"%1\").").arg(address_));
        sheet_.autoFit(first, last);
    }

private:
    xlsx::Sheet& sheet_;
    QString address_;
    bool columns_;
};

class OfficeWorkbook : public ExcelWorkbook, public ExcelSheets, public ExcelWorksheet {
public:
    ExcelSheets& Sheets() override { return *this; }
    ExcelWorksheet& Item(const QVariant& Index) override {
        if (Index.toInt() != 1 &&
            Index.toString().compare(QLatin1String("Sheet1"), Qt::CaseInsensitive) != 0)
            raise(QStringLiteral("The workbook has no sheet %1.").arg(Index.toString()));
        return *this;
    }
    std::unique_ptr<ExcelRange> Range(const QVariant& Cell1, const Arg& Cell2) override {
        if (Cell2)
            raise(QStringLiteral("Ranges between two cells are not supported."));
        return std::make_unique<OfficeRange>(sheet, Cell1.toString(), false);
    }
    xlsx::Sheet sheet;
    bool shown = false;
};

class OfficeExcel : public ExcelApplicationObject, public ExcelWorkbooks {
public:
    ExcelWorkbooks& Workbooks() override { return *this; }
    std::unique_ptr<ExcelRange> Range(const QVariant& Cell1, const Arg& Cell2) override {
        if (books_.empty())
            raise(QStringLiteral("No workbook is open."));
        return books_.back()->Range(Cell1, Cell2);
    }
    void setVisible(int, bool vData) override { visible_ = vData; }
    ExcelWorkbook& Add(const Arg& Template, int) override {
        if (Template)
            raise(QStringLiteral("Workbooks from templates are not supported."));
        books_.push_back(std::make_unique<OfficeWorkbook>());
        return *books_.back();
    }
    ExcelWorkbook& Item(const QVariant& Index) override {
        const int i = Index.toInt();
        if (i < 1 || static_cast<size_t>(i) > books_.size())
            raise(QStringLiteral("There is no workbook %1.").arg(Index.toString()));
        return *books_[static_cast<size_t>(i - 1)];
    }
    void Release() override {
        if (!visible_)
            return;
        for (size_t i = 0; i < books_.size(); ++i) {
            OfficeWorkbook& book = *books_[i];
            if (book.shown)
                continue;
            QString path, error;
            if (!output::saveAndOpen(
                    QStringLiteral("Book%1").arg(i + 1), QStringLiteral("xlsx"),
                    [&book](const QString& p, QString* e) { return book.sheet.save(p, e); }, &path,
                    &error))
                raise(error);
            book.shown = true;
        }
    }

private:
    std::vector<std::unique_ptr<OfficeWorkbook>> books_;
    bool visible_ = false;
};

} // namespace

std::unique_ptr<Object> OfficeFactory::create(const QString& progId) {
    if (progId.compare(QLatin1String("Word.Document"), Qt::CaseInsensitive) == 0)
        return std::make_unique<OfficeWordDocumentObject>();
    if (progId.compare(QLatin1String("Word.Application"), Qt::CaseInsensitive) == 0)
        return std::make_unique<OfficeWordApplicationObject>();
    if (progId.compare(QLatin1String("excel.application"), Qt::CaseInsensitive) == 0)
        return std::make_unique<OfficeExcel>();
    return nullptr;
}

} // namespace qv::automation
