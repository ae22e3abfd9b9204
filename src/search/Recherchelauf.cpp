#include "search/Recherchelauf.h"

#include <QAction>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScopeGuard>
#include <QToolButton>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Fortschritt.h"
#include "data/ListeEinlesen.h"
#include "dbase/Table.h"
#include "files/Paths.h"
#include "reports/TabellenWache.h"

namespace {

// chemie.dbf holds its key at 2 and 3.
constexpr int chemieCarn = 2;
constexpr int chemieSubcarn = 3;

QString asciiGross(QString text)
{
    for (QChar& zeichen : text) {
        if (zeichen >= u'a' && zeichen <= u'z')
            zeichen = QChar(zeichen.unicode() - (u'a' - u'A'));
    }
    return text;
}

// The progress window is brought up to date now and then, not once per
// row: a research over a large register would spend its time painting.
class Zwischendurch {
public:
    Zwischendurch() { m_uhr.start(); }
    bool faellig()
    {
        if (m_uhr.elapsed() < 100)
            return false;
        m_uhr.restart();
        return true;
    }

private:
    QElapsedTimer m_uhr;
};

QString fortschrittText(std::size_t gefunden)
{
    return u"Datensätze werden durchsucht: %1 Datensätze gefunden"_qs.arg(gefunden);
}

void umschaltbefehle(Namentabelle ziel, bool enabled)
{
    const bool tmp1 = ziel == Namentabelle::Tmp1;
    (tmp1 ? Marlex->TMP11 : Marlex->TMP21)->setEnabled(enabled);
    (tmp1 ? Marlex->ToolButton49 : Marlex->ToolButton50)->setEnabled(enabled);
}

} // namespace

Stoffschluesselmenge StoffeSuchen(dbase::Table& chemie, const QString& text, bool grossKlein,
                                  const std::function<void(std::size_t gefunden)>& jeSatz)
{
    const QString gesucht = grossKlein ? text : asciiGross(text);
    const int felder = chemie.fieldCount();
    Stoffschluesselmenge stoffe;
    for (chemie.first(); !chemie.eof(); chemie.next()) {
        for (int i = 0; i < felder; ++i) {
            const QString feld = chemie.field(i).asString();
            if ((grossKlein ? feld : asciiGross(feld)).contains(gesucht)) {
                const dbase::RecordView satz = chemie.currentRecord();
                stoffe.emplace(satz.text(chemieCarn), satz.text(chemieSubcarn));
                break;
            }
        }
        if (jeSatz)
            jeSatz(stoffe.size());
    }
    return stoffe;
}

bool RechercheTabelleGefuellt(Namentabelle ziel)
{
    const QString datei = namentabellenDatei(ziel);
    if (!files::find(datei))
        return false;
    dbase::Table& tabelle = *Datas->Table5;
    tabelle.close();
    tabelle.setTableName(datei);
    tabelle.setIndexFiles(namentabellenIndexDatei(ziel));
    tabelle.open();
    const auto schliessen = qScopeGuard([&] { tabelle.close(); });
    return !tabelle.isEmpty();
}

std::uint32_t RechercheAusfuehren(const Rechercheauftrag& auftrag)
{
    dbase::Table& namen = *Datas->Table1;
    dbase::Table& chemie = *Datas->Table2;
    dbase::Table& ziel = *Datas->Table5;
    std::uint32_t zeilen = 0;
    bool zielAngefasst = false;
    try {
        reports::TabellenWache wache({&namen, &chemie});
        if (!auftrag.filterMitbenutzen)
            chemie.setFiltered(false);

        const auto schliessen = qScopeGuard([] { ListeEinlesen->hide(); });
        ListeEinlesen->setWindowTitle(u"Recherche"_qs);
        ListeEinlesen->ProgressBar1->setPosition(0);
        ListeEinlesen->ProgressBar1->setMaximumSteps(static_cast<int>(chemie.recordCount()));
        ListeEinlesen->show();
        ListeEinlesen->Label1->setText(fortschrittText(0));
        QCoreApplication::processEvents();

        Zwischendurch zwischendurch;
        // The label counts the substances found so far, brought up to date
        // whenever the window is.
        const Stoffschluesselmenge stoffe =
            StoffeSuchen(chemie, auftrag.text, auftrag.grossKlein, [&](std::size_t gefunden) {
                ListeEinlesen->ProgressBar1->stepIt();
                if (!zwischendurch.faellig())
                    return;
                ListeEinlesen->Label1->setText(fortschrittText(gefunden));
                QCoreApplication::processEvents();
            });
        ListeEinlesen->Label1->setText(fortschrittText(stoffe.size()));
        QCoreApplication::processEvents();

        // All name rows of the current name table, not only those of the
        // list filter's table.
        if (namen.tableName() != Marlex->AktuelleNamenDatei)
            aktuelleNamentabelleOeffnen(namen);
        ziel.close();
        ziel.setTableName(namentabellenDatei(auftrag.ziel));
        zielAngefasst = true;
        zeilen = NamenszeilenTabelleErzeugen(namen, ziel, stoffe,
                                             auftrag.synonyme ? Namenswahl::Alle : Namenswahl::ErsteJeStoff,
                                             [&](std::uint32_t) {
                                                 if (zwischendurch.faellig())
                                                     QCoreApplication::processEvents();
                                             });
        wache.restore();
    } catch (...) {
        if (zielAngefasst)
            umschaltbefehle(auftrag.ziel, false);
        throw;
    }

    umschaltbefehle(auftrag.ziel, zeilen > 0);
    if (zeilen > 0) {
        if (auftrag.ziel == Namentabelle::Tmp1)
            Marlex->Tmp1DatenbankAktivieren();
        else
            Marlex->Tmp2DatenbankAktivieren();
    }
    return zeilen;
}
