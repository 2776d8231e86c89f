#include "app/cli/commandline.h"

#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "platform/services.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>
#include <QTextStream>
#include <cstring>

namespace {

using namespace qv::cli;

const char* const kCommands[] = {"search", "list", "export", "merge", "print"};
const QStringList kCommandOptions = {
    QStringLiteral("address"), QStringLiteral("login"), QStringLiteral("password-file"),
    QStringLiteral("trust-fingerprint"), QStringLiteral("width"), QStringLiteral("output"),
    QStringLiteral("password"), QStringLiteral("ignore-missing-fields"),
    // Letters (merge --to/--each, print).
    QStringLiteral("to"), QStringLiteral("each"), QStringLiteral("printer"),
    QStringLiteral("records")};

// Letters: the options of "merge --to/--each" and of "print", their help and which command takes
// which; kept together for the table of options.
const QList<QCommandLineOption> kLetterOptions = {
    {QStringLiteral("to"), QStringLiteral("docx or pdf: what the letters become (merge)."),
     QStringLiteral("docx|pdf")},
    {QStringLiteral("each"),
     QStringLiteral("One file a letter, named by this pattern of merge fields, such as "
                    "\"{Account} {Last}\" (merge)."),
     QStringLiteral("PATTERN")},
    {QStringLiteral("printer"),
     QStringLiteral("The printer; the default one unless given (print)."), QStringLiteral("P")},
    {QStringLiteral("records"),
     QStringLiteral("Only the letters of these records, such as 1-50 (print)."),
     QStringLiteral("N-M")},
};
const QStringList kLetterMergeOptions = {QStringLiteral("to"), QStringLiteral("each")};
const QStringList kPrintOptions = {QStringLiteral("printer"), QStringLiteral("records")};
const QString kLetterHelp = QStringLiteral(
    "  merge NAME --to docx|pdf [--each PATTERN] [--output FILE|FOLDER]\n"
    "      The letters as one PDF (--to pdf; --output FILE), or one file a letter (--each,\n"
    "      a Word document or a PDF each, named by the pattern of merge fields, in the\n"
    "      document folder or --output FOLDER; names taken get \" (2)\"). Prints each path.\n"
    "      PDF needs LibreOffice Writer, which lays out the letters once.\n"
    "  print NAME [--printer P] [--records 1-50]\n"
    "      Prints the letters (all, or those of the records given) as one job on the\n"
    "      default printer or P, and prints the job's printer-number.\n");

const QString kDescription = QStringLiteral(
    "Fetches merge files from the server and exports them, without a window.\n"
    "Without arguments the window opens.\n"
    "\n"
    "Commands:\n"
    "  search [--address A] [--login L] [--password-file F] [--trust-fingerprint SHA256]\n"
    "         [--connections N]\n"
    "      Downloads every merge file of the server folder into the data folder, as the\n"
    "      Search button does, and saves the connection settings in auto.ini.\n"
    "      The files come over up to N connections at once (1 to 16, 4 unless given;\n"
    "      fewer when the server refuses more).\n"
    "      Options not given come from auto.ini. The password comes from --password-file\n"
    "      (readable by its owner only), else from the environment variable\n"
    "      QUORVANE_PASSWORD, else from auto.ini; it is never an argument.\n"
    "  list\n"
    "      The merge files in the data folder: name, record count and \"template\" or\n"
    "      \"no template\", tab-separated, one a line.\n"
    "  export html|xlsx|odt NAME [--width N] [--output PATH]\n"
    "      Makes the HTML page, the workbook or the new document with its data source for\n"
    "      merge file NAME, as the window does, and prints its path; nothing is opened.\n"
    "  merge NAME [--output PATH] [--ignore-missing-fields]\n"
    "      Complete Merge: merges every record of merge file NAME into its template\n"
    "      Word/NAME.dot and prints the merged document's path; nothing is opened. Prompts\n"
    "      (ASK, FILLIN) take their default answer. A template with merge fields the merge\n"
    "      file lacks, or with field codes that cannot be read, is not merged; with\n"
    "      --ignore-missing-fields the missing merge fields are left empty.\n"
    "\n"
    "Exit status: 0 success, 1 export or merge failed, 2 usage (command, option, value or merge "
    "file\n"
    "name), 3 connection or login failed, 4 a file or the settings could not be written,\n"
    "5 the server's certificate or host key is not trusted or changed, 130/143 interrupted.");

void addOptions(QCommandLineParser& parser) {
    QString description = kDescription;
    description.insert(description.indexOf(QStringLiteral("\nExit status")), kLetterHelp);
    parser.setApplicationDescription(description);
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOptions({
        {QStringLiteral("address"), QStringLiteral("Server address (search)."),
         QStringLiteral("A")},
        {QStringLiteral("login"), QStringLiteral("Login name (search)."), QStringLiteral("L")},
        {QStringLiteral("password-file"),
         QStringLiteral("File holding the password in its first line (search)."),
         QStringLiteral("F")},
        {QStringLiteral("trust-fingerprint"),
         QStringLiteral("Trust the server whose certificate or host key has this fingerprint "
                        "(search)."),
         QStringLiteral("SHA256")},
        {QStringLiteral("connections"),
         QStringLiteral("Connections at once, 1 to 16; 4 unless given (search)."),
         QStringLiteral("N")},
        {QStringLiteral("width"), QStringLiteral("Table width percentage (export html)."),
         QStringLiteral("N")},
        {QStringLiteral("output"), QStringLiteral("Where the file goes (export, merge)."),
         QStringLiteral("PATH")},
        {QStringLiteral("ignore-missing-fields"),
         QStringLiteral("Merge with the template's missing merge fields left empty (merge).")},
    });
    parser.addOptions(kLetterOptions);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("search, list, export, merge or print."));
}

