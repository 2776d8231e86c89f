#include "app/cli/commandline.h"

#include "app/cli/commands.h"
#include "app/cli/exitstatus.h"
#include "app/cli/optiontable.h"
#include "platform/services.h"
#include "settings/settingsfile.h"
#include "settings/settingspath.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

namespace {

using namespace qv::cli;

// An option given to a command that does not take it is a usage error; "" when all fit.
QString misplacedOption(const QCommandLineParser& parser, const CommandEntry& command) {
    const QStringList allowed = optionsOf(command);
    for (const QString& name : parser.optionNames())
        if (!allowed.contains(name) && name != QLatin1String("help") &&
            name != QLatin1String("version"))
            return QStringLiteral("The option --%1 does not apply to %2.")
                .arg(name, QLatin1String(command.name));
    return {};
}

// "search|list|export|merge"
QString commandNames() {
    QStringList names;
    for (const CommandEntry& command : kCommandTable)
        names << QLatin1String(command.name);
    return names.join(QLatin1Char('|'));
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
                                         "quorvane %1 ... [options]. Try \"quorvane --help\".")
                              .arg(commandNames()));
    const QStringList arguments = parser.positionalArguments();
    const CommandEntry* command = findCommand(arguments.value(0));
    if (!command)
        return usageError(QStringLiteral("Unknown command \"%1\". Try \"quorvane --help\".")
                              .arg(arguments.value(0)));
    if (const QString misplaced = misplacedOption(parser, *command); !misplaced.isEmpty())
        return fail(kUsage, misplaced);
    switch (command->bit) {
    case kSearchCommand:
        if (arguments.size() > 1)
            return fail(kUsage, QStringLiteral("search takes no arguments, only options."));
        // A file far larger than settings take is refused before anything is sent.
        if (const QString tooLarge = qv::settingsfile::sizeProblem(qv::settingsPath());
            !tooLarge.isEmpty())
            return fail(kLocalWrite, tooLarge);
        return runSearch(parser);
    case kListCommand:
        return runList(arguments.mid(1));
    case kExportCommand:
        return runExport(parser, arguments.mid(1));
    case kPrintCommand:
        return runPrint(parser, arguments.mid(1));
    default:
        return runMerge(parser, arguments.mid(1));
    }
}
