#pragma once

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

// Lays out the report and prints it on the installed printer with the given
// index (-1: the system's default printer). With no such printer a
// ReportError names the index before anything is laid out; afterPrint runs
// once on every path, as for printToPdf.
void printToPrinter(Report& report, int printerIndex);

// Prints pages already laid out (a preview's) on the installed printer with
// the given index, as printToPrinter does; throws ReportError naming the
// printer, or saying that none is installed.
void printPages(const std::vector<Page>& pages, int printerIndex, const QString& title = {});

} // namespace report
