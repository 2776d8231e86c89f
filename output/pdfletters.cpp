#include "output/pdfletters.h"

#include "output/docx.h"

#include <QFile>
#include <QHash>
#include <atomic>
#include <condition_variable>
#include <map>
#include <mutex>
#include <thread>
// qpdf without its old PointerHolder (std::shared_ptr throughout).
#define POINTERHOLDER_TRANSITION 4
#include <qpdf/QPDF.hh>
#include <qpdf/QPDFNameTreeObjectHelper.hh>
#include <qpdf/QPDFPageDocumentHelper.hh>
#include <qpdf/QPDFWriter.hh>
#include <stdexcept>

namespace qv::output {

namespace {

// The page object a destination points at: [page /XYZ ...], or a dictionary holding it as /D.
QPDFObjGen destinationPage(QPDFObjectHandle dest) {
    if (dest.isDictionary())
        dest = dest.getKey("/D");
    if (dest.isArray() && dest.getArrayNItems() > 0)
        return dest.getArrayItem(0).getObjGen();
    return {};
}

// Every named destination: the catalog's /Dests dictionary (PDF 1.1) and the /Names tree.
std::map<std::string, QPDFObjGen> namedDestinations(QPDF& pdf) {
    std::map<std::string, QPDFObjGen> dests;
    QPDFObjectHandle root = pdf.getRoot();
    if (QPDFObjectHandle old = root.getKey("/Dests"); old.isDictionary())
        for (auto [name, value] : old.ditems())
            dests[name.substr(1)] = destinationPage(value);
    if (QPDFObjectHandle tree = root.getKey("/Names").getKey("/Dests"); tree.isDictionary()) {
        QPDFNameTreeObjectHelper names(tree, pdf);
        for (auto [name, value] : names)
            dests[name] = destinationPage(value);
    }
    return dests;
}

} // namespace

struct PdfLetters::Data {
    QString path;
    QPDF pdf;
    std::vector<QPDFPageObjectHelper> pages;
    std::vector<int> starts;
};

PdfLetters::PdfLetters() = default;
PdfLetters::~PdfLetters() = default;

bool PdfLetters::open(const QString& path, qsizetype firstCopy, qsizetype letters, QString* error) {
    d_ = std::make_unique<Data>();
    d_->path = path;
    try {
        d_->pdf.setSuppressWarnings(true);
        d_->pdf.processFile(QFile::encodeName(path).constData());
        d_->pages = QPDFPageDocumentHelper(d_->pdf).getAllPages();
        QHash<QPair<int, int>, int> pageIndex;
        for (size_t i = 0; i < d_->pages.size(); ++i) {
            const QPDFObjGen og = d_->pages[i].getObjectHandle().getObjGen();
            pageIndex.insert({og.getObj(), og.getGen()}, int(i));
        }
        const std::map<std::string, QPDFObjGen> dests = namedDestinations(d_->pdf);
        for (qsizetype n = 1; n <= letters; ++n) {
            const auto it = dests.find(docx::copyBookmarkName(firstCopy + n - 1).toStdString());
            const QPDFObjGen og = it == dests.end() ? QPDFObjGen() : it->second;
            const int page = pageIndex.value({og.getObj(), og.getGen()}, -1);
            if (page < 0 || (!d_->starts.empty() && page < d_->starts.back()))
                throw std::runtime_error(
                    QStringLiteral("the start of letter %1 is not marked").arg(n).toStdString());
            d_->starts.push_back(n == 1 ? 0 : page);
        }
    } catch (const std::exception& e) {
        if (error)
            *error = QStringLiteral("The laid-out letters \"%1\" cannot be cut into letters: %2")
                         .arg(path, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

int PdfLetters::pageCount() const {
    return int(d_->pages.size());
}

int PdfLetters::firstPage(qsizetype letter) const {
    return d_->starts[size_t(letter)];
}

int PdfLetters::endPage(qsizetype letter) const {
    return size_t(letter) + 1 < d_->starts.size() ? d_->starts[size_t(letter) + 1] : pageCount();
}

bool PdfLetters::write(qsizetype first, qsizetype last, const QString& path, QString* error) const {
    try {
        QPDF out;
        out.emptyPDF();
        QPDFPageDocumentHelper outPages(out);
        for (int p = firstPage(first); p < endPage(last); ++p)
            outPages.addPage(d_->pages[size_t(p)], false);
        // The writer keeps the name's pointer until it has written: the bytes must outlive it.
        const QByteArray fileName = QFile::encodeName(path);
        QPDFWriter writer(out, fileName.constData());
        writer.setStaticID(false);
        writer.write();
    } catch (const std::exception& e) {
        QFile::remove(path);
        if (error)
            *error = QStringLiteral("\"%1\" cannot be written: %2")
                         .arg(path, QString::fromStdString(e.what()));
        return false;
    }
    return true;
}

bool PdfLetters::writeEach(const QStringList& paths, int threads,
                           const std::function<bool(qsizetype written)>& progress,
                           QString* error) const {
    threads = std::max(1, std::min<int>(threads, int(paths.size() / 50) + 1));
    std::atomic<qsizetype> written{0};
    std::atomic<bool> stop{false};
    std::mutex mutex;
    std::condition_variable changed;
    QString firstError;
    int running = threads;
    // Worker k writes letters k, k + threads, ...; all but the first read the PDF themselves
    // (a QPDF is not shared between threads).
    auto work = [&](int k) {
        PdfLetters own;
        const PdfLetters* from = this;
        QString why;
        if (k > 0) {
            own.d_ = std::make_unique<Data>();
            own.d_->path = d_->path;
            own.d_->starts = d_->starts;
            try {
                own.d_->pdf.setSuppressWarnings(true);
                own.d_->pdf.processFile(QFile::encodeName(d_->path).constData());
                own.d_->pages = QPDFPageDocumentHelper(own.d_->pdf).getAllPages();
                from = &own;
            } catch (const std::exception& e) {
                why = QString::fromStdString(e.what());
            }
        }
        for (qsizetype i = k; why.isEmpty() && i < paths.size() && !stop; i += threads) {
            if (from->write(i, i, paths[i], &why))
                ++written;
        }
        std::lock_guard lock(mutex);
        if (!why.isEmpty() && firstError.isEmpty()) {
            firstError = why;
            stop = true;
        }
        --running;
        changed.notify_all();
    };
    std::vector<std::thread> workers;
    for (int k = 0; k < threads; ++k)
        workers.emplace_back(work, k);
    for (bool done = false; !done;) {
        {
            std::unique_lock lock(mutex);
            changed.wait_for(lock, std::chrono::milliseconds(40));
            done = running == 0;
        }
        if (!progress(written))
            stop = true; // even when all are written: the files are not kept
    }
    for (std::thread& t : workers)
        t.join();
    if (error)
        *error = firstError;
    return firstError.isEmpty() && !stop;
}

} // namespace qv::output
