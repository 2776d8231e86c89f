#include "app/cli/commandline.h"

#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "platform/services.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>
#include <cstring>

namespace {

using namespace qv::cli;

const char* const kCommands[] = {"search", "list", "export"};

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
    "\n"
    "Exit status: 0 success, 1 export failed, 2 usage (command, option, value or merge file\n"
    "name), 3 connection or login failed, 4 a file or the settings could not be written,\n"
    "5 the server's certificate or host key is not trusted.");

void addOptions(QCommandLineParser& parser) {
    parser.setApplicationDescription(kDescription);
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
        {QStringLiteral("output"), QStringLiteral("Where the file goes (export)."),
         QStringLiteral("PATH")},
    });
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("search, list or export."));
}

// An option given to a command that does not take it is a usage error; "" when all fit.
QString misplacedOption(const QCommandLineParser& parser, const QString& command) {
    const QStringList searchOptions = {
        QStringLiteral("address"), QStringLiteral("login"), QStringLiteral("password-file"),
        QStringLiteral("trust-fingerprint"), QStringLiteral("connections")};
    const QStringList exportOptions = {QStringLiteral("width"), QStringLiteral("output")};
    const QStringList allowed = command == QLatin1String(kCommands[0])   ? searchOptions
                                : command == QLatin1String(kCommands[2]) ? exportOptions
                                                                         : QStringList();
    for (const QString& name : parser.optionNames())
        if (!allowed.contains(name) && name != QLatin1String("help") &&
            name != QLatin1String("version"))
            return QStringLiteral("The option --%1 does not apply to %2.").arg(name, command);
    return {};
}

} // namespace

bool isCommandLine(int argc, char* argv[]) {
    if (argc < 2)
        return false;
    const char* first = argv[1];
    for (const char* option : {"-h", "--help", "-?", "--help-all", "-v", "--version"})
        if (std::strcmp(first, option) == 0)
            return true;
    // Qt's own options of the window start with "-"; a word is a command (or a wrong one).
    return first[0] != '-';
}

int runCommandLine(int argc, char* argv[]) {
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
    return fail(kUsage,
                QStringLiteral("Unknown command \"%1\". Try \"quorvane --help\".").arg(command));
}
