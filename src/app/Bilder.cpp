#include "app/Bilder.h"

#include "dbase/Table.h"
#include "files/Paths.h"
#include "graphics/GraphicsError.h"
#include "widgets/ErrorText.h"

QString symbolDatei(const QString& programmverzeichnis, const QString& stamm, const QString& endung, bool farbe)
{
    return programmverzeichnis + QStringLiteral("Symbol\\") + (farbe ? QStringLiteral("F_") : QString()) + stamm +
           endung;
}

namespace {

template <std::size_t N>
void tabelleLaden(std::array<BildPaar, N>& tabelle, const std::array<const char*, N>& staemme,
                  const QString& verzeichnis, const QString& endung, QStringList& fehler)
{
    for (std::size_t k = 0; k < N; ++k) {
        for (int farbe = 0; farbe < 2; ++farbe) {
            const QString datei = symbolDatei(verzeichnis, QLatin1String(staemme[k]), endung, farbe != 0);
            try {
                tabelle[k][farbe] = graphics::Picture::load(datei);
            } catch (const graphics::GraphicsError& e) {
                tabelle[k][farbe] = {};
                const QString name = datei.mid(datei.lastIndexOf(u'\\') + 1);
                fehler << (files::find(datei) ? name + QStringLiteral(": ") + widgets::errorText(e) : name);
            }
        }
    }
}

} // namespace

QStringList SymbolBilderLaden(SymbolBilder& bilder, const QString& programmverzeichnis, const QString& endung)
{
    QStringList fehler;
    tabelleLaden(bilder.GefahrBilder, GefahrStaemme, programmverzeichnis, endung, fehler);
    tabelleLaden(bilder.SchutzBilder, SchutzStaemme, programmverzeichnis, endung, fehler);
    tabelleLaden(bilder.UnterrichtBilder, UnterrichtStaemme, programmverzeichnis, endung, fehler);
    tabelleLaden(bilder.WirkungBilder, WirkungStaemme, programmverzeichnis, endung, fehler);
    tabelleLaden(bilder.KrebsBilder, KrebsStaemme, programmverzeichnis, endung, fehler);
    tabelleLaden(bilder.CancerBilder, CancerStaemme, programmverzeichnis, endung, fehler);
    return fehler;
}

bool SchutzRegelGilt(dbase::Table& chemie)
{
    const auto feld = [&chemie](int position) { return chemie.field(position).asString(); };
    const auto eines = [](const QString& wert, std::initializer_list<const char*> werte) {
        for (const char* w : werte)
            if (wert == QLatin1String(w))
                return true;
        return false;
    };
    return eines(feld(16), {"A1", "A2", "B"})             // KREBS
           || eines(feld(17), {"A", "B", "C"})             // FRUCHTSCH
           || eines(feld(24), {"H", "S"})                  // WIRKUNG
           || eines(feld(33), {"#", "LV", "XXX", "###"})   // UNTERRICHT
           || !feld(21).isEmpty() || !feld(22).isEmpty()   // TRK1, TRK2
           || !feld(23).isEmpty();                         // MAK_FAK
}
