// Loading merge files into the record list, beside the bare cost of reading and splitting the
// same file. Prints the ratio of the two and the peak memory of one load against the file size.
//
//   bench_mergefiles [google benchmark options]
//
// Goals: a load takes at most twice the bare parse; its peak memory stays under three times the
// file size.

#include "app/actions/recordviewer.h"
#include "app/form2.h"
#include "mergefiles/mergefile.h"
#include "mergefiles/mergerecordmodel.h"
#include "platform/programfolder.h"
#include "platform/services.h"
#include "tests/support/designcontrol.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <string>

using qv::test::designControl;

namespace {

struct Sample {
    std::string label;
    QString folder;
    QString path;
    int records = 0;
    int fields = 0;
    qint64 bytes = 0;
};

QString writeSample(const QString& folder, const QString& name, int records, int fields) {
    const QString path = folder + "/" + name + ".LET";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    QByteArray line;
    for (int f = 0; f < fields; ++f) {
        if (f)
            line += '|';
        line += "FIELD" + QByteArray::number(f + 1);
    }
    file.write(line + '\n');
    QByteArray block;
    block.reserve(1 << 20);
    for (int r = 0; r < records; ++r) {
        line.clear();
        for (int f = 0; f < fields; ++f) {
            if (f)
                line += '|';
            // Values of varied length, as names, towns and amounts are.
            line += "Val" + QByteArray::number(r) + char('A' + f % 26) +
                    QByteArray(1 + (r + f) % 7, 'x');
        }
        block += line;
        block += '\n';
        if (block.size() > (1 << 20) - 512) {
            file.write(block);
            block.clear();
        }
    }
    file.write(block);
    return path;
}

// Bare parse: read the file through the item reader and split it into lines and values.
qsizetype bareParse(const QString& path) {
    const QByteArray text = readMergeBytes(path, " ");
    qsizetype values = 0;
    const char* p = text.constData();
    const char* end = p + text.size();
    while (p < end) {
        const char* lf = static_cast<const char*>(std::memchr(p, '\n', end - p));
        if (!lf)
            break;
        const char* v = p;
        ++values;
        while (const void* bar = std::memchr(v, '|', lf - v)) {
            v = static_cast<const char*>(bar) + 1;
            ++values;
        }
        p = lf + 1;
    }
    return values;
}

// The same through the text form of the reader and QString splitting, for comparison.
qsizetype bareParseText(const QString& path) {
    const QString text = readMergeText(path, " ");
    qsizetype values = 0;
    for (const auto line : QStringView(text).split(u'\n'))
        values += line.split(u'|').size();
    return values;
}

// A main window whose record list gets the files, loaded as a selection or an export does.
void loadIntoRecordList(Form2& form, const QString& name, int records) {
    designControl<QLineEdit>(form, "Text1")->setText(name);
    loadMergeRecords(form, form.selectedMergeFile(), records);
}

std::map<std::string, double> g_seconds; // name -> real seconds per iteration
std::map<std::string, double> g_cpu;     // name -> processor seconds per iteration

class Collect : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.iterations > 0 && run.run_type == Run::RT_Iteration) {
                const double unit = benchmark::GetTimeUnitMultiplier(run.time_unit);
                g_seconds[run.benchmark_name()] = run.GetAdjustedRealTime() / unit;
                g_cpu[run.benchmark_name()] = run.GetAdjustedCPUTime() / unit;
            }
        }
        ConsoleReporter::ReportRuns(runs);
    }
};

long readStatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t n = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, n, key) == 0)
            return std::stol(line.substr(n + 1));
    }
    return -1;
}

// Brings the process's peak resident size down to its current one.
void resetPeak() {
    std::ofstream refs("/proc/self/clear_refs");
    refs << "5";
}

// Peak resident memory added by one load, in bytes, measured in a fresh process of this program
// (so that memory freed by earlier runs does not hide the load's own).
qint64 measurePeakHere(const QString& folder, const QString& name, int records) {
    const qv::ScopedServices services([&](qv::Services& s) { s.programFolder = folder; });
    Form2 form;
    form.show();
    QCoreApplication::processEvents();
    resetPeak();
    const long before = readStatusKb("VmRSS:");
    loadIntoRecordList(form, name, records);
    QCoreApplication::processEvents();
    if (recordListModel(form).rowCount() != records)
        return -1;
    return (readStatusKb("VmHWM:") - before) * 1024;
}

