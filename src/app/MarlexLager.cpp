// The storage page: taking substances into storage from the name list, the
// storage edit mode, the label count keys, deleting a storage row, the
// list's storage markers, and entering and leaving the page.

#include <algorithm>
#include <utility>

#include <QAbstractItemDelegate>
#include <QAction>
#include <QDate>
#include <QKeyEvent>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QToolButton>

#include "app/Marlex.h"
#include "app/Datennavigator.h"
#include "app/Einstufung.h"
#include "app/NameRules.h"
#include "app/SymbolBild.h"
#include "app/TabellenLeihe.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "search/AktuellerFilter.h"
#include "search/AktuellerLagerFilter.h"
#include "widgets/DBGrid.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

const QString carnSub = QStringLiteral("CARN_SUB");
const QString name1Sub = QStringLiteral("NAME1_SUB");

// Runs a command; what the tables refuse is told, not thrown at the event loop.
template <typename Befehl>
void melden(QWidget* fenster, Befehl befehl)
{
    try {
        befehl();
    } catch (const std::exception& fehler) {
        widgets::MessageBox::error(fenster, widgets::errorText(fehler));
    }
}

// The current storage row exists: a stored one, or a new one not yet stored.
bool hatAktuelleZeile(const dbase::Table& lager)
{
    return lager.state() == dbase::TableState::Insert || lager.recNo() != 0;
}

} // namespace

void LagerzeileAnhaengen(dbase::Table& lager, const QString& name1, const QString& carn, const QString& subcarn)
{
    const QDate heute = QDate::currentDate();
    lager.append();
    try {
        lager.fieldByName("NAME1").setAsString(name1);
        lager.fieldByName("CARN").setAsString(carn);
        lager.fieldByName("SUBCARN").setAsString(subcarn);
        lager.fieldByName("MENGE_IN_G").setAsInteger(0);
        lager.fieldByName("DATUM_ALT").setAsDate(heute);
        lager.fieldByName("DATUM_NEU").setAsDate(heute);
        lager.fieldByName("DIFFE_IN_G").setAsInteger(0);
        lager.fieldByName("ANZAHL").setAsInteger(1);
        lager.fieldByName("STRIPNAME1").setAsString(StripNameBilden(name1));
    } catch (...) {
        lager.cancel();
        throw;
    }
}

void LagerzeileSpeichern(dbase::Table& lager, const QString& name1, const QString& carn, const QString& subcarn)
{
    LagerzeileAnhaengen(lager, name1, carn, subcarn);
    try {
        lager.post();
    } catch (...) {
        lager.cancel();
        throw;
    }
    lager.flush();
}

void LagerDatumStempeln(dbase::Table& lager)
{
    if (lager.state() != dbase::TableState::Edit)
        return;
    const dbase::TableLayout& felder = lager.layout();
    const int menge = felder.indexOf("MENGE_IN_G");
    const int alt = felder.indexOf("DATUM_ALT");
    const int neu = felder.indexOf("DATUM_NEU");
    if (menge < 0 || alt < 0 || neu < 0)
        return;
    const dbase::RecordView vorher = lager.storedRecord();
    const dbase::RecordView jetzt = lager.currentRecord();
    if (jetzt.raw(menge) == vorher.raw(menge))
        return;
    const bool altGetippt = jetzt.raw(alt) != vorher.raw(alt);
    const bool neuGetippt = jetzt.raw(neu) != vorher.raw(neu);
    const std::optional<QDate> letzteAenderung = vorher.date(neu);
    if (!altGetippt) {
        if (letzteAenderung)
            lager.field(alt).setAsDate(*letzteAenderung);
        else
            lager.field(alt).clear();
    }
    if (!neuGetippt)
        lager.field(neu).setAsDate(QDate::currentDate());
}

