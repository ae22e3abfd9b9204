#include <gtest/gtest.h>

#include <QPrinterInfo>

#include "ReportTestSupport.h"
#include "fixtures/Errors.h"
#include "report/Output.h"
#include "report/ReportError.h"

using namespace report;
using namespace reporttest;
using fixtures::errorOf;

namespace {

struct Job {
    QString printer;
    QStringList texts; // of every page, in order
};

ScopedPrinters::Printed recordInto(std::vector<Job>& jobs)
{
    return [&jobs](const QString& printer, const std::vector<Page>& pages) {
        Job job{printer, {}};
        for (const Page& page : pages)
            job.texts << texts(page);
        jobs.push_back(job);
    };
}

// One detail band of 50 mm per row: a page each.
void twoPageReport(Report& report, ListSource& source)
{
    smallPage(report);
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 50;
    auto& text = detail.add<DataText>();
    text.rect = QRectF(0, 0, 60, 5);
    text.value = [&source] { return source.current(); };
    report.dataSource = &source;
}

QStringList realPrinters()
{
    QStringList names;
    for (const QPrinterInfo& info : QPrinterInfo::availablePrinters())
        names << info.printerName();
    return names;
}

} // namespace

TEST(PrinterStandIn, JobsReachTheChosenOrDefaultPrinterWithTheirPages)
{
    std::vector<Job> jobs;
    ScopedPrinters printers({"Büro", "Labor", "Lager"}, 2, recordInto(jobs));
    EXPECT_EQ(installedPrinters(), QStringList({"Büro", "Labor", "Lager"}));
    EXPECT_EQ(defaultPrinterIndex(), 2);

    ListSource source({"Aceton", "Benzol"});
    Report report;
    twoPageReport(report, source);
    std::vector<bool> afterPrint;
    report.events.afterPrint = [&](bool ok) { afterPrint.push_back(ok); };

    printToPrinter(report, 1);
    printToPrinter(report, -1);
    printPages(build(report), 0);

    ASSERT_EQ(jobs.size(), 3u);
    EXPECT_EQ(jobs[0].printer, "Labor");
    EXPECT_EQ(jobs[0].texts, QStringList({"Aceton", "Benzol"}));
    EXPECT_EQ(jobs[1].printer, "Lager") << "-1 is the default printer";
    EXPECT_EQ(jobs[2].printer, "Büro");
    EXPECT_EQ(jobs[2].texts, QStringList({"Aceton", "Benzol"}));
    EXPECT_EQ(afterPrint, std::vector<bool>({true, true}));
}

TEST(PrinterStandIn, MissingPrintersAreGermanErrorsBeforeAnythingIsPrinted)
{
    std::vector<Job> jobs;
    ListSource source({"Aceton"});
    Report report;
    twoPageReport(report, source);
    std::vector<bool> afterPrint;
    report.events.afterPrint = [&](bool ok) { afterPrint.push_back(ok); };
    {
        ScopedPrinters printers({"Büro"}, 0, recordInto(jobs));
        EXPECT_TRUE(errorOf<ReportError>([&] { printToPrinter(report, 4); }).contains("Nummer 4"));
        EXPECT_THROW(printPages(build(report), 1), ReportError);
    }
    {
        ScopedPrinters none({}, 0, recordInto(jobs));
        EXPECT_TRUE(installedPrinters().isEmpty());
        EXPECT_EQ(defaultPrinterIndex(), -1);
        EXPECT_EQ(errorOf<ReportError>([&] { printToPrinter(report, -1); }), "Es ist kein Drucker installiert.");
    }
    EXPECT_TRUE(jobs.empty());
    EXPECT_EQ(afterPrint, std::vector<bool>({false, false}));
}

TEST(PrinterStandIn, ScopesNestAndTheRealPrintersComeBack)
{
    std::vector<Job> outerJobs;
    std::vector<Job> innerJobs;
    {
        ScopedPrinters outer({"Außen"}, 0, recordInto(outerJobs));
        {
            ScopedPrinters inner({"Innen 1", "Innen 2"}, 1, recordInto(innerJobs));
            EXPECT_EQ(installedPrinters(), QStringList({"Innen 1", "Innen 2"}));
            Report empty;
            printPages(build(empty), -1);
        }
        EXPECT_EQ(installedPrinters(), QStringList({"Außen"}));
        printPages({}, 0);
    }
    EXPECT_EQ(installedPrinters(), realPrinters());
    ASSERT_EQ(innerJobs.size(), 1u);
    EXPECT_EQ(innerJobs[0].printer, "Innen 2");
    ASSERT_EQ(outerJobs.size(), 1u);
    EXPECT_EQ(outerJobs[0].printer, "Außen");
}
