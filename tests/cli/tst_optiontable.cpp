// The command line's one table of commands and options is what the operator reads everywhere:
// --help and the usage errors of the real executable, and the shipped manual page, name exactly
// the table's options, each with the commands that take it.
#include "app/cli/optiontable.h"
#include "tests/cli/commandlinerun.h"
#include "tests/support/tempprogramfolder.h"

#include <QRegularExpression>
#include <QSet>
#include <QtTest>

namespace {

using qv::cli::kCommandTable;
using qv::cli::kOptionTable;

QSet<QString> tableOptions(unsigned commands) {
    QSet<QString> names;
    for (const qv::cli::OptionEntry& option : kOptionTable)
        if (option.commands & commands)
            names << QLatin1String(option.name);
    return names;
}

// The "--name" options a piece of the manual page spells ("\-\-password\-file").
QSet<QString> spelledOptions(const QString& roff) {
    QSet<QString> names;
    const QString plain = QString(roff).replace(QStringLiteral("\\-"), QStringLiteral("-"));
    static const QRegularExpression option(QStringLiteral("--([a-z][a-z-]*)"));
    for (const QRegularExpressionMatch& m : option.globalMatch(plain))
        names << m.captured(1);
    return names;
}

// The lines of the manual page from the line starting with `from` to the next starting with
// one of `to`.
QString section(const QStringList& lines, const QString& from, const QStringList& to) {
    QString text;
    bool in = false;
    for (const QString& line : lines) {
        if (in &&
            std::any_of(to.begin(), to.end(), [&](const QString& t) { return line.startsWith(t); }))
            break;
        if (line.startsWith(from))
            in = true;
        if (in)
            text += line + QLatin1Char('\n');
    }
    return text;
}

QStringList manualPage() {
    QFile page(qv::test::sourcePath(QStringLiteral("packaging/quorvane.1")));
    return page.open(QIODevice::ReadOnly) ? QString::fromUtf8(page.readAll()).split(u'\n')
                                          : QStringList();
}

} // namespace

class OptionTableTest : public QObject {
    Q_OBJECT
private slots:
    void manualPageSynopsis_data();
    void manualPageSynopsis();
    void manualPageOptions();
    void helpAndUsage();
    void optionOfAnotherCommand();
};

void OptionTableTest::manualPageSynopsis_data() {
    QTest::addColumn<QString>("command");
    QTest::addColumn<unsigned>("bit");
    for (const qv::cli::CommandEntry& command : kCommandTable)
        QTest::newRow(command.name) << QString::fromLatin1(command.name) << command.bit;
}

// The synopsis of each command in the manual page lists exactly the options the table gives it.
void OptionTableTest::manualPageSynopsis() {
    QFETCH(QString, command);
    QFETCH(unsigned, bit);
    const QStringList lines = manualPage();
    QVERIFY(!lines.isEmpty());
    const QString synopsis = section(lines, QStringLiteral(".SH SYNOPSIS"), {".SH "});
    const QString block = section(synopsis.split(u'\n'), ".B quorvane " + command, {".br"});
    QVERIFY2(!block.isEmpty(), qPrintable(command));
    QCOMPARE(spelledOptions(block), tableOptions(bit));
}

// The manual page's OPTIONS section describes exactly the table's options, --help and --version.
void OptionTableTest::manualPageOptions() {
    const QStringList options =
        section(manualPage(), QStringLiteral(".SH OPTIONS"), {".SH "}).split(u'\n');
    QSet<QString> described;
    for (qsizetype i = 1; i < options.size(); ++i)
        if (options[i - 1] == QLatin1String(".TP"))
            described += spelledOptions(options[i]);
    QSet<QString> expected = tableOptions(~0u);
    expected << QStringLiteral("help") << QStringLiteral("version");
    QCOMPARE(described, expected);
}

// --help names every command's synopsis and every option with its value; a usage error of the
// whole command line shows every command's synopsis, a command's own usage error its own.
void OptionTableTest::helpAndUsage() {
    qv::test::CommandLine cli;
    const qv::test::Run help = cli.run({"--help"});
    QCOMPARE(help.status, 0);
    const qv::test::Run usage = cli.run({"--width", "80", "export"});
    QCOMPARE(usage.status, 2);
    for (const qv::cli::CommandEntry& command : kCommandTable) {
        const QString synopsis =
            qv::cli::commandSynopsis(command).simplified(); // wrapped differently
        QVERIFY2(QString::fromUtf8(help.out).simplified().contains(synopsis), qPrintable(synopsis));
        QVERIFY2(QString::fromUtf8(usage.err).simplified().contains(synopsis),
                 qPrintable(synopsis));
    }
    for (const qv::cli::OptionEntry& option : kOptionTable) {
        const QString shown =
            QStringLiteral("--") + QLatin1String(option.name) +
            (option.valueName ? QStringLiteral(" <%1>").arg(QLatin1String(option.valueName))
                              : QString());
        QVERIFY2(help.out.contains(shown.toUtf8()), qPrintable(shown));
    }
    const qv::test::Run merge = cli.run({"merge"});
    QCOMPARE(merge.status, 2);
    QCOMPARE(merge.err.trimmed(),
             "Usage: quorvane " +
                 qv::cli::commandSynopsis(*qv::cli::findCommand(QStringLiteral("merge"))).toUtf8());
}

// Every option the table does not give a command is refused by that command.
void OptionTableTest::optionOfAnotherCommand() {
    qv::test::CommandLine cli;
    for (const qv::cli::CommandEntry& command : kCommandTable)
        for (const qv::cli::OptionEntry& option : kOptionTable) {
            if (option.commands & command.bit)
                continue;
            QStringList arguments{QString::fromLatin1(command.name),
                                  QStringLiteral("--") + QLatin1String(option.name)};
            if (option.valueName)
                arguments << QStringLiteral("1");
            const qv::test::Run run = cli.run(arguments);
            QCOMPARE(run.status, 2);
            QVERIFY2(
                run.err.contains(QStringLiteral("--%1 does not apply to %2")
                                     .arg(QLatin1String(option.name), QLatin1String(command.name))
                                     .toUtf8()),
                run.err);
        }
}

QTEST_GUILESS_MAIN(OptionTableTest)
#include "tst_optiontable.moc"
