#pragma once

#include <array>
#include <cstddef>
#include <span>

#include <QString>
#include <QStringList>

#include "graphics/Picture.h"

namespace dbase { class Table; }

// The pictogram pictures of the symbol panel, the substance sheet and the
// labels. Each entry is a pair: member 0 the plain picture, member 1 the
// colour picture ("F_" + the plain stem). Which member is shown is
// FarbDarstellung on the screen and FarbDruck on paper.

using BildPaar = std::array<graphics::Picture, 2>;

// The field values that select an entry, compared exactly, and the file
// stems (ending with a point; the extension is the "symbolendung" setting).
inline constexpr std::array<const char*, 10> GefahrCodes = {"C", "F", "F+", "T", "T+", "Xn", "Xi", "O", "E", "N"};
inline constexpr std::array<const char*, 10> GefahrStaemme = {"C.", "F.", "F+.", "T.", "T+.",
                                                              "Xn.", "Xi.", "O.", "E.", "N."};
inline constexpr std::array<const char*, 3> SchutzStaemme = {"ABZUG.", "SCHUTZ.", "HAND."};
inline constexpr std::array<const char*, 10> UnterrichtCodes = {"???", "SI", "SII", "###", "LV",
                                                                "XXX", "SI#", "SII#", "LV*", "SII*"};
inline constexpr std::array<const char*, 10> UnterrichtStaemme = {"NOSEEK.", "SCHULE.", "SEKII.", "###.", "LV.",
                                                                  "XXX.", "SCHULE.", "SEKII.", "LV&.", "SEKII&."};
inline constexpr std::array<const char*, 5> WirkungCodes = {"S", "HP", "H", "P", "HS"};
inline constexpr std::array<const char*, 5> WirkungStaemme = {"S.", "HP.", "H.", "P.", "HS."};
inline constexpr std::array<const char*, 8> KrebsCodes = {"B", "A1", "A2", "1", "2", "3", "4", "5"};
inline constexpr std::array<const char*, 8> KrebsStaemme = {"B.", "A1.", "A2.", "1.", "2.", "3.", "4.", "5."};
inline constexpr std::array<const char*, 3> CancerCodes = {"1", "2", "3"};
inline constexpr std::array<const char*, 3> CancerStaemme = {"C1.", "C2.", "C3."};

// The picture name the record editor stores for each item of the hazard
// symbol boxes, in the boxes' item order "C", "E", "F+", "F", "N", "O",
// "T+", "T", "Xi", "Xn".
inline constexpr std::array<const char*, 10> SymbolDateinamen = {"C.", "E.", "FPLU.", "F.", "N.",
                                                                 "O.", "TPLU.", "T.", "XI.", "XN."};

// The picture shown in place of the structure picture when a name has no
// substance record.
inline constexpr const char* KeineDatenStamm = "NODATA.";

// The 39 picture pairs, loaded once at start and only read afterwards.
struct SymbolBilder {
    std::array<BildPaar, 10> GefahrBilder;
    std::array<BildPaar, 3> SchutzBilder;
    std::array<BildPaar, 10> UnterrichtBilder;
    std::array<BildPaar, 5> WirkungBilder;
    std::array<BildPaar, 8> KrebsBilder;
    std::array<BildPaar, 3> CancerBilder;
};

// The file of a pictogram: programmverzeichnis + "Symbol\" + (colour ?
// "F_" : "") + stem + endung.
QString symbolDatei(const QString& programmverzeichnis, const QString& stamm, const QString& endung,
                    bool farbe);

// Loads every picture of the tables in table order, plain before colour. A
// file that is missing or cannot be read leaves its picture empty and the
// loading goes on; the result holds one line per such file: its name in the
// Symbol folder, and for a file that is there but unreadable, why.
QStringList SymbolBilderLaden(SymbolBilder& bilder, const QString& programmverzeichnis, const QString& endung);

// The picture of the entry whose code equals `wert` exactly; an empty
// picture when no code does.
template <std::size_t N>
graphics::Picture bildZuCode(const std::array<BildPaar, N>& bilder, const std::array<const char*, N>& codes,
                             const QString& wert, int farbe)
{
    for (std::size_t k = 0; k < N; ++k)
        if (wert == QLatin1String(codes[k]))
            return bilder[k][farbe != 0 ? 1 : 0];
    return {};
}

// Whether a substance needs the three precaution pictures (fume cupboard,
// protective clothing, gloves): carcinogenic or reprotoxic categories, skin
// or sensitising effects, the school-use bans, or any technical exposure
// limit. `chemie` stands on the substance record; fields by position.
bool SchutzRegelGilt(dbase::Table& chemie);