void TMarlex::lagerBefehleVerbinden()
{
    Editieren2->setCheckable(true);
    connect(Menu31, &QAction::triggered, this, [this] { melden(this, [this] { Menu31Click(); }); });
    // The rows are taken once the drop has ended, not inside the drag's events.
    connect(this, &TMarlex::listenzeilenAbgelegt, this, [this](QObject* ziel, const std::vector<int>& zeilen) {
        if (ziel == Image11)
            QTimer::singleShot(0, this, [this, zeilen] { melden(this, [&] { Image11DragDrop(zeilen); }); });
    });
    connect(ToolButton25, &QToolButton::clicked, this, &TMarlex::ToolButton25Click);
    connect(Neu2, &QAction::triggered, this, &TMarlex::ToolButton25Click);
    connect(ToolButton31, &QToolButton::clicked, this, &TMarlex::ToolButton31Click);
    connect(Editieren2, &QAction::triggered, this, &TMarlex::Editieren2Click);
    connect(ToolButton30, &QToolButton::clicked, this, &TMarlex::ToolButton30Click);
    connect(Lschen2, &QAction::triggered, this, &TMarlex::ToolButton30Click);
    connect(DBGrid1, &widgets::DBGrid::keyPressed, this, &TMarlex::DBGrid1KeyPress);
    // The grid's own delete is the page's, with its question and the
    // markers; read-only mode deletes nothing.
    connect(DBGrid1, &widgets::DBGrid::deleteRequested, this, [this] {
        if (!OptNurLesemodus)
            ToolButton30Click();
    });

    // Only a change the user makes runs the page's entry steps; the
    // program's own changes of the page do not. Keys reach the page control
    // through its event filter.
    connect(PageControl1->tabBar(), &QTabBar::tabBarClicked, this, &TMarlex::seitenwechselVomNutzer);
    PageControl1->installEventFilter(this);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this] {
        if (std::exchange(m_nutzerSeitenwechsel, false))
            melden(this, [this] { PageControl1Change(); });
    });
}

void TMarlex::seitenwechselVomNutzer()
{
    // A click or key that changes no page leaves nothing behind for the
    // program's next change.
    m_nutzerSeitenwechsel = true;
    QTimer::singleShot(0, this, [this] { m_nutzerSeitenwechsel = false; });
}

// --- markers ------------------------------------------------------------------

bool TMarlex::lagerHatStoff(const QString& carn, const QString& subcarn)
{
    dbase::Table& lager = *Datas->Table3;
    widgets::DataSource::Silence still(*Datas->DataSource3);
    TabellenLeihe leihe(lager);
    // The key values are compared as data: an apostrophe or a "*" in a
    // number selects exactly the rows that hold it.
    leihe.eingrenzen(dbase::Filter::equals("CARN", carn) && dbase::Filter::equals("SUBCARN", subcarn));
    lager.first();
    return !lager.eof();
}

void TMarlex::lagerMarkeSetzen(const QString& carn, const QString& subcarn, std::uint8_t marke)
{
    if (!OptLagerMarkieren)
        return;
    dbase::Table& namen = *Datas->Table1;
    std::vector<std::uint32_t> zeilen;
    {
        widgets::DataSource::Silence still(*Datas->DataSource1);
        TabellenLeihe leihe(namen);
        // The substance's names stand together in key order.
        if (namen.indexName().compare(carnSub, Qt::CaseInsensitive) != 0)
            namen.setIndexName(carnSub);
        if (namen.findKey({carn, subcarn})) {
            for (; !namen.eof(); namen.next()) {
                if (namen.fieldByName("CARN").asString() != carn || namen.fieldByName("SUBCARN").asString() != subcarn)
                    break;
                zeilen.push_back(namen.recNo());
            }
        }
    }
    for (const std::uint32_t recNo : zeilen)
        if (const int zeile = ListBox1->lineOfRecNo(recNo); zeile >= 0)
            ListBox1->setMarker(zeile, marke);
}

