#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "BenchApplication.h"
#include "report/Output.h"
#include "report/Report.h"

namespace {

// A one-page substance sheet: header, a few labelled values, a formula, a
// picture, a frame and the page number.
void fillSheet(report::Report& report)
{
    using namespace report;
    report.title = QStringLiteral("Marlex99: Stoffinfodruck");
    Band& header = report.addBand(BandType::PageHeader);
    header.height = 20;
    header.frame.bottom = true;
    auto& title = header.add<Label>();
    title.caption = QStringLiteral("Stoffinformation Schwefelsäure");
    title.font.setPointSize(16);
    title.rect = QRectF(0, 0, 150, 10);
    Band& detail = report.addBand(BandType::Detail);
    detail.height = 200;
    for (int i = 0; i < 20; ++i) {
        auto& value = detail.add<DataText>();
        value.rect = QRectF(0, i * 8.0, 120, 6);
        value.autoSize = true;
        value.value = [i] { return QStringLiteral("Eigenschaft %1: ätzend, wassergefährdend").arg(i); };
    }
    auto& formula = detail.add<RichText>();
    formula.rect = QRectF(130, 0, 40, 8);
    formula.runs = {{"H", 0, false}, {"2", 5, false}, {"SO", 0, false}, {"4", 5, false}};
    auto& picture = detail.add<Image>();
    picture.picture = QImage(64, 64, QImage::Format_RGB32);
    picture.picture.fill(Qt::red);
    picture.rect = QRectF(130, 20, 20, 20);
    picture.stretch = true;
    Band& footer = report.addBand(BandType::PageFooter);
    footer.height = 10;
    auto& page = footer.add<SystemData>();
    page.data = SystemDataKind::PageNumber;
    page.rect = QRectF(0, 0, 20, 6);
}

// Budget: 100 one-page sheets to PDF well under 10 s.
void BM_OnePageReportsToPdf(benchmark::State& state)
{
    bench::application();
    QTemporaryDir dir;
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            report::Report report;
            fillSheet(report);
            report::printToPdf(report, dir.filePath(QStringLiteral("blatt.pdf")));
        }
    }
}
BENCHMARK(BM_OnePageReportsToPdf)->Unit(benchmark::kMillisecond);

} // namespace
