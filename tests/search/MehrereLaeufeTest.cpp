#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStringList>

#include "FilterTestSupport.h"
#include "fixtures/Dbfread.h"
#include "fixtures/Files.h"

using namespace filtertest;

// Names in failure reports as text.
static void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace {

const QStringList leichtEntzuendlich = {u"Aceton"_qs, u"Benzol"_qs, u"Dimethylketon"_qs, u"Propanon"_qs};

// A run of the program as its own process on the test's register, for one
// user (the user's folders in the test's directory).
class Lauf {
public:
    Lauf(const QString& programm, const QString& benutzer, const QString& recherche = {})
    {
        QProcessEnvironment umgebung = QProcessEnvironment::systemEnvironment();
        umgebung.insert(u"XDG_CONFIG_HOME"_qs, benutzer);
        umgebung.insert(u"QT_QPA_PLATFORM"_qs, u"offscreen"_qs);
        m_prozess.setProcessEnvironment(umgebung);
        m_prozess.setWorkingDirectory(QDir::currentPath());
        m_prozess.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QStringList argumente = {programm};
        if (!recherche.isEmpty())
            argumente << recherche;
        m_prozess.start(QStringLiteral(LAUF_PROGRAMM), argumente);
        // Up to its line "bereit" (or its end): the start and the research are done.
        while (m_zeilen.isEmpty() || !m_zeilen.constLast().startsWith(u"bereit"_qs)) {
            if (!m_prozess.canReadLine() && !m_prozess.waitForReadyRead(60000))
                break;
            while (m_prozess.canReadLine())
                m_zeilen << QString::fromUtf8(m_prozess.readLine()).chopped(1);
        }
    }

    ~Lauf()
    {
        if (m_prozess.state() != QProcess::NotRunning) {
            m_prozess.kill();
            m_prozess.waitForFinished();
        }
    }

    // Whether it came up: its line "bereit".
    bool bereit() const { return !m_zeilen.isEmpty() && m_zeilen.constLast().startsWith(u"bereit"_qs); }
    QString ausgabe() const { return m_zeilen.join(u'\n'); }
    // The folder of its research and filter tables.
    QString ordner() const { return bereit() ? m_zeilen.constLast().split(u'\t').value(1) : QString(); }
    // The names its list shows.
    QStringList liste() const { return bereit() ? m_zeilen.constLast().split(u'\t').mid(2) : QStringList(); }

    // Quits as the user does; its exit code.
    int beenden()
    {
        m_prozess.write("ende\n");
        m_prozess.closeWriteChannel();
        if (!m_prozess.waitForFinished(60000))
            return -1;
        return m_prozess.exitStatus() == QProcess::NormalExit ? m_prozess.exitCode() : -1;
    }

    // Ends as a power cut or a kill ends it.
    void abbrechen()
    {
        m_prozess.kill();
        m_prozess.waitForFinished();
    }

private:
    QProcess m_prozess;
    QStringList m_zeilen;
};

QStringList namenIn(const QString& datei)
{
    QStringList namen;
    for (const QJsonValue& zeile : fixtures::readWithDbfread(datei.toStdString()).rows)
        namen << zeile[u"NAME1"_qs].toString();
    namen.sort();
    return namen;
}

class MehrereLaeufe : public ::testing::Test {
protected:
    void SetUp() override
    {
        registerSchreiben(reg);
        reg.einstellung(u"Optionen"_qs, u"First"_qs, u"0"_qs);
        benutzer = QDir::currentPath() + u"/benutzer"_qs;
        // Shared tables an older version left in the register's folder.
        for (const char* datei : {"zan_tmp1.dbf", "zan_tmp2.dbf", "filter.dbf"}) {
            QFile alt(QString::fromLatin1(datei));
            ASSERT_TRUE(alt.open(QIODevice::WriteOnly));
            alt.write("alte gemeinsame Datei");
        }
    }

    // The run folders in the user's folder.
    QStringList laufordner() const
    {
        return QDir(benutzer + u"/Marlex99/Arbeitsdateien"_qs).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    }

    void alteDateienUnberuehrt()
    {
        for (const char* datei : {"zan_tmp1.dbf", "zan_tmp2.dbf", "filter.dbf"})
            EXPECT_EQ(fixtures::readFile(datei), "alte gemeinsame Datei") << datei;
    }

    marlextest::Register reg;
    QString benutzer;
};

} // namespace