void TMarlex::lagerzustandAuffrischen()
{
    dbase::Table& namen = *Datas->Table1;
    if (ListBox1->itemIndex() < 0 || namen.recNo() == 0)
        return;
    lagerzustandZeigen(namen.fieldByName("CARN").asString(), namen.fieldByName("SUBCARN").asString());
}

void TMarlex::lagerAnzahlZeigen()
{
    const dbase::Table& lager = *Datas->Table3;
    // A new row not yet stored is one of the rows the user sees; deleted
    // rows are none.
    const std::uint32_t neu = lager.state() == dbase::TableState::Insert ? 1 : 0;
    Label48->setText(QString::number(lager.visibleCount() + neu));
}

// --- taking substances into storage -------------------------------------------

bool TMarlex::insLagerUebernehmen(const QString& name1, const QString& carn, const QString& subcarn)
{
    dbase::Table& lager = *Datas->Table3;
    try {
        LagerzeileSpeichern(lager, name1, carn, subcarn);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("\"%1\" wurde nicht ins Lager übernommen:\n\n%2")
                                             .arg(name1, widgets::errorText(fehler)));
        return false;
    }
    // Marked only once the row is stored: the marker tells what lager.dbf holds.
    lagerMarkeSetzen(carn, subcarn, LagerMarke);
    return true;
}

void TMarlex::Menu31Click()
{
    dbase::Table& namen = *Datas->Table1;
    if (OptNurLesemodus || ListBox1->itemIndex() < 0 || namen.recNo() == 0)
        return;
    // The name table stands on the row of the line shown, as stored now.
    try {
        namen.refreshRecord();
    } catch (const dbase::RecordDeletedError& fehler) {
        inzwischenGeloescht(fehler);
        return;
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
        return;
    }
    if (!insLagerUebernehmen(namen.fieldByName("NAME1").asString(), namen.fieldByName("CARN").asString(),
                             namen.fieldByName("SUBCARN").asString()))
        return;
    lagerzustandAuffrischen();
    PageControl1->setCurrentWidget(TabSheet3);
    LagerseiteAktivieren();
    lagerAnzahlZeigen();
}

void TMarlex::Image11DragDrop(const std::vector<int>& zeilen)
{
    if (OptNurLesemodus)
        return;
    dbase::Table& namen = *Datas->Table1;
    std::vector<int> reihe = zeilen;
    std::sort(reihe.begin(), reihe.end());
    for (const int zeile : reihe) {
        QString name1, carn, subcarn;
        bool geloescht = false;
        {
            widgets::DataSource::Silence still(*Datas->DataSource1);
            TabellenLeihe leihe(namen);
            if (zeile < 0 || zeile >= ListBox1->count())
                continue;
            // A line whose row is no longer stored was deleted by another user.
            geloescht = !namen.gotoRecNo(ListBox1->recNo(zeile));
            if (!geloescht) {
                name1 = namen.fieldByName("NAME1").asString();
                carn = namen.fieldByName("CARN").asString();
                subcarn = namen.fieldByName("SUBCARN").asString();
            }
        }
        if (geloescht) {
            inzwischenGeloescht(dbase::RecordDeletedError());
            break;
        }
        if (!insLagerUebernehmen(name1, carn, subcarn))
            break;
    }
    lagerzustandAuffrischen();
    PageControl1->setCurrentWidget(TabSheet3);
    LagerseiteAktivieren();
    lagerAnzahlZeigen();
}

void TMarlex::Image11DblClick()
{
    if (EingabeModus == 1)
        return;
    PageControl1->setCurrentWidget(TabSheet3);
    melden(this, [this] { LagerseiteAktivieren(); });
}

void TMarlex::ToolButton25Click()
{
    dbase::Table& lager = *Datas->Table3;
    // A row belongs to a substance: without a current one there is none to add to.
    if (OptNurLesemodus || !hatAktuelleZeile(lager))
        return;
    melden(this, [&] {
        LagerzeileAnhaengen(lager, lager.fieldByName("NAME1").asString(), lager.fieldByName("CARN").asString(),
                            lager.fieldByName("SUBCARN").asString());
        lagerAnzahlZeigen();
    });
}

