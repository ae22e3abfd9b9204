// The program killed in the middle of a change of the register, right after
// each of its syncs in turn (the register kept as the kill leaves it): the
// next start takes the change back, says so,
// and leaves namen.dbf, chemie.dbf and formeln.dbf consistent as another
// dBASE reader sees them; a change that returned is there.

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>

#include <gtest/gtest.h>

#include <QAction>
#include <QJsonObject>

#include "StartFixture.h"
#include "dbase/DbfFile.h"
#include "fixtures/Dbfread.h"
#include "platform/dbase/PowerLossIo.h"

using namespace starttest;

namespace {

// Counts the syncs of files opened under it (directories too) and keeps
// the register as it stands right after the one that makes the count reach
// zero: as a kill there would leave it.
class TodNachSync final : public dbftest::ForwardingFileIo {
public:
    struct Zaehler {
        int rest = 0;
        std::optional<dbftest::DirectoryFiles> tot; // what a kill leaves: the system keeps its writes
    };
    explicit TodNachSync(std::shared_ptr<Zaehler> zaehler) : m_zaehler(std::move(zaehler)) {}
    void sync() override
    {
        m_inner->sync();
        gezaehlt();
    }
    void syncDirectory() override
    {
        m_inner->syncDirectory();
        gezaehlt();
    }

private:
    void gezaehlt()
    {
        if (m_zaehler->rest > 0 && --m_zaehler->rest == 0)
            m_zaehler->tot.emplace();
    }
    std::shared_ptr<Zaehler> m_zaehler;
};

QString schluessel(const QJsonObject& zeile)
{
    return zeile["CARN"].toString().trimmed() + u"/"_qs + QString::number(zeile["SUBCARN"].toVariant().toInt());
}

// Live rows of a table as dbfread reads them, by CARN/SUBCARN with their
// names (empty for tables without NAME1); and no bytes past the counted rows.
std::multimap<QString, QString> zeilen(const char* tabelle)
{
    const auto datei = dbase::DbfFile::open(tabelle, dbase::OpenMode::ReadOnly, dbase::ShareMode::Shared);
    const dbase::DbfHeader& kopf = datei->header();
    const std::uintmax_t gezaehlt = kopf.headerLength + std::uintmax_t(kopf.recordCount) * kopf.recordLength;
    const std::uintmax_t groesse = std::filesystem::file_size(tabelle);
    EXPECT_TRUE(groesse == gezaehlt || groesse == gezaehlt + 1)
        << tabelle << ": " << groesse - gezaehlt << " Bytes nach den gezählten Datensätzen";
    std::multimap<QString, QString> ergebnis;
    for (const QJsonValue& zeile : fixtures::readWithDbfread(tabelle).rows)
        ergebnis.emplace(schluessel(zeile.toObject()), zeile.toObject()["NAME1"].toString());
    return ergebnis;
}

struct Register {
    std::multimap<QString, QString> namen, chemie, formeln;
    bool operator==(const Register&) const = default;
};

// Every live name row with its live substance, every substance with a name
// row, every formula row with its substance.
Register konsistentesRegister()
{
    Register r{zeilen("namen.dbf"), zeilen("chemie.dbf"), zeilen("formeln.dbf")};
    std::set<QString> stoffe;
    for (const auto& [k, name] : r.chemie) {
        stoffe.insert(k);
        EXPECT_TRUE(r.namen.contains(k)) << "Stoff " << k.toStdString() << " ohne Namenszeile";
    }
    for (const auto& [k, name] : r.namen)
        EXPECT_TRUE(stoffe.contains(k)) << "Name " << name.toStdString() << " ohne Stoff";
    for (const auto& [k, name] : r.formeln)
        EXPECT_TRUE(stoffe.contains(k)) << "Formel " << k.toStdString() << " ohne Stoff";
    return r;
}

void zeileWaehlen(const QString& name)
{
    int zeile = Marlex->ListBox1->count() - 1;
    while (zeile >= 0 && Marlex->ListBox1->text(zeile) != name)
        --zeile;
    ASSERT_GE(zeile, 0) << name.toStdString();
    Marlex->ListBox1->setItemIndex(zeile);
    Marlex->ListBox1Click();
}

struct Aenderung {
    const char* name;
    std::function<void()> machen;
};

const Aenderung aenderungen[] = {
    {"Loeschen",
     [] {
         zeileWaehlen(u"Natriumchlorid"_qs);
         Marlex->Lschen1->trigger();
     }},
    {"Kopieren",
     [] {
         zeileWaehlen(u"Aceton"_qs);
         Marlex->stoffKopieren(u"Propanon"_qs);
     }},
};

void PrintTo(const Aenderung& a, std::ostream* out) { *out << a.name; }

const QString zurueckgenommen = u"Eine unterbrochene Änderung des Registers wurde zurückgenommen."_qs;

class Absturz : public Start, public ::testing::WithParamInterface<Aenderung> {
protected:
    // The change, with the register kept as a kill right after its n-th
    // sync (n = 0: never) would leave it, and put in place once the program
    // has ended; true when the change returned before.
    bool lauf(int n)
    {
        auto zaehler = std::make_shared<TodNachSync::Zaehler>();
        {
            const dbftest::ScopedFileIo io{[zaehler] { return std::make_unique<TodNachSync>(zaehler); }};
            starten();
            EXPECT_TRUE(programm->gestartet());
            const widgets::ScopedAnswerProvider ja{[](const widgets::MessageRequest&) { return widgets::Answer::Yes; }};
            zaehler->rest = n;
            GetParam().machen();
            programm.reset();
        }
        if (!zaehler->tot)
            return true;
        zaehler->tot->restore();
        return false;
    }

    // The next start, and whether it told of a change taken back.
    bool naechsterStart()
    {
        meldungen.clear();
        starten();
        EXPECT_TRUE(programm->gestartet());
        const bool gemeldet = meldungenDesStarts().contains(
            u"Eine unterbrochene Änderung des Registers wurde zurückgenommen."_qs);
        programm.reset();
        return gemeldet;
    }
};

TEST_P(Absturz, NachJedemSyncGetoetetLaesstDerNaechsteStartDieAenderungGanzOderGarNicht)
{
    const dbftest::DirectoryFiles anfang;
    const Register vorher = konsistentesRegister();
    ASSERT_TRUE(lauf(0));
    EXPECT_FALSE(naechsterStart());
    const Register nachher = konsistentesRegister();
    ASSERT_NE(nachher, vorher);

    bool fertig = false;
    int zurueckgenommen = 0;
    for (int n = 1; !fertig && n < 200 && !HasFailure(); ++n) {
        SCOPED_TRACE(testing::Message() << "getötet nach Sync " << n);
        anfang.restore();
        fertig = lauf(n);
        const bool gemeldet = naechsterStart();
        const Register danach = konsistentesRegister();
        if (fertig) {
            EXPECT_EQ(danach, nachher) << "Die zurückgekehrte Änderung fehlt";
            EXPECT_FALSE(gemeldet);
        } else {
            EXPECT_TRUE(danach == vorher || danach == nachher) << "Die Änderung ist halb gemacht";
            if (gemeldet) {
                EXPECT_EQ(danach, vorher) << "Zurückgenommen, aber nicht wie vorher";
                ++zurueckgenommen;
            }
        }
    }
    EXPECT_TRUE(fertig);
    EXPECT_GT(zurueckgenommen, 0) << "Keiner der Tode traf die Mitte der Änderung";
}

INSTANTIATE_TEST_SUITE_P(Register, Absturz, ::testing::ValuesIn(aenderungen),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