qint64 peakOfOneLoad(const Sample& s) {
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {"--peak", s.folder, QString::fromStdString(s.label), QString::number(s.records)});
    if (!child.waitForFinished(-1))
        return -1;
    return child.readAllStandardOutput().trimmed().toLongLong();
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc == 5 && std::strcmp(argv[1], "--peak") == 0) {
        std::printf("%lld\n", static_cast<long long>(measurePeakHere(
                                  QString::fromLocal8Bit(argv[2]), QString::fromLocal8Bit(argv[3]),
                                  std::atoi(argv[4]))));
        return 0;
    }
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("data");
    const qv::ScopedServices services([&](qv::Services& s) { s.programFolder = dir.path(); });
    std::vector<Sample> samples = {
        {"32767x26", {}, {}, 32767, 26},
        {"1000000x10", {}, {}, 1000000, 10},
    };
    for (Sample& s : samples) {
        s.folder = dir.path();
        s.path =
            writeSample(dir.path() + "/data", QString::fromStdString(s.label), s.records, s.fields);
        s.bytes = QFile(s.path).size();
        std::printf("sample %s: %lld bytes\n", s.label.c_str(), static_cast<long long>(s.bytes));
    }

    for (const Sample& s : samples) {
        // Each side checks it did the whole work: every value split, every record loaded.
        const qsizetype values = qsizetype(s.records + 1) * s.fields;
        benchmark::RegisterBenchmark(("bare_parse/" + s.label).c_str(),
                                     [s, values](benchmark::State& state) {
                                         for (auto _ : state)
                                             if (bareParse(s.path) != values) {
                                                 state.SkipWithError("values missing");
                                                 break;
                                             }
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("bare_parse_text/" + s.label).c_str(),
                                     [s](benchmark::State& state) {
                                         for (auto _ : state)
                                             benchmark::DoNotOptimize(bareParseText(s.path));
                                     })
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("load_records/" + s.label).c_str(),
                                     [s](benchmark::State& state) {
                                         Form2 form;
                                         form.show();
                                         const QString name = QString::fromStdString(s.label);
                                         for (auto _ : state) {
                                             loadIntoRecordList(form, name, s.records);
                                             QCoreApplication::processEvents();
                                             if (recordListModel(form).rowCount() != s.records) {
                                                 state.SkipWithError("records missing");
                                                 break;
                                             }
                                         }
                                         state.counters["rows"] = recordListModel(form).rowCount();
                                     })
            ->Unit(benchmark::kMillisecond);
    }

    benchmark::Initialize(&argc, argv);
    Collect reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);

    // Processor time is the fair figure on a busy machine; real time is shown beside it.
    std::printf("\n%-12s %9s %9s %7s %9s %9s %7s %9s %9s\n", "file", "bare ms", "load ms", "ratio",
                "bare cpu", "load cpu", "ratio", "peak MB", "peak/file");
    for (const Sample& s : samples) {
        const double bare = g_seconds["bare_parse/" + s.label];
        const double load = g_seconds["load_records/" + s.label];
        const double bareCpu = g_cpu["bare_parse/" + s.label];
        const double loadCpu = g_cpu["load_records/" + s.label];
        const qint64 peak = peakOfOneLoad(s);
        std::printf("%-12s %9.1f %9.1f %6.2fx %9.1f %9.1f %6.2fx %9.1f %8.2fx\n", s.label.c_str(),
                    bare * 1e3, load * 1e3, bare > 0 ? load / bare : 0.0, bareCpu * 1e3,
                    loadCpu * 1e3, bareCpu > 0 ? loadCpu / bareCpu : 0.0, peak / 1048576.0,
                    static_cast<double>(peak) / static_cast<double>(s.bytes));
    }
    std::printf("goals: ratio <= 2.00x, peak/file < 3.00x\n");
    benchmark::Shutdown();
    return 0;
}
