#include "UebernahmeFixture.h"

#include <QJsonObject>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSet>
#include <QTest>

#include "data/Fortschritt.h"
#include "data/ListeEinlesen.h"
#include "dbase/DbaseError.h"
#include "fixtures/Modal.h"
#include "platform/dbase/ForwardingFileIo.h"
#include "update/Datenuebernahme.h"

using namespace uebernahmetest;

namespace {

// The disk under lager.dbf: full beyond `grenze` bytes (a write reaching
// past it fails, one within the file still goes), or, once `abgerissen`,
// gone altogether (every write fails, as when a network share drops); or
// one that fails to make the file safe after `syncsBisFehler` syncs.
struct Lagerplatte {
    std::uint64_t grenze = 0; // 0: no limit
    bool abreissen = false;   // the first refused write takes the share away
    bool abgerissen = false;
    int syncsBisFehler = -1;  // -1: every sync succeeds
    int verweigert = 0;
};

bool istLager(const std::filesystem::path& pfad)
{
    return QString::fromStdString(pfad.filename().string()).compare(u"lager.dbf"_qs, Qt::CaseInsensitive) == 0;
}

class LagerplattenIo final : public dbftest::ForwardingFileIo {
public:
    explicit LagerplattenIo(std::shared_ptr<Lagerplatte> platte) : m_platte(std::move(platte)) {}

    void writeAt(std::uint64_t offset, const char* data, std::size_t size) override
    {
        Lagerplatte& p = *m_platte;
        if (istLager(m_path) && (p.abgerissen || (p.grenze > 0 && offset + size > p.grenze))) {
            ++p.verweigert;
            p.abgerissen = p.abreissen;
            throw dbase::DbaseError("Auf dem Datenträger ist kein Platz mehr für \"" + m_path.string() + "\"");
        }
        ForwardingFileIo::writeAt(offset, data, size);
    }
    // Thousands of rows are written here: syncing each on the real disk
    // would only make the test slow, and durability is not what it checks.
    void sync() override
    {
        Lagerplatte& p = *m_platte;
        if (istLager(m_path) && p.syncsBisFehler >= 0 && p.syncsBisFehler-- == 0) {
            ++p.verweigert;
            throw dbase::DbaseError("Die Datei \"" + m_path.string() + "\" kann nicht gesichert werden");
        }
    }

private:
    std::shared_ptr<Lagerplatte> m_platte;
};

// The first start with the disk above under the register's tables.
class TakeoverOnAFailingDisk : public ErsterStart {
protected:
    // An earlier installation with `anzahl` stock items, each on its own
    // shelf, and the number of old records written (one more: the demo's
    // second bottle).
    qsizetype grosserAltbestand(const QString& ordner, int anzahl)
    {
        demo::DemoData daten = demodaten();
        daten.stock.clear();
        for (int i = 0; i < anzahl; ++i) {
            demo::StockItem item = demodaten().stock[std::size_t(i) % demodaten().stock.size()];
            item.lagerOrt = u"Regal %1"_qs.arg(i + 1);
            daten.stock.push_back(item);
        }
        return demo::writeEarlierVersion(daten, QDir(ordner)).oldStockItems;
    }

    // Where the `n`-th row appended to lager.dbf as it stands ends.
    static std::uint64_t endeDerNeuenZeile(int n)
    {
        QFile datei(u"lager.dbf"_qs);
        EXPECT_TRUE(datei.open(QIODevice::ReadOnly));
        const QByteArray kopf = datei.read(12);
        const auto wert = [&](int stelle, int laenge) {
            std::uint64_t v = 0;
            for (int i = laenge - 1; i >= 0; --i)
                v = v << 8 | std::uint8_t(kopf[stelle + i]);
            return v;
        };
        return wert(8, 2) + (wert(4, 4) + std::uint64_t(n)) * wert(10, 2);
    }

    std::shared_ptr<Lagerplatte> platte = std::make_shared<Lagerplatte>();
    dbftest::ScopedFileIo io{[p = platte] { return std::make_unique<LagerplattenIo>(p); }};
};

QStringList feldwerte(const QJsonArray& zeilen, const char* name)
{
    QStringList werte;
    for (const QJsonValue& z : zeilen)
        werte << z.toObject().value(QLatin1String(name)).toVariant().toString();
    return werte;
}

} // namespace

