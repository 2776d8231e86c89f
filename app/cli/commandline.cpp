#include "app/cli/commandline.h"

#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "platform/services.h"
#include "settings/settingsfile.h"
#include "settings/settingspath.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

using namespace qv::cli;

const char* const kCommands[] = {"search", "list", "export", "merge"};

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
        {QStringLiteral("output"), QStringLiteral("Where the file goes (export, merge)."),
         QStringLiteral("PATH")},
        {QStringLiteral("ignore-missing-fields"),
         QStringLiteral("Merge with the template's missing merge fields left empty (merge).")},
    });
    parser.addPositionalArgument(QStringLiteral("command"),
                                 QStringLiteral("search, list, export or merge."));
}

// An option given to a command that does not take it is a usage error; "" when all fit.
QString misplacedOption(const QCommandLineParser& parser, const QString& command) {
    const QStringList searchOptions = {
        QStringLiteral("address"), QStringLiteral("login"), QStringLiteral("password-file"),
        QStringLiteral("trust-fingerprint"), QStringLiteral("connections")};
    const QStringList exportOptions = {QStringLiteral("width"), QStringLiteral("output")};
    const QStringList mergeOptions = {QStringLiteral("output"),
                                      QStringLiteral("ignore-missing-fields")};
    const QStringList allowed = command == QLatin1String(kCommands[0])   ? searchOptions
                                : command == QLatin1String(kCommands[2]) ? exportOptions
                                : command == QLatin1String(kCommands[3]) ? mergeOptions
                                                                         : QStringList();
    for (const QString& name : parser.optionNames())
        if (!allowed.contains(name) && name != QLatin1String("help") &&
            name != QLatin1String("version"))
            return QStringLiteral("The option --%1 does not apply to %2.").arg(name, command);
    return {};
}

// Qt's own options of the window ("-platform offscreen", "--style=fusion"): those that take a
// value, and those that stand alone.
const QStringList kWindowOptionsWithValue = {QStringLiteral("platform"),
                                             QStringLiteral("platformpluginpath"),
                                             QStringLiteral("platformtheme"),
                                             QStringLiteral("plugin"),
                                             QStringLiteral("qwindowgeometry"),
                                             QStringLiteral("geometry"),
                                             QStringLiteral("qwindowtitle"),
                                             QStringLiteral("title"),
                                             QStringLiteral("qwindowicon"),
                                             QStringLiteral("icon"),
                                             QStringLiteral("display"),
                                             QStringLiteral("style"),
                                             QStringLiteral("stylesheet"),
                                             QStringLiteral("session"),
                                             QStringLiteral("name"),
                                             QStringLiteral("qmljsdebugger")};
const QStringList kWindowFlags = {QStringLiteral("reverse"), QStringLiteral("widgetcount"),
                                  QStringLiteral("nograb"), QStringLiteral("dograb"),
                                  QStringLiteral("sync")};

// True when every argument is one of Qt's options of the window (with its value).
bool onlyWindowOptions(int argc, char* argv[]) {
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (!argument.startsWith(QLatin1Char('-')))
            return false;
        QString name = argument.mid(argument.startsWith(QLatin1String("--")) ? 2 : 1);
        const bool valueGiven = name.contains(QLatin1Char('='));
        name = name.section(QLatin1Char('='), 0, 0);
        if (kWindowOptionsWithValue.contains(name)) {
            if (!valueGiven && ++i >= argc)
                return false;
        } else if (!kWindowFlags.contains(name) || valueGiven) {
            return false;
        }
    }
    return true;
}

QString usageText() {
    return QStringLiteral("Usage: quorvane search [--address A] [--login L] [--password-file F]\n"
                          "                       [--trust-fingerprint SHA256] [--connections N]\n"
                          "       quorvane list\n"
                          "       quorvane export html|xlsx|odt NAME [--width N] [--output PATH]\n"
                          "       quorvane merge NAME [--output PATH] [--ignore-missing-fields]\n"
                          "       quorvane --help | --version");
}

// A usage error that concerns the whole command line: the message and the usage text.
int usageError(const QString& message) {
    return fail(kUsage, message + QLatin1Char('\n') + usageText());
}

} // namespace

bool isCommandLine(int argc, char* argv[]) {
    // No arguments, or only Qt's options of the window, open the window; any other argument is
    // the command line's (a command, --help, --version, or a usage error).
    return argc >= 2 && !onlyWindowOptions(argc, argv);
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
        return usageError(parser.errorText());
    if (parser.isSet(QStringLiteral("help")))
        parser.showHelp(kSuccess);
    if (parser.isSet(QStringLiteral("version")))
        parser.showVersion();

    if (argv[1][0] == '-')
        return usageError(QStringLiteral("The command comes first, its options after it: "
                                         "quorvane search|list|export|merge ... [options]. Try "
                                         "\"quorvane --help\"."));
    const QStringList arguments = parser.positionalArguments();
    const QString command = arguments.value(0);
    if (const QString misplaced = misplacedOption(parser, command);
        !misplaced.isEmpty() && !command.isEmpty())
        return fail(kUsage, misplaced);
    if (command == QLatin1String(kCommands[0])) {
        if (arguments.size() > 1)
            return fail(kUsage, QStringLiteral("search takes no arguments, only options."));
        // A file far larger than settings take is refused before anything is sent.
        if (const QString tooLarge = qv::settingsfile::sizeProblem(qv::settingsPath());
            !tooLarge.isEmpty())
            return fail(kLocalWrite, tooLarge);
        return runSearch(parser);
    }
    if (command == QLatin1String(kCommands[1]))
        return runList(arguments.mid(1));
    if (command == QLatin1String(kCommands[2]))
        return runExport(parser, arguments.mid(1));
    if (command == QLatin1String(kCommands[3]))
        return runMerge(parser, arguments.mid(1));
    return usageError(
        QStringLiteral("Unknown command \"%1\". Try \"quorvane --help\".").arg(command));
}
