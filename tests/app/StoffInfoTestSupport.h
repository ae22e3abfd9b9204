#pragma once

// The register, sheet layout and fixture of the substance sheet tests: a
// small register with the main window started on it, the sheet engine with
// a standard layout loaded, and a test printer that keeps every job's pages.

#include <cstdint>
#include <functional>
#include <ostream>
#include <vector>

#include <gtest/gtest.h>

#include <QString>
#include <QStringList>

#include "MarlexTestSupport.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "report/Output.h"
#include "reports/StoffInfo.h"

namespace stoffinfotest {

using namespace marlextest;

// Where a table stands: everything a sheet run may change and must give back.
struct Tabellenstand {
    bool offen = false;
    QString datei;
    QString indexDatei;
    QString tag;
    QString filter;
    bool gefiltert = false;
    dbase::FilterOptions optionen;
    std::uint32_t satz = 0;
    bool operator==(const Tabellenstand&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Tabellenstand& s);

// The tables a sheet run touches: name, substance, storage, phrase and
// structure table, in that order.
std::vector<Tabellenstand> tabellenstand();
// Moves the table to its first row whose field has the value.
void aufZeile(dbase::Table& t, const char* feld, const QString& wert);
QStringList texte(const std::vector<report::Page>& seiten);
std::vector<report::DrawnItem> bilder(const std::vector<report::Page>& seiten);

// Substances of the register:
//   67-64-1   Aceton and Dimethylketon, stock "Schrank 2" and "Schrank 3",
//             structure picture
//   64-17-5   Ethanol, stock "Keller", structure picture
//   12'3      Bob's Stoff, stock "Regal B" (an apostrophe in its key)
//   12        Zwölf, stock "Regal A"
//   7732-18-5 Wasser: no stock, no structure picture
//   99-99-9   Unbekannt: a name without a substance record
void registerFuellen(Register& reg);

// The sheet most tests print: a title with a conditional text, and a detail
// band with the substance's name, the selected name, the stock place, the
// phrases, the sum formula and the structure picture.
std::vector<Blattband> standardblatt();

class StoffInfoTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerFuellen(reg);
        reg.starten();
        Datas->Table4->open();
        OptOnlyEtikett = true;
        FarbDruck = 0;
        StoffInfo = &stoffInfo;
        blattSchreiben(QStringLiteral("blatt.sto"), standardblatt());
        stoffInfo.LoadStoffinfo(QStringLiteral("blatt.sto"));
    }

    void TearDown() override
    {
        StoffInfo = nullptr;
        OptOnlyEtikett = false;
        for (QString* rand : {&OptRandOben, &OptRandUnten, &OptRandLinks, &OptRandRechts})
            rand->clear();
        FarbDruck = 0;
    }

    // Prints the sheet of the named substance, Table1 standing on that name.
    bool drucke(const QString& name)
    {
        aufZeile(*Datas->Table1, "NAME1", name);
        stoffInfo.DruckModus = 1;
        return stoffInfo.Erstellen();
    }

    // The list filter as "GEFSYM1='F'" leaves it: chemie filtered, the names
    // of Aceton and Ethanol copied into filter.dbf, the name table reading
    // from there.
    void listenfilterSetzen()
    {
        namenSchreiben({{QStringLiteral("Aceton"), QStringLiteral("67-64-1")},
                        {QStringLiteral("Dimethylketon"), QStringLiteral("67-64-1")},
                        {QStringLiteral("Ethanol"), QStringLiteral("64-17-5")}},
                       QStringLiteral("filter.dbf"));
        dbase::Table& namen = *Datas->Table1;
        namen.close();
        namen.setTableName(QStringLiteral("filter.dbf"));
        namen.setIndexFiles(QStringLiteral("filter.mdx"));
        namen.open();
        Datas->Table2->setFilterText(QStringLiteral("GEFSYM1='F'"));
        Datas->Table2->setFiltered(true);
        Marlex->ListenFilterAktiv = 1;
    }

    // The texts of the one print job so far.
    QStringList gedruckteTexte() const
    {
        EXPECT_EQ(auftraege.size(), 1u);
        return auftraege.empty() ? QStringList() : texte(auftraege.back());
    }

    QStringList meldungstexte() const
    {
        QStringList liste;
        for (const widgets::MessageRequest& m : reg.meldungen())
            liste << m.text;
        return liste;
    }

    Register reg;
    TStoffInfo stoffInfo;
    std::vector<std::vector<report::Page>> auftraege;
    std::function<void()> imDruck; // runs while a job reaches the printer
    report::ScopedPrinters drucker{{QStringLiteral("Testdrucker")}, 0,
                                   [this](const QString&, const std::vector<report::Page>& seiten) {
                                       auftraege.push_back(seiten);
                                       if (imDruck)
                                           imDruck();
                                   }};
};


} // namespace stoffinfotest
