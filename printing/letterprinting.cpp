#include "printing/letterprinting.h"

#include <QFile>
#include <cups/cups.h>

namespace qv::printing {

namespace {

QString lastError() {
    const char* text = cupsLastErrorString();
    return text && *text ? QString::fromUtf8(text) : QStringLiteral("no reason given");
}

} // namespace

Printers printers() {
    Printers found;
    cups_dest_t* dests = nullptr;
    const int count = cupsGetDests2(CUPS_HTTP_DEFAULT, &dests);
    for (int i = 0; i < count; ++i) {
        if (dests[i].instance)
            continue;
        const QString name = QString::fromUtf8(dests[i].name);
        found.names << name;
        if (dests[i].is_default)
            found.defaultPrinter = name;
    }
    cupsFreeDests(count, dests);
    return found;
}

QString choosePrinter(const QString& wanted, QString* error) {
    const Printers known = printers();
    if (known.names.isEmpty()) {
        *error = QStringLiteral("No printer is set up on this computer (the print system says: "
                                "%1). Add a printer in the desktop's printer settings or with "
                                "lpadmin, then print again.")
                     .arg(lastError());
        return {};
    }
    if (!wanted.isEmpty()) {
        if (known.names.contains(wanted))
            return wanted;
        *error = QStringLiteral("There is no printer \"%1\". The printers are: %2.")
                     .arg(wanted, known.names.join(QStringLiteral(", ")));
        return {};
    }
    if (known.defaultPrinter.isEmpty()) {
        *error = QStringLiteral("No printer is the default; choose one of: %1.")
                     .arg(known.names.join(QStringLiteral(", ")));
        return {};
    }
    return known.defaultPrinter;
}

bool printPdf(const QString& printer, const QString& pdf, const QString& title, int* job,
              QString* error) {
    cups_option_t* options = nullptr;
    int count = cupsAddOption("document-format", "application/pdf", 0, &options);
    const int id = cupsPrintFile2(CUPS_HTTP_DEFAULT, printer.toUtf8().constData(),
                                  QFile::encodeName(pdf).constData(), title.toUtf8().constData(),
                                  count, options);
    cupsFreeOptions(count, options);
    if (id <= 0) {
        *error = QStringLiteral("The printer \"%1\" did not take the letters: %2")
                     .arg(printer, lastError());
        return false;
    }
    if (job)
        *job = id;
    return true;
}

QString letterJobTitle(const QString& mergeFile, const QString& records) {
    QString title = QStringLiteral("Quorvane letters ") + mergeFile;
    if (!records.isEmpty())
        title += QStringLiteral(" (records %1)").arg(records);
    return title;
}

} // namespace qv::printing