// Two users research on one register at once: each run's research table is
// its own, and a third user starts while both show their research lists.
TEST_F(MehrereLaeufe, EachRunKeepsItsOwnResearchAndAThirdStartIsNotRefused)
{
    Lauf a(reg.programm(), benutzer, u"f+"_qs);
    ASSERT_TRUE(a.bereit()) << a.ausgabe().toStdString();
    EXPECT_EQ(a.liste(), leichtEntzuendlich);
    const QString tabelleA = a.ordner() + u"/zan_tmp1.dbf"_qs;
    ASSERT_EQ(namenIn(tabelleA), leichtEntzuendlich);
    const std::string vorherA = fixtures::readFile(tabelleA.toStdString());

    Lauf b(reg.programm(), benutzer, u"Chlor"_qs);
    ASSERT_TRUE(b.bereit()) << b.ausgabe().toStdString();
    EXPECT_EQ(b.liste(), QStringList{u"Chlor"_qs});
    EXPECT_NE(b.ordner(), a.ordner());
    EXPECT_EQ(namenIn(b.ordner() + u"/zan_tmp1.dbf"_qs), QStringList{u"Chlor"_qs});
    EXPECT_EQ(fixtures::readFile(tabelleA.toStdString()), vorherA) << "B's research left A's table as it was";
    EXPECT_EQ(namenIn(tabelleA), leichtEntzuendlich);

    Lauf c(reg.programm(), benutzer);
    ASSERT_TRUE(c.bereit()) << "a third start is not refused: " << c.ausgabe().toStdString();
    EXPECT_FALSE(c.ausgabe().contains(u"meldung"_qs)) << c.ausgabe().toStdString();
    EXPECT_EQ(c.liste().size(), 7);
    EXPECT_EQ(laufordner().size(), 3);

    EXPECT_EQ(b.beenden(), 0);
    EXPECT_EQ(namenIn(tabelleA), leichtEntzuendlich) << "B's quitting left A's table too";
    EXPECT_FALSE(QFileInfo::exists(b.ordner())) << "a run removes its folder when it quits";
    EXPECT_EQ(a.beenden(), 0);
    EXPECT_EQ(c.beenden(), 0);
    EXPECT_TRUE(laufordner().isEmpty()) << laufordner().join(u' ').toStdString();
    alteDateienUnberuehrt();
}

// A run that is killed leaves its folder behind; the next start removes it,
// and only it: the folder of a run still working stays.
TEST_F(MehrereLaeufe, TheFolderOfAKilledRunIsRemovedAtTheNextStartAndNoOther)
{
    Lauf lebend(reg.programm(), benutzer, u"f+"_qs);
    ASSERT_TRUE(lebend.bereit()) << lebend.ausgabe().toStdString();
    QString totOrdner;
    {
        Lauf tot(reg.programm(), benutzer, u"Chlor"_qs);
        ASSERT_TRUE(tot.bereit()) << tot.ausgabe().toStdString();
        totOrdner = tot.ordner();
        tot.abbrechen();
    }
    ASSERT_TRUE(QFileInfo::exists(totOrdner + u"/zan_tmp1.dbf"_qs)) << "a kill removes nothing";
    EXPECT_EQ(laufordner().size(), 2);

    Lauf neu(reg.programm(), benutzer);
    ASSERT_TRUE(neu.bereit()) << neu.ausgabe().toStdString();
    EXPECT_FALSE(QFileInfo::exists(totOrdner)) << "the killed run's folder is gone";
    EXPECT_EQ(namenIn(lebend.ordner() + u"/zan_tmp1.dbf"_qs), leichtEntzuendlich) << "the live run's stays";
    EXPECT_EQ(laufordner().size(), 2);
    EXPECT_EQ(neu.beenden(), 0);
    EXPECT_EQ(lebend.beenden(), 0);
    EXPECT_TRUE(laufordner().isEmpty()) << laufordner().join(u' ').toStdString();
    alteDateienUnberuehrt();
}
