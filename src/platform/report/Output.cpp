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

// The stand-in of the innermost living ScopedPrinters; null in the running
// program, which always prints on the real devices.
const ScopedPrinters::Printers*& standIn()
{
    static const ScopedPrinters::Printers* current = nullptr;
    return current;
}

// A printer picked by index: its name and how pages reach it.
struct Target {
    QString name;
    std::function<void(const std::vector<Page>& pages, const QString& title)> print;
};

Target printerByIndex(int printerIndex)
{
    const QStringList names = installedPrinters();
    if (names.isEmpty())
        throw ReportError(QStringLiteral("Es ist kein Drucker installiert."));
    const int index = printerIndex == -1 ? defaultPrinterIndex() : printerIndex;
    if (index < 0 || index >= names.size())
        throw ReportError(QStringLiteral("Der Drucker Nummer %1 ist nicht installiert (installiert: %2).")
                              .arg(printerIndex)
                              .arg(names.size()));
    const QString name = names.at(index);
    if (const ScopedPrinters::Printers* printers = standIn())
        return {name, [printers, name](const std::vector<Page>& pages, const QString&) {
                    printers->printed(name, pages);
                }};
    const QPrinterInfo info = QPrinterInfo::availablePrinters().at(index);
    return {name, [info](const std::vector<Page>& pages, const QString& title) { printOn(info, pages, title); }};
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
    if (const ScopedPrinters::Printers* printers = standIn())
        return printers->names;
    QStringList names;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        names << info.printerName();
    return names;
}

int defaultPrinterIndex()
{
    if (const ScopedPrinters::Printers* printers = standIn())
        return printers->names.isEmpty() ? -1 : printers->defaultIndex;
    const QList<QPrinterInfo> printers = QPrinterInfo::availablePrinters();
    if (printers.isEmpty())
        return -1;
    const QString standard = QPrinterInfo::defaultPrinterName();
    for (int i = 0; i < printers.size(); ++i)
        if (printers.at(i).printerName() == standard)
            return i;
    return 0;
}

void printToPrinter(Report& report, int printerIndex)
{
    Target target;
    try {
        target = printerByIndex(printerIndex);
    } catch (...) {
        if (report.events.afterPrint)
            report.events.afterPrint(false);
        throw;
    }
    runPrint(report, [&](const std::vector<Page>& pages) { target.print(pages, report.title); });
}

void printPages(const std::vector<Page>& pages, int printerIndex, const QString& title)
{
    printerByIndex(printerIndex).print(pages, title);
}

ScopedPrinters::ScopedPrinters(QStringList names, int defaultIndex, Printed printed)
    : m_printers{std::move(names), defaultIndex, std::move(printed)}
    , m_previous(standIn())
{
    standIn() = &m_printers;
}

ScopedPrinters::~ScopedPrinters()
{
    standIn() = m_previous;
}

} // namespace report
