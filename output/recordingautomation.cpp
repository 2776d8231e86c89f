#include "output/recordingautomation.h"

namespace qv::automation {

QString describeArg(const Arg& arg) {
    if (!arg)
        return QStringLiteral("<omitted>");
    const QVariant& v = *arg;
    switch (v.typeId()) {
    case QMetaType::Bool:
        return v.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::QString:
        return QLatin1Char('"') + v.toString() + QLatin1Char('"');
    default:
        return v.toString();
    }
}

namespace {

QString args(std::initializer_list<Arg> list) {
    QStringList parts;
    for (const Arg& a : list)
        parts << describeArg(a);
    return parts.join(QStringLiteral(", "));
}

class RecMailMerge : public WordMailMerge {
public:
    RecMailMerge(RecordingFactory& f, QString path) : f_(f), path_(std::move(path)) {}
    void OpenDataSource(const QString& Name, const Arg& Format, const Arg& ConfirmConversions,
                        const Arg& ReadOnly, const Arg& LinkToSource, const Arg& AddToRecentFiles,
                        const Arg& PasswordDocument, const Arg& PasswordTemplate, const Arg& Revert,
                        const Arg& WritePasswordDocument, const Arg& WritePasswordTemplate,
                        const Arg& Connection, const Arg& SQLStatement, const Arg& SQLStatement1,
                        const Arg& OpenExclusive, const Arg& SubType) override {
        f_.record(path_ + QStringLiteral(".OpenDataSource(") +
                  args({Name, Format, ConfirmConversions, ReadOnly, LinkToSource, AddToRecentFiles,
                        PasswordDocument, PasswordTemplate, Revert, WritePasswordDocument,
                        WritePasswordTemplate, Connection, SQLStatement, SQLStatement1,
                        OpenExclusive, SubType}) +
                  QLatin1Char(')'));
    }
    void Execute(const Arg& Pause) override {
        f_.record(path_ + QStringLiteral(".Execute(") + args({Pause}) + QLatin1Char(')'));
    }

private:
    RecordingFactory& f_;
    QString path_;
};

class RecDocument : public WordDocument {
public:
    RecDocument(RecordingFactory& f, QString path, WordApplication& app)
        : mailMerge_(f, path + QStringLiteral(".MailMerge")), app_(app) {}
    WordMailMerge& MailMerge() override { return mailMerge_; }
    WordApplication& Application() override { return app_; }

private:
    RecMailMerge mailMerge_;
    WordApplication& app_;
};

class RecTemplate : public WordTemplate {
public:
    RecTemplate(RecordingFactory& f) : f_(f) {}
    QString FullName() override {
        f_.record(path + QStringLiteral(".FullName"));
        return name;
    }
    QString path, name;

private:
    RecordingFactory& f_;
};

class RecApplication : public WordApplication,
                       public WordAddIns,
                       public WordTemplates,
                       public WordDocuments {
public:
    RecApplication(RecordingFactory& f, QString path)
        : f_(f), path_(std::move(path)), template_(f),
          active_(f, path_ + QStringLiteral(".ActiveDocument"), *this) {}

    WordAddIns& AddIns() override { return *this; }
    WordTemplates& Templates() override { return *this; }
    WordDocuments& Documents() override { return *this; }
    WordDocument& ActiveDocument() override { return active_; }
    void setVisible(bool vData) override {
        f_.record(path_ + QStringLiteral(".Visible = ") + describeArg(vData));
    }
    void Add(const QString& FileName, const Arg& Install) override {
        f_.record(path_ + QStringLiteral(".AddIns.Add(") + args({FileName, Install}) +
                  QLatin1Char(')'));
    }
    WordTemplate& Item(const QVariant& Index) override {
        template_.path =
            path_ + QStringLiteral(".Templates(") + describeArg(Index) + QLatin1Char(')');
        template_.name = Index.toString();
        return template_;
    }
    WordDocument& Add(const Arg& Template, const Arg& NewTemplate, const Arg& DocumentType,
                      const Arg& Visible) override {
        f_.record(path_ + QStringLiteral(".Documents.Add(") +
                  args({Template, NewTemplate, DocumentType, Visible}) + QLatin1Char(')'));
        return active_;
    }

protected:
    RecordingFactory& f_;
    QString path_;

private:
    RecTemplate template_;
    RecDocument active_;
};

class RecWordApplicationObject : public WordApplicationObject {
public:
    RecWordApplicationObject(RecordingFactory& f, const QString& progId)
        : f_(f), progId_(progId), app_(f, progId) {}
    WordAddIns& AddIns() override { return app_.AddIns(); }
    WordTemplates& Templates() override { return app_.Templates(); }
    WordDocuments& Documents() override { return app_.Documents(); }
    WordDocument& ActiveDocument() override { return app_.ActiveDocument(); }
    void setVisible(bool vData) override { app_.setVisible(vData); }
    void Release() override { f_.record(progId_ + QStringLiteral(".Release()")); }

private:
    RecordingFactory& f_;
    QString progId_;
    RecApplication app_;
};

class RecWordDocumentObject : public WordDocumentObject {
public:
    RecWordDocumentObject(RecordingFactory& f, const QString& progId)
        : f_(f), progId_(progId), app_(f, progId + QStringLiteral(".Application")),
          doc_(f, progId, app_) {}
    WordMailMerge& MailMerge() override { return doc_.MailMerge(); }
    WordApplication& Application() override { return app_; }
    void Release() override { f_.record(progId_ + QStringLiteral(".Release()")); }

private:
    RecordingFactory& f_;
    QString progId_;
    RecApplication app_;
    RecDocument doc_;
};

class RecRange : public ExcelRange {
public:
    RecRange(RecordingFactory& f, QString path) : f_(f), path_(std::move(path)) {}
    void setValue(const QVariant& vData) override {
        f_.record(path_ + QStringLiteral(".Value = ") + describeArg(vData));
    }
    std::unique_ptr<ExcelRange> Columns() override {
        return std::make_unique<RecRange>(f_, path_ + QStringLiteral(".Columns"));
    }
    void AutoFit() override { f_.record(path_ + QStringLiteral(".AutoFit()")); }

private:
    RecordingFactory& f_;
    QString path_;
};

QString rangePath(const QString& owner, const QVariant& Cell1, const Arg& Cell2) {
    QString p = owner + QStringLiteral(".Range(") + describeArg(Cell1);
    if (Cell2)
        p += QStringLiteral(", ") + describeArg(Cell2);
    return p + QLatin1Char(')');
}

class RecSheet : public ExcelWorksheet {
public:
    explicit RecSheet(RecordingFactory& f) : f_(f) {}
    std::unique_ptr<ExcelRange> Range(const QVariant& Cell1, const Arg& Cell2) override {
        return std::make_unique<RecRange>(f_, rangePath(path, Cell1, Cell2));
    }
    QString path;

private:
    RecordingFactory& f_;
};

class RecSheets : public ExcelSheets {
public:
    explicit RecSheets(RecordingFactory& f) : sheet_(f) {}
    ExcelWorksheet& Item(const QVariant& Index) override {
        sheet_.path = path + QStringLiteral(".Sheets(") + describeArg(Index) + QLatin1Char(')');
        return sheet_;
    }
    QString path;

private:
    RecSheet sheet_;
};

class RecWorkbook : public ExcelWorkbook {
public:
    explicit RecWorkbook(RecordingFactory& f) : sheets_(f) {}
    ExcelSheets& Sheets() override {
        sheets_.path = path;
        return sheets_;
    }
    QString path;

private:
    RecSheets sheets_;
};

class RecWorkbooks : public ExcelWorkbooks {
public:
    RecWorkbooks(RecordingFactory& f, const QString& owner)
        : f_(f), path_(owner + QStringLiteral(".Workbooks")), book_(f) {}
    ExcelWorkbook& Add(const Arg& Template, int lcid) override {
        f_.record(path_ + QStringLiteral(".Add(") + args({Template, lcid}) + QLatin1Char(')'));
        book_.path = path_ + QStringLiteral("(<added>)");
        return book_;
    }
    ExcelWorkbook& Item(const QVariant& Index) override {
        book_.path = path_ + QLatin1Char('(') + describeArg(Index) + QLatin1Char(')');
        return book_;
    }

private:
    RecordingFactory& f_;
    QString path_;
    RecWorkbook book_;
};

class RecExcel : public ExcelApplicationObject {
public:
    RecExcel(RecordingFactory& f, QString progId)
        : f_(f), progId_(std::move(progId)), books_(f, progId_) {}
    ExcelWorkbooks& Workbooks() override { return books_; }
    std::unique_ptr<ExcelRange> Range(const QVariant& Cell1, const Arg& Cell2) override {
        return std::make_unique<RecRange>(f_, rangePath(progId_, Cell1, Cell2));
    }
    void setVisible(int lcid, bool vData) override {
        f_.record(progId_ + QStringLiteral(".Visible(") + QString::number(lcid) +
                  QStringLiteral(") = ") + describeArg(vData));
    }
    void Release() override { f_.record(progId_ + QStringLiteral(".Release()")); }

private:
    RecordingFactory& f_;
    QString progId_;
    RecWorkbooks books_;
};

} // namespace

void RecordingFactory::record(const QString& line) {
    calls << line;
    if (!failOn.isEmpty() && line.contains(failOn))
        throw Error{QStringLiteral("The call %1 failed.").arg(line)};
}

std::unique_ptr<Object> RecordingFactory::create(const QString& progId) {
    record(QStringLiteral("CreateObject(\"%1\")").arg(progId));
    for (const QString& u : unregistered)
        if (u.compare(progId, Qt::CaseInsensitive) == 0)
            return nullptr;
    if (progId.compare(QLatin1String("Word.Document"), Qt::CaseInsensitive) == 0)
        return std::make_unique<RecWordDocumentObject>(*this, progId);
    if (progId.compare(QLatin1String("Word.Application"), Qt::CaseInsensitive) == 0)
        return std::make_unique<RecWordApplicationObject>(*this, progId);
    if (progId.compare(QLatin1String("excel.application"), Qt::CaseInsensitive) == 0)
        return std::make_unique<RecExcel>(*this, progId);
    return nullptr;
}

} // namespace qv::automation
