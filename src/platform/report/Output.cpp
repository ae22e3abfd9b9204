#include "report/Output.h"

#include <functional>

#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QSaveFile>

#include "report/PageBuilder.h"
#include "report/ReportError.h"

namespace report {

namespace {

// Paper sizes go to devices unrotated, with the orientation beside them,
// so that a printer feeds its paper the usual way.
QPageLayout pageLayoutFor(QSizeF sizeMm)
{
    if (sizeMm.isEmpty())
        sizeMm = paperSizeMm(PaperSize::A4);
    const bool landscape = sizeMm.width() > sizeMm.height();
    if (landscape)
        sizeMm.transpose();
    return QPageLayout(QPageSize(sizeMm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch),
                       landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}

// Paints every page; the painter is already open on the device's first page.
void paintAll(const std::vector<Page>& pages, QPagedPaintDevice& device, QPainter& painter, double dotsPerMm)
{
    for (std::size_t i = 0; i < pages.size(); ++i) {
        if (i > 0) {
            device.setPageLayout(pageLayoutFor(pages[i].sizeMm));
            device.newPage();
        }
        paintPage(pages[i], painter, dotsPerMm);
    }
}

void runPrint(Report& report, const std::function<void(const std::vector<Page>&)>& output)
{
    bool completed = false;
    try {
        PageBuilder builder(report, PageBuilder::Purpose::Print);
        builder.buildAll();
        output(builder.pages());
        completed = true;
    } catch (...) {
        if (report.events.afterPrint)
            report.events.afterPrint(false);
        throw;
    }
    if (report.events.afterPrint)
        report.events.afterPrint(completed);
}

QPrinterInfo printerByIndex(int printerIndex)
{
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty())
        throw ReportError(QStringLiteral("Es ist kein Drucker installiert."));
    if (printerIndex == -1) {
        const QPrinterInfo standard = QPrinterInfo::defaultPrinter();
        return standard.isNull() ? printers.front() : standard;
    }
    if (printerIndex < 0 || printerIndex >= printers.size())
        throw ReportError(QStringLiteral("Der Drucker Nummer %1 ist nicht installiert (installiert: %2).")
                              .arg(printerIndex)
                              .arg(printers.size()));
    return printers.at(printerIndex);
}

void printOn(const QPrinterInfo& info, const std::vector<Page>& pages, const QString& title)
{
    QPrinter printer(info, QPrinter::HighResolution);
    printer.setFullPage(true);
    printer.setDocName(title);
    printer.setPageLayout(pageLayoutFor(pages.empty() ? QSizeF() : pages.front().sizeMm));
    QPainter painter;
    if (!painter.begin(&printer))
        throw ReportError(
            QStringLiteral("Der Drucker \"%1\" kann nicht angesprochen werden.").arg(info.printerName()));
    paintAll(pages, printer, painter, printer.resolution() / 25.4);
    if (!painter.end() || printer.printerState() == QPrinter::Error)
        throw ReportError(QStringLiteral("Der Druck auf \"%1\" ist fehlgeschlagen.").arg(info.printerName()));
}

ReportError cannotWrite(const QString& fileName, const QString& reason)
{
    return ReportError(QStringLiteral("Die Datei \"%1\" kann nicht geschrieben werden: %2").arg(fileName, reason));
}

} // namespace

void writePdf(const std::vector<Page>& pages, const QString& fileName, const QString& title)
{
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        throw cannotWrite(fileName, file.errorString());
    {
        QPdfWriter writer(&file);
        writer.setTitle(title);
        writer.setCreator(QStringLiteral("Marlex99"));
        writer.setPageLayout(pageLayoutFor(pages.empty() ? QSizeF() : pages.front().sizeMm));
        QPainter painter;
        if (!painter.begin(&writer))
            throw cannotWrite(fileName, QStringLiteral("PDF-Ausgabe nicht möglich"));
        paintAll(pages, writer, painter, writer.resolution() / 25.4);
        painter.end();
    }
    if (!file.commit())
        throw cannotWrite(fileName, file.errorString());
}

void printToPdf(Report& report, const QString& fileName)
{
    runPrint(report, [&](const std::vector<Page>& pages) { writePdf(pages, fileName, report.title); });
}

QStringList installedPrinters()
{
    QStringList names;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        names << info.printerName();
    return names;
}

void printToPrinter(Report& report, int printerIndex)
{
    QPrinterInfo info;
    try {
        info = printerByIndex(printerIndex);
    } catch (...) {
        if (report.events.afterPrint)
            report.events.afterPrint(false);
        throw;
    }
    runPrint(report, [&](const std::vector<Page>& pages) { printOn(info, pages, report.title); });
}

void printPages(const std::vector<Page>& pages, int printerIndex, const QString& title)
{
    printOn(printerByIndex(printerIndex), pages, title);
}

} // namespace report
