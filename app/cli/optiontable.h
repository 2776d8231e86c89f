#pragma once

#include <QString>
#include <QStringList>

class QCommandLineParser;

// The command line's one table of commands and options. Parsing, the help text, the usage
// errors and the check of the manual page all come from it, so an option is added in one place.
namespace qv::cli {

// The commands, as bits of the set of commands an option applies to.
enum CommandBit : unsigned {
    kSearchCommand = 1,
    kListCommand = 2,
    kExportCommand = 4,
    kMergeCommand = 8,
    kPrintCommand = 16
};

struct CommandEntry {
    const char* name;        // "export"
    const char* arguments;   // what follows the name, before the options: "html|xlsx|odt NAME"
    unsigned bit;            // its CommandBit
    const char* description; // what --help says of it, lines without their indentation
};

struct OptionEntry {
    const char* name;      // "address", given as "--address"
    const char* valueName; // "A"; nullptr for an option without a value
    unsigned commands;     // the CommandBits of the commands that take it
    const char* help;      // what --help says of it
};

inline constexpr CommandEntry kCommandTable[] = {
    {"search", "", kSearchCommand,
     "Downloads every merge file of the server folder into the data folder, as the\n"
     "Search button does, and saves the connection settings in auto.ini.\n"
     "The files come over up to N connections at once (1 to 16, 4 unless given;\n"
     "fewer when the server refuses more).\n"
     "Options not given come from auto.ini. The password comes from --password-file\n"
     "(readable by its owner only), else from the environment variable\n"
     "QUORVANE_PASSWORD, else from the desktop keyring when auto.ini says so, else\n"
     "from auto.ini; it is never an argument."},
    {"list", "", kListCommand,
     "The merge files in the data folder: name, record count and \"template\" or\n"
     "\"no template\", tab-separated, one a line."},
    {"export", "html|xlsx|odt NAME", kExportCommand,
     "Makes the HTML page, the workbook or the new document with its data source for\n"
     "merge file NAME, as the window does, and prints its path; nothing is opened.\n"
     "A folder as --output takes the file under its usual name."},
    {"merge", "NAME", kMergeCommand,
     "Complete Merge: merges every record of merge file NAME into its template\n"
     "Word/NAME.dot and prints the merged document's path; nothing is opened. Prompts\n"
     "(ASK, FILLIN) take their default answer. A template with merge fields the merge\n"
     "file lacks, or with field codes that cannot be read, is not merged; with\n"
     "--ignore-missing-fields the missing merge fields are left empty.\n"
     "With --to pdf the letters become one PDF (--output FILE); with --each, one file a\n"
     "letter (a Word document or a PDF each, named by the pattern of merge fields, in\n"
     "the document folder or --output FOLDER; names taken get \" (2)\"). Prints each\n"
     "path. PDF needs LibreOffice Writer, which lays out the letters once."},
    {"print", "NAME", kPrintCommand,
     "Prints the letters of merge file NAME (all, or those of the records given) as one\n"
     "job on the default printer or P, and prints the job's printer-number."},
};

inline constexpr OptionEntry kOptionTable[] = {
    {"address", "A", kSearchCommand, "Server address."},
    {"login", "L", kSearchCommand, "Login name."},
    {"password-file", "F", kSearchCommand, "File holding the password in its first line."},
    {"trust-fingerprint", "SHA256", kSearchCommand,
     "Trust the server whose certificate or host key has this fingerprint."},
    {"connections", "N", kSearchCommand, "Connections at once, 1 to 16; 4 unless given."},
    {"width", "N", kExportCommand, "Table width percentage, html only."},
    {"output", "PATH", kExportCommand | kMergeCommand,
     "Where the file goes: a file, or a folder that takes it under its usual name."},
    {"ignore-missing-fields", nullptr, kMergeCommand,
     "Merge with the template's missing merge fields left empty."},
    {"to", "docx|pdf", kMergeCommand, "What the letters become: Word documents or PDF."},
    {"each", "PATTERN", kMergeCommand,
     "One file a letter, named by this pattern of merge fields, such as \"{Account} {Last}\"."},
    {"printer", "P", kPrintCommand, "The printer; the default one unless given."},
    {"records", "N-M", kPrintCommand, "Only the letters of these records, such as 1-50."},
};

// The command of that name; nullptr for none.
const CommandEntry* findCommand(const QString& name);

// "export html|xlsx|odt NAME [--width N] [--output PATH]". Written from column `column` on, it
// is wrapped before an option that would reach past column `width`, the continuation lines
// indented to the column after the command's name.
QString commandSynopsis(const CommandEntry& command, int column = 0, int width = 100000);

// "Usage: quorvane <synopsis>" of one command: its usage error.
QString commandUsage(const CommandEntry& command);

// The usage of every command, --help and --version: the usage error of a wrong command line.
QString usageText();

// The options of the table (and --help, --version) given to the parser, with the help text.
void addOptions(QCommandLineParser& parser);

// The names of the options that the command takes.
QStringList optionsOf(const CommandEntry& command);

} // namespace qv::cli
