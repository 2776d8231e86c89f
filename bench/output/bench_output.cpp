// Exporting a full merge file (32,767 records of 26 values) to a workbook and to the HTML page
// in-process, from rows already in memory; the page beside its floor in the same process:
// writing the same bytes in one buffered write. The workbook has no in-process peer here (the
// whole-process comparison with LibreOffice is bench/window/run_window.sh's).
//
//   bench_output                 Google Benchmark figures
//   bench_output --csv <path>    writes the same data as CSV (for the LibreOffice comparison)
#include "output/automation.h"
#include "output/documentfolder.h"
#include "output/docx.h"
#include "output/htmlpage.h"
#include "output/mergedata.h"
#include "output/spreadsheetexport.h"
#include "platform/services.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 32767;
constexpr int kFields = 26;

// Names, amounts, account numbers with leading zeros, towns: a mix of texts and numbers.
const QList<QStringList>& records() {
    static const QList<QStringList> rows = [] {
        QList<QStringList> out;
        out.reserve(kRecords);
        for (int r = 1; r <= kRecords; ++r) {
            QStringList row;
            for (int k = 0; k < kFields; ++k) {
                switch (k % 4) {
                case 0:
                    row << QStringLiteral("Customer %1 %2").arg(r).arg(k);
                    break;
                case 1:
                    row << QString::number(r * 31 + k);
                    break;
                case 2:
                    row << QStringLiteral("00%1").arg(r * 7 + k);
                    break;
                default:
                    row << QStringLiteral("12 Main Street Apt %1").arg(k);
                    break;
                }
            }
            out << row;
        }
        return out;
    }();
    return rows;
}

qv::output::HtmlPage page() {
    qv::output::HtmlPage p;
    p.name = QStringLiteral("BENCH");
    p.width = QStringLiteral("100");
    for (int k = 1; k <= kFields; ++k)
        p.columns << QStringLiteral("Field%1").arg(k);
    p.rowCount = records().size();
    p.row = [](qsizetype r) { return records()[r]; };
    qv::output::stampNow(p);
    p.major = 2;
    p.revision = 1;
    return p;
}

void BM_ExportXlsx(benchmark::State& state) {
    QTemporaryDir dir;
    const qv::ScopedServices services([&](qv::Services& s) {
        s.documentFolder = dir.path();
        s.fileOpener = [](const QString&) { return true; };
    });
    records();
    for (auto _ : state) {
        qv::output::SpreadsheetExport e;
        e.rowCount = records().size();
        e.recordCount = kRecords;
        e.row = [](qsizetype r) { return records()[r - 1]; };
        qv::output::exportToSpreadsheet(e);
        state.PauseTiming();
        // The workbook must be there: an export that wrote nothing gives no figure.
        const QStringList written = QDir(dir.path()).entryList({QStringLiteral("*.xlsx")});
        if (written.size() != 1 || QFileInfo(dir.filePath(written.value(0))).size() == 0) {
            state.SkipWithError("the export wrote no workbook");
            break;
        }
        for (const QString& f : QDir(dir.path()).entryList(QDir::Files))
            QFile::remove(dir.filePath(f));
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ExportXlsx)->Unit(benchmark::kMillisecond)->Iterations(3);

// A letter of a few paragraphs merged with every record, four fields a line: merge fields only
// (argument 0), or three of them with a numeric picture, a date picture and an IF (argument 1).
qv::ooxml::Package letterTemplate(bool conditions) {
    auto field = [](const QString& code) {
        return QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText "
                              "xml:space=\"preserve\">%1</w:instrText></w:r><w:r><w:fldChar "
                              "w:fldCharType=\"separate\"/></w:r><w:r><w:t>x</w:t></w:r><w:r>"
                              "<w:fldChar w:fldCharType=\"end\"/></w:r>")
            .arg(code.toHtmlEscaped());
    };
    QString body;
    for (int k = 1; k <= 8; ++k) {
        body +=
            QStringLiteral("<w:p><w:r><w:t xml:space=\"preserve\">Line %1: </w:t></w:r>").arg(k) +
            field(QStringLiteral(" MERGEFIELD Field%1 ").arg(k));
        if (!conditions)
            body += field(QStringLiteral(" MERGEFIELD Field2 ")) +
                    field(QStringLiteral(" MERGEFIELD Field3 ")) +
                    field(QStringLiteral(" MERGEFIELD Field4 "));
        else
            body += field(QStringLiteral(" MERGEFIELD Field2 \\# \"#,##0.00\" ")) +
                    field(QStringLiteral(" MERGEFIELD Field3 \\@ \"d MMMM yyyy\" ")) +
                    QStringLiteral("<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r>"
                                   "<w:instrText xml:space=\"preserve\"> IF </w:instrText></w:r>") +
                    field(QStringLiteral(" MERGEFIELD Field2 ")) +
                    QStringLiteral("<w:r><w:instrText xml:space=\"preserve\"> > 5000 \"owes\" "
                                   "\"clear\" </w:instrText></w:r><w:r><w:fldChar "
                                   "w:fldCharType=\"end\"/></w:r>");
        body += QStringLiteral("</w:p>");
    }
    qv::ooxml::Package p;
    p.setPart(QStringLiteral("[Content_Types].xml"),
              "<Types xmlns=\"http://schemas.openxmlformats.org/package/2006/content-types\">"
              "<Default Extension=\"rels\" ContentType=\"application/"
              "vnd.openxmlformats-package.relationships+xml\"/><Default Extension=\"xml\" "
              "ContentType=\"application/xml\"/><Override PartName=\"/word/document.xml\" "
              "ContentType=\"application/"
              "vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml\"/></Types>");
    p.setPart(QStringLiteral("_rels/.rels"),
              "<Relationships xmlns=\"http://schemas.openxmlformats.org/package/2006/"
              "relationships\"><Relationship Id=\"rId1\" Type=\"http://schemas.openxmlformats."
              "org/officeDocument/2006/relationships/officeDocument\" "
              "Target=\"word/document.xml\"/></Relationships>");
    p.setPart(QStringLiteral("word/document.xml"),
              ("<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/"
               "main\"><w:body>" +
               body + "<w:sectPr/></w:body></w:document>")
                  .toUtf8());
    return p;
}

