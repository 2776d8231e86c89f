#pragma once

#include <QString>
#include <QStringList>

// The desktop's print system (CUPS, as its server or CUPS_SERVER names it): which printers there
// are, which is the default, and a PDF printed as one job.
namespace qv::printing {

struct Printers {
    QStringList names;      // every printer (queue), as the print system names them
    QString defaultPrinter; // "" when none is the default
};

// The printers the print system offers; an empty list when it offers none or cannot be reached.
Printers printers();

// The printer a job goes to: `wanted` when given and known, else the default; "" with a message
// when there is no such printer, or no printer at all.
QString choosePrinter(const QString& wanted, QString* error);

// Prints the PDF as one job named `title` on the printer; false with the print system's reason.
// *job gets the job's number.
bool printPdf(const QString& printer, const QString& pdf, const QString& title, int* job,
              QString* error);

// The job's name for letters of a merge file: "Quorvane letters NAME", with the records when only
// some are printed ("records 1-50").
QString letterJobTitle(const QString& mergeFile, const QString& records = {});

} // namespace qv::printing
