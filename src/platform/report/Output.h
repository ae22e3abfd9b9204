#pragma once

#include <functional>
#include <vector>

#include <QString>
#include <QStringList>

#include "report/Page.h"
#include "report/Report.h"

namespace report {

// Writes recorded pages as a PDF file; the file appears complete or not at
// all. Throws ReportError naming the file when it cannot be written.
void writePdf(const std::vector<Page>& pages, const QString& fileName, const QString& title = {});

// Lays out the report and writes it as a PDF file. The report's afterPrint
// runs once at the end, also when the run fails (then with false, and the
// error is thrown after it).
void printToPdf(Report& report, const QString& fileName);

// The installed printers, in the order that printer indexes count them.
QStringList installedPrinters();

// The system's default printer as an index into installedPrinters(): the
// first printer when none is marked default, -1 when none is installed.
int defaultPrinterIndex();

// Lays out the report and prints it on the installed printer with the given
// index (-1: the system's default printer). With no such printer a
// ReportError names the index before anything is laid out; afterPrint runs
// once on every path, as for printToPdf.
void printToPrinter(Report& report, int printerIndex);

// Prints pages already laid out (a preview's) on the installed printer with
// the given index, as printToPrinter does; throws ReportError naming the
// printer, or saying that none is installed.
void printPages(const std::vector<Page>& pages, int printerIndex, const QString& title = {});

// Stands in for the installed printers while it lives, for machines without
// any (tests, CI): installedPrinters() and defaultPrinterIndex() report the
// given printers, and a job printed on one of them hands its laid-out pages
// and the printer's name to the callback instead of a device. Scopes nest;
// the outer one comes back when the inner one ends.
class ScopedPrinters {
public:
    using Printed = std::function<void(const QString& printerName, const std::vector<Page>& pages)>;

    ScopedPrinters(QStringList names, int defaultIndex, Printed printed);
    ~ScopedPrinters();
    ScopedPrinters(const ScopedPrinters&) = delete;
    ScopedPrinters& operator=(const ScopedPrinters&) = delete;

    struct Printers {
        QStringList names;
        int defaultIndex = 0;
        Printed printed;
    };

private:
    Printers m_printers;
    const Printers* m_previous;
};

} // namespace report
