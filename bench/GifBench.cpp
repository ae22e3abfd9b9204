// A hazard label exported as GIF: the label export draws a label of
// 105 x 74 mm at 300 dpi (1240 x 874 pixels) and saves it with the GIF
// writer; the whole export of one label must take under 100 ms, so the
// writer must leave the drawing most of that.
#include <benchmark/benchmark.h>

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

#include "BenchApplication.h"
#include "labels/GIFImage.h"

namespace {

constexpr int breite = 1240; // 105 mm at 300 dpi
constexpr int hoehe = 874;   // 74 mm

// A label as the export draws one: frame, texts without smoothing (the
// export's pictures keep to few colours), an orange hazard square with its
// black sign.
QImage etikett()
{
    bench::application();
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    bild.fill(Qt::white);
    QPainter p(&bild);
    p.setPen(QPen(Qt::black, 6));
    p.drawRect(10, 10, breite - 20, hoehe - 20);
    QFont schrift(QStringLiteral("Sans"), 28);
    schrift.setStyleStrategy(QFont::NoAntialias);
    p.setFont(schrift);
    p.drawText(60, 110, QStringLiteral("Benzol"));
    schrift.setPointSize(12);
    p.setFont(schrift);
    for (int zeile = 0; zeile < 12; ++zeile)
        p.drawText(60, 200 + zeile * 45, QStringLiteral("R45-46-11-36/38-48/23/24/25-65  S53-45  CAS 71-43-2  Zeile %1").arg(zeile));
    p.fillRect(880, 80, 300, 300, QColor(255, 140, 0));
    p.setBrush(Qt::black);
    p.drawEllipse(950, 150, 160, 160);
    p.end();
    return bild;
}

// 256 colours in no order at all: the most the palette and the coder meet.
QImage rauschen()
{
    QImage bild(breite, hoehe, QImage::Format_RGB32);
    std::uint32_t zufall = 12345;
    for (int y = 0; y < hoehe; ++y)
        for (int x = 0; x < breite; ++x) {
            zufall = zufall * 1103515245u + 12345u;
            const int i = static_cast<int>(zufall >> 24);
            bild.setPixel(x, y, qRgb(i, 255 - i, (i * 7) & 0xFF));
        }
    return bild;
}

void speichern(benchmark::State& state, const QImage& bild)
{
    QTemporaryDir dir;
    const QString datei = dir.filePath(QStringLiteral("etikett.gif"));
    for (auto _ : state)
        if (!SaveBitmapAsGif(datei, bild))
            state.SkipWithError(GifFehlertext().toStdString().c_str());
}

void BM_GifEtikett(benchmark::State& state)
{
    speichern(state, etikett());
}
BENCHMARK(BM_GifEtikett)->Unit(benchmark::kMillisecond);

void BM_GifEtikettRauschen(benchmark::State& state)
{
    speichern(state, rauschen());
}
BENCHMARK(BM_GifEtikettRauschen)->Unit(benchmark::kMillisecond);

} // namespace
