// The first start offers the takeover of an earlier version's storage data,
// and only the first: the flag "First" is cleared once the offer has been
// answered, however it was.

#include "StartFixture.h"

#include <QApplication>
#include <QTimer>

#include "fixtures/Modal.h"
#include "update/Datenuebernahme.h"

namespace {

QString first(const QString& prog)
{
    return ini::IniFile(prog + u"marlex99.ini"_qs).readString(SektionOptionen, u"First"_qs, u"(fehlt)"_qs);
}

QByteArray bytes(const QString& datei)
{
    QFile f(datei);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

TEST_F(Start, TheFirstStartOffersTheTakeoverAndClearsTheFlagOnlyOnceTheDialogIsClosed)
{
    option(u"First"_qs, u"1"_qs);
    const QByteArray lager = bytes(u"lager.dbf"_qs);
    fixtures::imDialogVon<TDatenuebernahme>([&] { starten(); }, [&](TDatenuebernahme& d) {
        EXPECT_EQ(first(prog), u"1"_qs) << "not cleared before the user has answered";
        EXPECT_FALSE(Datas->Table3->active()) << "the tables are opened after the offer";
        d.close(); // the title bar's close box
        EXPECT_FALSE(d.isVisible());
    });
    ASSERT_TRUE(programm && programm->gestartet());
    EXPECT_EQ(first(prog), u"0"_qs);
    EXPECT_EQ(bytes(u"lager.dbf"_qs), lager) << "closed without a takeover";
    EXPECT_EQ(listenTexte(), starttest::alleNamen);
    EXPECT_TRUE(meldungenDesStarts().isEmpty()) << meldungenDesStarts().join(u'\n').toStdString();
}

TEST_F(Start, ALaterStartOffersNoTakeover)
{
    option(u"First"_qs, u"0"_qs);
    QStringList dialoge;
    QTimer wache;
    QObject::connect(&wache, &QTimer::timeout, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            dialoge << modal->objectName();
            modal->close();
        }
    });
    wache.start(0);
    starten();
    wache.stop();
    ASSERT_TRUE(programm->gestartet());
    EXPECT_TRUE(dialoge.isEmpty()) << dialoge.join(u", "_qs).toStdString();
    EXPECT_EQ(first(prog), u"0"_qs);
}