// --- edit mode, keys, delete --------------------------------------------------

QWidget* TMarlex::lagerzelleUebernehmen()
{
    QWidget* editor = DBGrid1->indexWidget(DBGrid1->currentIndex());
    if (editor)
        emit DBGrid1->itemDelegate()->commitData(editor);
    return editor;
}

// A cell still being edited when the edit mode ends keeps what was typed,
// and the row is stored (its dates stamped when the amount changed), as
// leaving the record page's edit mode stores the record.
void TMarlex::lagerzelleAbschliessen()
{
    if (QWidget* editor = lagerzelleUebernehmen())
        emit DBGrid1->itemDelegate()->closeEditor(editor, QAbstractItemDelegate::NoHint);
    dbase::Table& lager = *Datas->Table3;
    if (lager.state() != dbase::TableState::Browse && lager.modified())
        lager.post();
}

void TMarlex::lagerEditModusSetzen(bool an)
{
    if (!an)
        melden(this, [this] { lagerzelleAbschliessen(); });
    LagerEditModus = an ? 1 : 0;
    const bool schreiben = an && !OptNurLesemodus;
    ToolButton25->setEnabled(schreiben);
    ToolButton30->setEnabled(schreiben);
    Neu2->setEnabled(schreiben);
    Lschen2->setEnabled(schreiben);
    Editieren2->setChecked(an);
    modusZeigen(an, QStringLiteral("Lager-Editiermodus"));
    if (!an)
        setButtonImage(ToolButton31, 8);
    DBGrid1->setCellEditing(an);
    DBGrid1->setRowSelect(!an);
}

void TMarlex::ToolButton31Click()
{
    lagerEditModusSetzen(LagerEditModus == 0);
}

void TMarlex::Editieren2Click()
{
    // The item has already taken its new check mark.
    lagerEditModusSetzen(Editieren2->isChecked());
}

void TMarlex::DBGrid1KeyPress(QKeyEvent* event)
{
    const QString taste = event->text();
    if (LagerEditModus != 0 || (taste != QLatin1String("+") && taste != QLatin1String("-")))
        return;
    event->accept();
    dbase::Table& lager = *Datas->Table3;
    if (OptNurLesemodus || !hatAktuelleZeile(lager))
        return;
    melden(this, [&] {
        // Counted on from the row as stored now, under its lock.
        const bool begonnen = lager.state() == dbase::TableState::Browse;
        lager.edit();
        dbase::Field anzahl = lager.fieldByName("ANZAHL");
        const std::int64_t n = anzahl.asInteger();
        if (taste == QLatin1String("-") && n <= 0) {
            if (begonnen)
                lager.cancel();
            return;
        }
        anzahl.setAsInteger(taste == QLatin1String("+") ? n + 1 : n - 1);
    });
}

void TMarlex::ToolButton30Click()
{
    dbase::Table& lager = *Datas->Table3;
    if (OptNurLesemodus)
        return;
    if (!hatAktuelleZeile(lager)) {
        widgets::MessageBox::information(this, QStringLiteral("Es gibt keinen Lagerdatensatz zum Löschen."));
        return;
    }
    melden(this, [&] {
        const QString name1 = lager.fieldByName("NAME1").asString();
        const QString carn = lager.fieldByName("CARN").asString();
        const QString subcarn = lager.fieldByName("SUBCARN").asString();
        if (widgets::MessageBox::askYesNo(
                this, QStringLiteral("Soll der Lagerdatensatz \"%1\" gelöscht werden?").arg(name1))
            != widgets::Answer::Yes)
            return;
        lager.remove();
        lagerAnzahlZeigen();
        // Rows the user's storage filter hides are in storage all the same.
        if (OptLagerMarkieren && !lagerHatStoff(carn, subcarn))
            lagerMarkeSetzen(carn, subcarn, KeinLagerMarke);
        lagerzustandAuffrischen();
    });
}