// An option given to a command that does not take it is a usage error; "" when all fit.
QString misplacedOption(const QCommandLineParser& parser, const QString& command) {
    const QStringList searchOptions = {
        QStringLiteral("address"), QStringLiteral("login"), QStringLiteral("password-file"),
        QStringLiteral("trust-fingerprint"), QStringLiteral("connections")};
    const QStringList exportOptions = {QStringLiteral("width"), QStringLiteral("output")};
    const QStringList mergeOptions =
        QStringList{QStringLiteral("output"), QStringLiteral("ignore-missing-fields")} +
        kLetterMergeOptions;
    const QStringList allowed = command == QLatin1String(kCommands[0])   ? searchOptions
                                : command == QLatin1String(kCommands[2]) ? exportOptions
                                : command == QLatin1String(kCommands[3]) ? mergeOptions
                                : command == QLatin1String(kCommands[4]) ? kPrintOptions
                                                                         : QStringList();
    for (const QString& name : parser.optionNames())
        if (!allowed.contains(name) && name != QLatin1String("help") &&
            name != QLatin1String("version"))
            return QStringLiteral("The option --%1 does not apply to %2.").arg(name, command);
    return {};
}

// "--login", "--login=u", "-login": an option of the commands, not of the window.
bool isCommandOption(const char* argument) {
    const QString text = QString::fromLocal8Bit(argument);
    static const QRegularExpression form(QStringLiteral("^--?([a-z-]+)(=.*)?$"));
    const QRegularExpressionMatch match = form.match(text);
    return match.hasMatch() && kCommandOptions.contains(match.captured(1));
}

} // namespace

bool isCommandLine(int argc, char* argv[]) {
    if (argc < 2)
        return false;
    const char* first = argv[1];
    for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
        if (std::strcmp(first, option) == 0)
            return true;
    // An option of the commands before the command is a usage error, never a window.
    if (isCommandOption(first))
        return true;
    // Qt's own options of the window start with "-"; a word is a command (or a wrong one).
    return first[0] != '-';
}

int runCommandLine(int argc, char* argv[]) {
    cleanUpOnInterruption();
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvane"));
    QCoreApplication::setApplicationVersion(QStringLiteral("%1.%2.%3")
                                                .arg(QV_VERSION_MAJOR)
                                                .arg(QV_VERSION_MINOR)
                                                .arg(QV_VERSION_PATCH));
    qv::installServices(qv::Services{});

    QCommandLineParser parser;
    addOptions(parser);
    if (!parser.parse(QCoreApplication::arguments()))
        return fail(kUsage, parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(kSuccess);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    if (isCommandOption(argv[1]))
        return fail(kUsage, QStringLiteral("The command comes first, its options after it: "
                                           "quorvane search|list|export ... [options]. Try "
                                           "\"quorvane --help\"."));
    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    if (const QString misplaced = misplacedOption(parser, command);
        !misplaced.isEmpty() && !command.isEmpty())
        return fail(kUsage, misplaced);
    if (command == QLatin1String(kCommands[0])) {
        if (arguments.size() > 1)
            return fail(kUsage, QStringLiteral("search takes no arguments, only options."));
        return runSearch(parser);
    }
    if (command == QLatin1String(kCommands[1]))
        return runList(arguments.mid(1));
    if (command == QLatin1String(kCommands[2]))
        return runExport(parser, arguments.mid(1));
    if (command == QLatin1String(kCommands[3]))
        return runMerge(parser, arguments.mid(1));
    if (command == QLatin1String(kCommands[4])) // letters
        return runPrint(parser, arguments.mid(1));
    return fail(kUsage,
                QStringLiteral("Unknown command \"%1\". Try \"quorvane --help\".").arg(command));
}