// The disk fills up while the stock items are written, well past the first
// megabyte of them: the items written are taken out of lager.dbf again, the
// user reads why and that nothing was taken over, and once there is room
// again the same dialog takes every old item over exactly once.
TEST_F(TakeoverOnAFailingDisk, AFullDiskMidwayTakesNothingOverAndTheRetryTakesEachItemOnce)
{
    const QString gross = register_ + u"/Grossbestand"_qs;
    const qsizetype alteSaetze = grosserAltbestand(gross, 3600);
    const QJsonArray vorher = lagerZeilen();

    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        QTest::keyClicks(d.Edit1, gross);
        for (const int n : {3300, 1, int(alteSaetze)}) {
            SCOPED_TRACE(n);
            platte->grenze = endeDerNeuenZeile(n) - 1;
            meldungen.clear();
            QTest::mouseClick(d.Button2, Qt::LeftButton);
            EXPECT_EQ(platte->verweigert, 1) << "the row that did not fit was the only one refused";
            platte->verweigert = 0;
            ASSERT_TRUE(d.isVisible()) << "the dialog stays open for another try";
            EXPECT_TRUE(d.Button2->isEnabled() && d.Button3->isEnabled());
            ASSERT_EQ(meldungen.size(), 1u);
            const QString text = meldungen[0].text;
            EXPECT_TRUE(text.contains(u"kein Platz mehr"_qs)) << text.toStdString();
            EXPECT_TRUE(text.contains(u"Es wurde nichts übernommen"_qs)) << text.toStdString();
            EXPECT_EQ(lagerZeilen(), vorher) << "lager.dbf holds none of the items written before the failure";
        }

        platte->grenze = 0;
        meldungen.clear();
        QTest::mouseClick(d.Button2, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
        // The progress window counted the items as they were written.
        EXPECT_EQ(ListeEinlesen->Label1->text(),
                  u"Daten werden aus Marlex 1.x übernommen: %1 Lagerdatensätze übernommen."_qs.arg(alteSaetze));
        EXPECT_EQ(ListeEinlesen->ProgressBar1->maximumSteps(), alteSaetze);
        EXPECT_EQ(ListeEinlesen->ProgressBar1->position(), alteSaetze);
    });

    ASSERT_TRUE(programm && programm->gestartet());
    ASSERT_EQ(meldungen.size(), 1u);
    EXPECT_EQ(meldungen[0].text, u"Es wurden %1 Lagerdatensätze übernommen."_qs.arg(alteSaetze));
    const fixtures::DbfreadTable lager = fixtures::readWithDbfread("lager.dbf");
    EXPECT_EQ(lager.deletedCount, 0) << "taken back, not left behind deleted";
    ASSERT_EQ(lager.rows.size(), vorher.size() + alteSaetze);
    const QStringList orte = feldwerte(lager.rows, "LAGER_ORT").mid(vorher.size());
    EXPECT_EQ(QSet<QString>(orte.begin(), orte.end()).size(), alteSaetze) << "each old item exactly once";
    EXPECT_TRUE(orte.contains(u"Regal 3600"_qs) && orte.contains(u"Vorbereitungsraum"_qs));
    EXPECT_EQ(Marlex->Label48->text(), QString::number(lager.rows.size())) << "the index agrees with the rows";
}

// The disk takes a stock item's bytes but cannot make its count safe: that
// item is not stored either, nothing of the run stays behind, and the
// next try takes each item over once.
TEST_F(TakeoverOnAFailingDisk, AnItemWhoseSyncFailsIsNotLeftBehindAndTheRetryTakesEachItemOnce)
{
    const QJsonArray vorher = lagerZeilen();
    const qsizetype alteSaetze = qsizetype(demodaten().stock.size()) + 1;
    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        QTest::keyClicks(d.Edit1, alt);
        platte->syncsBisFehler = 0; // the items' bytes, synced before their count is written
        QTest::mouseClick(d.Button2, Qt::LeftButton);
        EXPECT_EQ(platte->verweigert, 1);
        ASSERT_TRUE(d.isVisible());
        ASSERT_EQ(meldungen.size(), 1u);
        EXPECT_TRUE(meldungen[0].text.contains(u"kann nicht gesichert werden"_qs)) << meldungen[0].text.toStdString();
        EXPECT_TRUE(meldungen[0].text.contains(u"Es wurde nichts übernommen"_qs)) << meldungen[0].text.toStdString();
        const fixtures::DbfreadTable lager = fixtures::readWithDbfread("lager.dbf");
        EXPECT_EQ(lager.rows, vorher);
        EXPECT_EQ(lager.deletedCount, 0);
        meldungen.clear();
        QTest::mouseClick(d.Button2, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible());
    });
    EXPECT_EQ(lagerZeilen().size(), vorher.size() + alteSaetze);
}

// A share that drops in the middle, after the first megabyte of items was
// written, leaves none of them: they are counted in lager.dbf only at the
// end of the takeover. The user is told that nothing was taken over, and
// another try takes each item over once.
TEST_F(TakeoverOnAFailingDisk, AShareThatDropsInTheMiddleLeavesNoneOfTheItems)
{
    const QString gross = register_ + u"/Grossbestand"_qs;
    const qsizetype alteSaetze = grosserAltbestand(gross, 3600);
    platte->grenze = endeDerNeuenZeile(3300) - 1;
    platte->abreissen = true;
    const qsizetype vorher = lagerZeilen().size();

    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        QTest::keyClicks(d.Edit1, gross);
        QTest::mouseClick(d.Button2, Qt::LeftButton);
        EXPECT_TRUE(d.isVisible());
        ASSERT_EQ(meldungen.size(), 1u);
        const QString text = meldungen[0].text;
        EXPECT_TRUE(text.contains(u"nichts übernommen"_qs)) << text.toStdString();
        EXPECT_FALSE(text.contains(u"prüfen Sie das Lager"_qs)) << text.toStdString();
        EXPECT_EQ(lagerZeilen().size(), vorher) << "not one item of the first megabyte is counted";
        platte->abgerissen = false;
        platte->grenze = 0;
        QTest::mouseClick(d.Button2, Qt::LeftButton);
        EXPECT_FALSE(d.isVisible()) << "the second try takes the items over";
    });
    EXPECT_EQ(lagerZeilen().size(), vorher + alteSaetze) << "each item once";
}