// --- entering and leaving the page --------------------------------------------

void TMarlex::hilfsfensterZeigen(bool datenseite)
{
    // The navigator and the classification supplement belong to the record
    // page; they come back with it when their buttons are down.
    if (Datennavigator)
        Datennavigator->setVisible(datenseite && ToolButton2->isChecked());
    if (Einstufung)
        Einstufung->setVisible(datenseite && ToolButton6->isChecked());
}

void TMarlex::filterfensterZeigen(bool lagerseite)
{
    // Each page shows the window of the filter that narrows what it shows.
    if (ListenFilterAktiv != 0 && AktuellerFilter)
        AktuellerFilter->setVisible(!lagerseite);
    if (LagerFilterAktiv != 0 && AktuellerLagerFilter)
        AktuellerLagerFilter->setVisible(lagerseite);
}

void TMarlex::modusZeigen(bool an, const QString& text)
{
    // The timer blinks the tool button of the mode that is on.
    if (an)
        Timer1->start();
    else
        Timer1->stop();
    StatusPanel[2]->setText(an ? text : QString());
}

void TMarlex::LagerseiteAktivieren()
{
    modusZeigen(LagerEditModus != 0, QStringLiteral("Lager-Editiermodus"));
    Marlex1->setEnabled(false);
    Daten1->setEnabled(false);
    Daten3->setEnabled(true);
    Drucken3->setEnabled(true);
    const bool schreiben = LagerEditModus != 0 && !OptNurLesemodus;
    ToolButton25->setEnabled(schreiben);
    ToolButton30->setEnabled(schreiben);
    Neu2->setEnabled(schreiben);
    Lschen2->setEnabled(schreiben);
    Editieren2->setChecked(LagerEditModus != 0);
    hilfsfensterZeigen(false);
    filterfensterZeigen(true);

    // The page opens on the current substance's first storage row, in name order.
    dbase::Table& lager = *Datas->Table3;
    dbase::Table& namen = *Datas->Table1;
    if (lager.indexName().compare(carnSub, Qt::CaseInsensitive) != 0)
        lager.setIndexName(carnSub);
    bool gefunden = false;
    if (ListBox1->itemIndex() >= 0 && namen.recNo() != 0)
        gefunden = lager.findKey({namen.fieldByName("CARN").asString(), namen.fieldByName("SUBCARN").asString()});
    lager.setIndexName(name1Sub);
    if (!gefunden)
        lager.first();
}

void TMarlex::lagerseiteVerlassen()
{
    modusZeigen(EditModus != 0, QStringLiteral("Editiermodus"));
    // The markers, the record display, sheets and labels look storage rows
    // up by key.
    dbase::Table& lager = *Datas->Table3;
    if (lager.indexName().compare(carnSub, Qt::CaseInsensitive) != 0)
        lager.setIndexName(carnSub);
    Daten3->setEnabled(false);
    Drucken3->setEnabled(false);
    Marlex1->setEnabled(true);
    Daten1->setEnabled(true);
    filterfensterZeigen(false);
}

void TMarlex::DatenseiteAktivieren()
{
    lagerseiteVerlassen();
    hilfsfensterZeigen(true);
}

void TMarlex::PageControl1Change()
{
    if (EingabeModus != 0)
        return;
    QWidget* seite = PageControl1->currentWidget();
    if (seite == TabSheet3) {
        LagerseiteAktivieren();
    } else if (seite == TabSheet2) {
        DatenseiteAktivieren();
    } else if (seite == TabSheet1) {
        lagerseiteVerlassen();
        hilfsfensterZeigen(false);
        AktuellenDatensatzZeigen();
    }
}
