#include "app/cli/optiontable.h"

#include <QCommandLineParser>

namespace qv::cli {

namespace {

QString optionText(const OptionEntry& option) {
    QString text = QStringLiteral("--") + QLatin1String(option.name);
    if (option.valueName)
        text += QLatin1Char(' ') + QLatin1String(option.valueName);
    return text;
}

// "search, export" for an option's commands.
QString commandNames(unsigned commands) {
    QStringList names;
    for (const CommandEntry& command : kCommandTable)
        if (commands & command.bit)
            names << QLatin1String(command.name);
    return names.join(QStringLiteral(", "));
}

QString indented(const char* lines, int indent) {
    const QString pad(indent, QLatin1Char(' '));
    return pad + QString::fromUtf8(lines).replace(QLatin1Char('\n'), QLatin1Char('\n') + pad);
}

// The help's lines of commands end by this column.
constexpr int kHelpWidth = 86;

QString exitStatuses() {
    return QStringLiteral(
        "Exit status: 0 success, 1 export or merge failed (also: no template), 2 usage\n"
        "(command, option, value, output or merge file name), 3 connection or login failed,\n"
        "4 a file or the settings could not be written (or the settings file is over 64 KB),\n"
        "5 the server's certificate or host key is not trusted, changed or revoked,\n"
        "130/143 interrupted.");
}

} // namespace

const CommandEntry* findCommand(const QString& name) {
    for (const CommandEntry& command : kCommandTable)
        if (name == QLatin1String(command.name))
            return &command;
    return nullptr;
}

QStringList optionsOf(const CommandEntry& command) {
    QStringList names;
    for (const OptionEntry& option : kOptionTable)
        if (option.commands & command.bit)
            names << QLatin1String(option.name);
    return names;
}

QString commandSynopsis(const CommandEntry& command, int column, int width) {
    QString text = QLatin1String(command.name);
    if (*command.arguments)
        text += QLatin1Char(' ') + QLatin1String(command.arguments);
    const QString indent(column + int(qstrlen(command.name)) + 1, QLatin1Char(' '));
    qsizetype lineStart = -column; // columns of the first line before the synopsis
    for (const OptionEntry& option : kOptionTable) {
        if (!(option.commands & command.bit))
            continue;
        const QString piece = QLatin1Char('[') + optionText(option) + QLatin1Char(']');
        if (text.size() - lineStart + 1 + piece.size() > width) {
            text += QLatin1Char('\n');
            lineStart = text.size();
            text += indent;
        } else {
            text += QLatin1Char(' ');
        }
        text += piece;
    }
    return text;
}

QString commandUsage(const CommandEntry& command) {
    return QStringLiteral("Usage: quorvane ") + commandSynopsis(command);
}

QString usageText() {
    const QString lead = QStringLiteral("Usage: ");
    const QString program = QStringLiteral("quorvane ");
    const QString pad(lead.size(), QLatin1Char(' '));
    constexpr int kWidth = 80;
    QString text;
    for (const CommandEntry& command : kCommandTable)
        text += (text.isEmpty() ? lead : pad) + program +
                commandSynopsis(command, int(lead.size() + program.size()), kWidth) +
                QLatin1Char('\n');
    return text + pad + program + QStringLiteral("--help | --version");
}

void addOptions(QCommandLineParser& parser) {
    QString description = QStringLiteral("Fetches merge files from the server and exports them, "
                                         "without a window.\nWithout arguments the window opens; "
                                         "the command comes first, its options after it.\n\n"
                                         "Commands:\n");
    for (const CommandEntry& command : kCommandTable)
        description += QStringLiteral("  ") + commandSynopsis(command, 2, kHelpWidth) +
                       QLatin1Char('\n') + indented(command.description, 6) + QLatin1Char('\n');
    parser.setApplicationDescription(description + QLatin1Char('\n') + exitStatuses());
    parser.addHelpOption();
    parser.addVersionOption();
    for (const OptionEntry& option : kOptionTable) {
        const QString help = QString::fromUtf8(option.help).chopped(1) + QStringLiteral(" (") +
                             commandNames(option.commands) + QStringLiteral(").");
        if (option.valueName)
            parser.addOption({QLatin1String(option.name), help, QLatin1String(option.valueName)});
        else
            parser.addOption({QLatin1String(option.name), help});
    }
    QStringList commands;
    for (const CommandEntry& command : kCommandTable)
        commands << QLatin1String(command.name);
    parser.addPositionalArgument(QStringLiteral("command"),
                                 commands.join(QStringLiteral(", ")) + QLatin1Char('.'));
}

} // namespace qv::cli
