// A process killed while it takes substances into storage, the way a drop of
// many list lines stores them one by one: lager.dbf still opens, with every
// row that was stored before, found by its key, and readable by another
// program.

#include <gtest/gtest.h>

#include <csignal>

#include <QDate>
#include <QJsonObject>

#include "MarlexTestSupport.h"
#include "fixtures/Dbfread.h"
#include "platform/dbase/ChildProcess.h"

using namespace marlextest;

namespace {

QString carnVon(int i)
{
    return QStringLiteral("100-%1-0").arg(i);
}

QString nameVon(int i)
{
    return QStringLiteral("Stoff %1").arg(i);
}

} // namespace

TEST(LagerAbsturz, AKillWhileStorageRowsAreStoredKeepsEveryRowStoredBefore)
{
    for (const int gemeldet : {3, 25, 60}) {
        SCOPED_TRACE(gemeldet);
        fixtures::TempDir dir;
        lagerSchreiben({});
        int rohr[2];
        ASSERT_EQ(::pipe(rohr), 0);
        const pid_t kind = dbftest::startChild([&] {
            ::close(rohr[0]);
            dbase::Table lager;
            lager.setTableName(QStringLiteral("lager.dbf"));
            lager.setIndexName(QStringLiteral("CARN_SUB"));
            lager.open();
            for (int i = 0;; ++i) {
                LagerzeileSpeichern(lager, nameVon(i), carnVon(i), QStringLiteral("1"));
                if (::write(rohr[1], &i, sizeof i) != sizeof i)
                    return 1;
            }
        });
        ::close(rohr[1]);
        int zuletzt = -1;
        while (zuletzt + 1 < gemeldet && ::read(rohr[0], &zuletzt, sizeof zuletzt) == sizeof zuletzt) {
        }
        ::kill(kind, SIGKILL);
        EXPECT_EQ(dbftest::exitCodeOf(kind), -1) << "killed, not ended";
        ::close(rohr[0]);
        ASSERT_EQ(zuletzt + 1, gemeldet);

        dbase::Table lager;
        lager.setTableName(QStringLiteral("lager.dbf"));
        lager.setIndexName(QStringLiteral("CARN_SUB"));
        ASSERT_NO_THROW(lager.open());
        EXPECT_GE(lager.recordCount(), static_cast<std::uint32_t>(gemeldet));
        for (int i = 0; i < gemeldet; ++i) {
            ASSERT_TRUE(lager.findKey({carnVon(i), QStringLiteral("1")})) << i;
            EXPECT_EQ(lager.fieldByName("NAME1").asString(), nameVon(i));
            EXPECT_EQ(lager.fieldByName("ANZAHL").asInteger(), 1);
            EXPECT_EQ(lager.fieldByName("DATUM_NEU").asDate(), QDate::currentDate());
        }
        const fixtures::DbfreadTable gelesen = fixtures::readWithDbfread("lager.dbf");
        ASSERT_GE(gelesen.rows.size(), gemeldet);
        for (int i = 0; i < gelesen.rows.size(); ++i)
            EXPECT_EQ(gelesen.rows[i].toObject()["NAME1"].toString(), nameVon(i));
    }
}
