#pragma once

#include <QString>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

// The automation surface through which the Word and Excel commands work: the members and
// arguments those commands call, nothing more. Objects are created by program identifier
// through one factory, which tests replace by a recording one.
//
// Calls that fail throw qv::automation::Error; the commands catch it and tell the operator.
namespace qv::automation {

// An argument that may be omitted, as in a late-bound call; std::nullopt means "omitted".
using Arg = std::optional<QVariant>;
inline const Arg Omitted = std::nullopt;

struct Error {
    QString message;
    bool localWrite = false; // a file could not be written here (a full disk, no permission)
};

// The locale identifier passed with the Excel calls that take one (English - United States).
inline constexpr int kLocaleEnglishUS = 1033;

// Every object created by program identifier. Release() ends the program's use of it: a visible
// application then keeps its documents for the operator (the real backend saves and opens them).
class Object {
public:
    virtual ~Object() = default;
    virtual void Release() = 0;
};

// --- Word -------------------------------------------------------------------------------------

class WordApplication;

class WordMailMerge {
public:
    virtual ~WordMailMerge() = default;
    virtual void OpenDataSource(const QString& Name, const Arg& Format,
                                const Arg& ConfirmConversions, const Arg& ReadOnly,
                                const Arg& LinkToSource, const Arg& AddToRecentFiles,
                                const Arg& PasswordDocument, const Arg& PasswordTemplate,
                                const Arg& Revert, const Arg& WritePasswordDocument,
                                const Arg& WritePasswordTemplate, const Arg& Connection,
                                const Arg& SQLStatement, const Arg& SQLStatement1,
                                const Arg& OpenExclusive, const Arg& SubType) = 0;
    virtual void Execute(const Arg& Pause) = 0;
};

class WordDocument {
public:
    virtual ~WordDocument() = default;
    virtual WordMailMerge& MailMerge() = 0;
    virtual WordApplication& Application() = 0;
};

class WordAddIns {
public:
    virtual ~WordAddIns() = default;
    virtual void Add(const QString& FileName, const Arg& Install) = 0;
};

class WordTemplate {
public:
    virtual ~WordTemplate() = default;
    virtual QString FullName() = 0;
};

class WordTemplates {
public:
    virtual ~WordTemplates() = default;
    virtual WordTemplate& Item(const QVariant& Index) = 0;
};

class WordDocuments {
public:
    virtual ~WordDocuments() = default;
    virtual WordDocument& Add(const Arg& Template, const Arg& NewTemplate, const Arg& DocumentType,
                              const Arg& Visible) = 0;
};

class WordApplication {
public:
    virtual ~WordApplication() = default;
    virtual WordAddIns& AddIns() = 0;
    virtual WordTemplates& Templates() = 0;
    virtual WordDocuments& Documents() = 0;
    virtual WordDocument& ActiveDocument() = 0;
    virtual void setVisible(bool vData) = 0;
};

// "Word.Document": a new document (its Application is the Word instance serving it).
class WordDocumentObject : public Object, public WordDocument {};
// "Word.Application": a new Word instance.
class WordApplicationObject : public Object, public WordApplication {};

// --- Excel ------------------------------------------------------------------------------------

class ExcelRange {
public:
    virtual ~ExcelRange() = default;
    virtual void setValue(const QVariant& vData) = 0;
    virtual std::unique_ptr<ExcelRange> Columns() = 0;
    virtual void AutoFit() = 0;
};

class ExcelWorksheet {
public:
    virtual ~ExcelWorksheet() = default;
    virtual std::unique_ptr<ExcelRange> Range(const QVariant& Cell1, const Arg& Cell2) = 0;
};

class ExcelSheets {
public:
    virtual ~ExcelSheets() = default;
    virtual ExcelWorksheet& Item(const QVariant& Index) = 0;
};

class ExcelWorkbook {
public:
    virtual ~ExcelWorkbook() = default;
    virtual ExcelSheets& Sheets() = 0;
};

class ExcelWorkbooks {
public:
    virtual ~ExcelWorkbooks() = default;
    virtual ExcelWorkbook& Add(const Arg& Template, int lcid) = 0;
    virtual ExcelWorkbook& Item(const QVariant& Index) = 0;
};

// "excel.application": a new Excel instance.
class ExcelApplicationObject : public Object {
public:
    virtual ExcelWorkbooks& Workbooks() = 0;
    // The active sheet's range.
    virtual std::unique_ptr<ExcelRange> Range(const QVariant& Cell1, const Arg& Cell2) = 0;
    virtual void setVisible(int lcid, bool vData) = 0;
};

// --- Creation by program identifier -------------------------------------------------------------

class Factory {
public:
    virtual ~Factory() = default;
    // A new object for the program identifier (compared without regard to case), or nullptr
    // when no class is registered under it.
    virtual std::unique_ptr<Object> create(const QString& progId) = 0;
};

// The installed services' factory, or the one that writes Office Open XML files.
Factory& factory();

// Creates the object and checks it offers the expected interface; throws Error otherwise.
template <class T> std::unique_ptr<T> CreateObject(const QString& progId) {
    std::unique_ptr<Object> object = factory().create(progId);
    if (!object)
        throw Error{QStringLiteral("No program is registered to serve \"%1\".").arg(progId)};
    auto* typed = dynamic_cast<T*>(object.get());
    if (!typed)
        throw Error{QStringLiteral("\"%1\" does not offer the expected interface.").arg(progId)};
    object.release();
    return std::unique_ptr<T>(typed);
}

// Runs automation steps; the message of their failure (an Error, or any other exception), ""
// when they worked.
QString failureOf(const std::function<void()>& steps, bool* localWrite = nullptr);

} // namespace qv::automation