void BM_MergeDocument(benchmark::State& state) {
    qv::output::MergeData data;
    for (int k = 1; k <= kFields; ++k)
        data.names << QStringLiteral("Field%1").arg(k);
    data.records = records();
    const qv::ooxml::Package t = letterTemplate(state.range(0) != 0);
    for (auto _ : state) {
        qv::ooxml::Package out;
        QString error;
        if (!qv::docx::mergeDocument(t, data, &out, &error))
            state.SkipWithError(qPrintable(error));
        benchmark::DoNotOptimize(out);
    }
}
BENCHMARK(BM_MergeDocument)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ExportHtml(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("output.html"));
    const qv::output::HtmlPage p = page();
    for (auto _ : state) {
        QString error;
        if (!qv::output::saveHtmlPage(path, p, &error) || QFileInfo(path).size() == 0) {
            state.SkipWithError(error.isEmpty() ? "no page written" : qPrintable(error));
            break;
        }
    }
    state.SetBytesProcessed(state.iterations() * QFileInfo(path).size());
}
BENCHMARK(BM_ExportHtml)->Unit(benchmark::kMillisecond)->Iterations(5);

// The floor: the finished page's bytes, written to a file in one buffered write.
void BM_HtmlFloor(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("output.html"));
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    qv::output::writeHtmlPage(buffer, page(), nullptr);
    const QByteArray bytes = buffer.data();
    for (auto _ : state) {
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size()) {
            state.SkipWithError("the floor's write failed");
            break;
        }
        f.close();
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_HtmlFloor)->Unit(benchmark::kMillisecond)->Iterations(5);

// The page's making alone, into a device that keeps nothing.
class NullDevice : public QIODevice {
public:
    NullDevice() { open(QIODevice::WriteOnly); }
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char*, qint64 len) override { return len; }
};

void BM_HtmlMakeOnly(benchmark::State& state) {
    const qv::output::HtmlPage p = page();
    NullDevice device;
    for (auto _ : state)
        qv::output::writeHtmlPage(device, p, nullptr);
}
BENCHMARK(BM_HtmlMakeOnly)->Unit(benchmark::kMillisecond)->Iterations(5);

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--csv") {
        QFile f(QString::fromLocal8Bit(argv[2]));
        if (!f.open(QIODevice::WriteOnly))
            return 1;
        QByteArray out;
        for (const QStringList& row : records())
            out += row.join(QLatin1Char(',')).toLatin1() + '\n';
        f.write(out);
        return 0;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
