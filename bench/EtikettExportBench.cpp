// The label export on the large register of BenchRegister.h (100,000 names):
// a stock item of the sheet substance (structure picture, R and S phrases)
// stands current, and each iteration does what "&Exportieren" does once the
// file is named: read the label file, let the label engine switch the
// tables, position them and draw the label, put the tables back, and write
// the picture file.
//  - BM_EtikettExportGifGross: the label as a GIF image. Budget: under
//    100 ms.
//  - BM_EtikettExportWmfGross, BM_EtikettExportBmpGross: the same as a
//    metafile or a bitmap, for comparison.
#include <benchmark/benchmark.h>

#include <optional>

#include <QTemporaryDir>

#include "BenchApplication.h"
#include "BenchRegister.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "labels/EtikettExport.h"
#include "labels/EtikettenLayout.h"
#include "reports/Layout.h"
#include "sheets/SheetSession.h"
#include "stream/StreamWriter.h"

namespace {

using stream::Object;
using stream::Value;

Object element(const char* klasse, const char* name, int tag, QRect lage, const QString& caption = {})
{
    Object e(QString::fromLatin1(klasse), QString::fromLatin1(name));
    e.append(QStringLiteral("Tag"), Value::integer(tag));
    e.append(QStringLiteral("Left"), Value::integer(lage.x()));
    e.append(QStringLiteral("Top"), Value::integer(lage.y()));
    e.append(QStringLiteral("Width"), Value::integer(lage.width()));
    e.append(QStringLiteral("Height"), Value::integer(lage.height()));
    if (!caption.isEmpty())
        e.append(QStringLiteral("Caption"), Value::string(caption));
    return e;
}

// A label as schools use them: name, number, formula, hazard symbol,
// structure picture, the phrases in a wrapped box and a frame.
void etikettSchreiben(const QString& pfad)
{
    Object bericht(QStringLiteral("TQuickRep"), QStringLiteral("Etikett"));
    bericht.append(QStringLiteral("Width"), Value::integer(397));
    bericht.append(QStringLiteral("Height"), Value::integer(265));
    bericht.children.push_back(element("TQRShape", "Rahmen", 300, {0, 0, 397, 265}));
    bericht.children.push_back(element("TQRLabel", "Name", 100, {8, 8, 250, 18}, "[chemie.dbf NAME1]"));
    bericht.children.push_back(element("TQRLabel", "Cas", 100, {8, 30, 120, 18}, "[lager.dbf CARN]"));
    bericht.children.push_back(element("TQRLabel", "Formel", 700, {140, 30, 120, 18}));
    bericht.children.push_back(element("TQRImage", "Symbol", 200, {300, 8, 80, 80}));
    bericht.children.back().append(QStringLiteral("Hint"), Value::string("[chemie.dbf GEFSYM1]"));
    bericht.children.push_back(element("TQRImage", "Struktur", 500, {300, 100, 80, 80}));
    Object saetze = element("TQRMemo", "Saetze", 400, {8, 56, 280, 200});
    saetze.append(QStringLiteral("WordWrap"), Value::boolean(true));
    bericht.children.push_back(saetze);
    stream::StreamWriter::writeFile(pfad, {bericht});
}

void exportieren(benchmark::State& state, int format, const char* endung)
{
    bench::application();
    std::optional<sheets::SheetSession> sitzung;
    const bench::BenchRegister& bestand = bench::BenchRegister::standard();
    try {
        sitzung.emplace(sheets::SheetOptions{.registerDir = bestand.directory()});
    } catch (const std::exception& e) {
        state.SkipWithError(e.what());
        return;
    }
    dbase::Table& lager = *Datas->Table3;
    for (lager.first(); !lager.eof(); lager.next())
        if (lager.fieldByName("NAME1").asString() == bestand.sheetSubstance())
            break;
    const QTemporaryDir ausgabe;
    const QString vorlage = ausgabe.filePath(QStringLiteral("BENCH.ETI"));
    etikettSchreiben(vorlage);
    const QString datei = ausgabe.filePath(QStringLiteral("etikett.") + QLatin1String(endung));
    for (auto _ : state) {
        const reports::Layout layout = reports::Layout::load(vorlage, reports::LayoutKind::Eti);
        QString fehler;
        const std::optional<report::Page> seite = EtikettenLayout->AktuellesEtikettZeichnen(layout, fehler);
        if (seite)
            fehler = EtikettBildSchreiben(format, datei, *seite, QSize(layout.width, layout.height));
        if (!fehler.isEmpty()) {
            state.SkipWithError(fehler.toStdString().c_str());
            break;
        }
    }
}

void BM_EtikettExportGifGross(benchmark::State& state)
{
    exportieren(state, 2, "GIF");
}
BENCHMARK(BM_EtikettExportGifGross)->Unit(benchmark::kMillisecond);

void BM_EtikettExportWmfGross(benchmark::State& state)
{
    exportieren(state, 0, "WMF");
}
BENCHMARK(BM_EtikettExportWmfGross)->Unit(benchmark::kMillisecond);

void BM_EtikettExportBmpGross(benchmark::State& state)
{
    exportieren(state, 1, "BMP");
}
BENCHMARK(BM_EtikettExportBmpGross)->Unit(benchmark::kMillisecond);

} // namespace
