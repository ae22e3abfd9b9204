// Editing substances on the record page: edit mode changes the shown record
// in place; input mode enters a new substance with its name row and formula
// row, held back in the tables' cached updates and stored in all three
// tables or in none.

#include <array>
#include <optional>
#include <set>
#include <utility>

#include <QAction>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

#include "app/Datennavigator.h"
#include "app/Marlex.h"
#include "app/NameRules.h"
#include "app/Namenstabellen.h"
#include "app/RegisterAenderung.h"
#include "app/Stoffnummer.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Journal.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBRichEdit.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

// Field positions: chemie.dbf, the name tables, formeln.dbf.
enum ChemieFeld { NAME1 = 0, CARN = 2, SUBCARN = 3, FORMEL_BMP = 41 };
enum NamenFeld { N_NAME1 = 0, N_STRIPNAME1 = 1, N_CARN = 2, N_SUBCARN = 3 };
enum FormelFeld { F_CARN = 0, F_SUBCARN = 1 };

// The four hazard symbol slots: box, code field, picture name field.
struct Symbolfeld {
    widgets::DBComboBox* TMarlex::*box;
    int code;
    int bild;
};
constexpr std::array<Symbolfeld, 4> symbolfelder = {{{&TMarlex::DBComboBox1, 6, 38},
                                                      {&TMarlex::DBComboBox2, 7, 39},
                                                      {&TMarlex::DBComboBox3, 8, 40},
                                                      {&TMarlex::DBComboBox18, 42, 43}}};

const QString leer = QStringLiteral("LEER.BMP");
const QString carnFehler = QStringLiteral("Fehler bei der Eingabe der CARN-Nummer.");

QString text(dbase::Table& t, int feld)
{
    return t.field(feld).asString();
}

// Writes a field of the current record, readying the record for it.
void setzen(dbase::Table& t, int feld, const QString& wert)
{
    if (t.state() == dbase::TableState::Browse)
        t.edit();
    t.field(feld).setAsString(wert);
}

// The picture name stored for a hazard symbol code: the code's entry in
// SymbolDateinamen by its position among the boxes' items, "LEER.BMP" for
// an empty slot or a code that is none of them.
QString symbolDateiname(const widgets::DBComboBox& box, const QString& code)
{
    const int i = box.items().indexOf(code);
    return i < 0 || i >= static_cast<int>(SymbolDateinamen.size()) ? leer : QLatin1String(SymbolDateinamen[i]);
}

QString strukturbildName(const QString& carn)
{
    return carn.left(carn.size() - 2) + QStringLiteral(".BMP");
}

} // namespace

void TMarlex::bearbeitungVerbinden()
{
    connect(ndern1, &QAction::triggered, this, &TMarlex::MenuAendern1Click);
    ndern1->setCheckable(true);
    connect(ToolButton41, &QToolButton::clicked, this, &TMarlex::ndern1Click);
    connect(ToolButton23, &QToolButton::clicked, this, &TMarlex::ndern1Click);
    connect(Datensatzbearbeiten1, &QAction::triggered, this, &TMarlex::Datensatzbearbeiten1Click);
    connect(Neueingabe1, &QAction::triggered, this, &TMarlex::Neueingabe1Click);
    connect(ToolButton38, &QToolButton::clicked, this, &TMarlex::Neueingabe1Click);
    connect(ToolButton22, &QToolButton::clicked, this, &TMarlex::ToolButton22Click);
    connect(DBRichEdit1, &widgets::DBRichEdit::exited, this, [this] { DBRichEdit1Exit(DBRichEdit1); });
    connect(DBRichEdit2, &widgets::DBRichEdit::exited, this, [this] { DBRichEdit1Exit(DBRichEdit2); });
    connect(DBRichEdit4, &widgets::DBRichEdit::exited, this, &TMarlex::DBEdit14Exit);
    connect(DBEdit15, &widgets::DBEdit::exited, this, &TMarlex::DBEdit15Exit);
    connect(DBComboBox1, &widgets::DBComboBox::changed, this, &TMarlex::DBComboBox1Change);
    connect(DBComboBox2, &widgets::DBComboBox::changed, this, &TMarlex::DBComboBox2Change);
    connect(DBComboBox3, &widgets::DBComboBox::changed, this, &TMarlex::DBComboBox3Change);
    connect(DBComboBox18, &widgets::DBComboBox::changed, this, &TMarlex::DBComboBox18Change);
}

std::vector<QWidget*> TMarlex::editierfelder() const
{
    std::vector<QWidget*> felder = {DBEdit19, DBRichEdit1, DBEdit23, DBEdit24, DBEdit25, DBEdit26, DBEdit46,
                                    DBEdit47, DBEdit48, DBEdit49, DBEdit50, DBEdit51, DBEdit52, DBEdit53,
                                    DBEdit54, DBEdit55, DBRichEdit2, DBRichEdit3};
    for (widgets::DBComboBox* box : auswahlfelder())
        felder.push_back(box);
    return felder;
}

// --- edit mode -----------------------------------------------------------------

void TMarlex::datenseiteZeigen()
{
    // Shown from code the page runs no steps of its own.
    PageControl1->setCurrentWidget(TabSheet2);
    DatenseiteAktivieren();
}

void TMarlex::EditierfelderFreigeben(bool enabled)
{
    if (enabled && EingabeModus == 0 && Datas && !stoffSperren())
        return;
    for (QWidget* feld : editierfelder())
        feld->setEnabled(enabled);
    if (enabled)
        DBRichEdit2->setFocus();
    if (enabled && EingabeModus == 0) {
        EditModus = 1;
        modusZeigen(true, QStringLiteral("Editiermodus"));
        return;
    }
    if (EditModus == 1 && !enabled && Datas) {
        // What was changed is stored when edit mode ends, not only once the
        // record is left, so nothing typed waits for a later move.
        try {
            Datas->DataSource2->updateRecord();
            if (Datas->Table2->state() == dbase::TableState::Edit)
                Datas->Table2->post();
        } catch (const dbase::RecordDeletedError& fehler) {
            inzwischenGeloescht(fehler);
        } catch (const dbase::DbaseError& fehler) {
            widgets::MessageBox::error(this, widgets::errorText(fehler));
        }
    }
    EditModus = 0;
    modusZeigen(false, {});
    setButtonImage(ToolButton41, 1);
    setButtonImage(ToolButton23, 1);
}

void TMarlex::MenuAendern1Click()
{
    // The action has already turned its check mark over.
    const bool an = ndern1->isChecked();
    if (an)
        datenseiteZeigen();
    EditierfelderFreigeben(an);
}

void TMarlex::ndern1Click()
{
    if (EditModus == 0) {
        ndern1->setChecked(true);
        datenseiteZeigen();
        EditierfelderFreigeben(true);
    } else {
        ndern1->setChecked(false);
        EditierfelderFreigeben(false);
    }
}

void TMarlex::Datensatzbearbeiten1Click()
{
    if (OptNurLesemodus)
        return;
    datenseiteZeigen();
    if (EditModus == 0) {
        ndern1->setChecked(true);
        EditierfelderFreigeben(true);
    }
}

// --- input mode ----------------------------------------------------------------

void TMarlex::eingabefelderFreigeben(bool enabled)
{
    for (QWidget* feld : std::initializer_list<QWidget*>{DBRichEdit4, DBEdit15, Label35, Label36})
        feld->setEnabled(enabled);
}

void TMarlex::EingabemodusSetzen(bool on)
{
    EingabeModus = on ? 1 : 0;
    modusZeigen(on, QStringLiteral("Eingabemodus"));
    if (!on)
        setButtonImage(ToolButton22, 3);
    const bool l = !on;
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet1), l);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet3), l);
    for (QToolButton* knopf : {ToolButton23, ToolButton24, ToolButton39, ToolButton40, ToolButton2})
        knopf->setEnabled(l);
    Marlex1->setEnabled(l);
    Daten1->setEnabled(l);
}

void TMarlex::Neueingabe1Click()
{
    if (EingabeModus == 1 || OptNurLesemodus)
        return;
    dbase::Table* tabellen[] = {Datas->Table1, Datas->Table2, Datas->Table6};
    const QString subcarn = QString::number(ChemieSatzAnzahl + 1);
    try {
        listenfilterRuhen(true);
        for (dbase::Table* t : tabellen)
            t->setCachedUpdates(true);
        for (dbase::Table* t : tabellen)
            t->append();
        dbase::Table& chemie = *Datas->Table2;
        for (int feld : {38, 39, 40, 43})
            chemie.field(feld).setAsString(leer);
        chemie.field(SUBCARN).setAsString(subcarn);
        Datas->Table1->field(N_SUBCARN).setAsString(subcarn);
        Datas->Table6->field(F_SUBCARN).setAsString(subcarn);
    } catch (const dbase::DbaseError& fehler) {
        for (dbase::Table* t : tabellen) {
            try {
                t->cancelUpdates();
                t->setCachedUpdates(false);
            } catch (const dbase::DbaseError&) {
                // The table was not switched yet; nothing of it is held.
            }
        }
        listenfilterRuhen(false);
        widgets::MessageBox::error(this, QStringLiteral("Ein neuer Stoff kann nicht angelegt werden:\n\n")
                                             + widgets::errorText(fehler));
        return;
    }
    EingabeModus = 1;
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet2), true);
    datenseiteZeigen();
    // The navigator would move the name table off the new row.
    if (Datennavigator)
        Datennavigator->hide();
    EditierfelderFreigeben(true);
    eingabefelderFreigeben(true);
    EingabemodusSetzen(true);
    m_eingabeAnfang = {Zeilenwerte(*Datas->Table1), Zeilenwerte(*Datas->Table2), Zeilenwerte(*Datas->Table6)};
}

void TMarlex::ToolButton22Click()
{
    if (EingabeModus == 0) {
        Neueingabe1Click();
        return;
    }
    try {
        // A text a control still holds (the button takes no focus) counts.
        for (widgets::DataSource* quelle : {Datas->DataSource1, Datas->DataSource2, Datas->DataSource6})
            quelle->updateRecord();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
        return;
    }
    const QString carn = text(*Datas->Table2, CARN);
    const bool vollstaendig =
        !carn.isEmpty() && !text(*Datas->Table2, NAME1).isEmpty() && !text(*Datas->Table1, N_NAME1).isEmpty();
    const QString frage = !vollstaendig ? QStringLiteral("Fehler! Die Eingabe ist nicht vollständig. Wollen Sie mit der "
                                                         "Eingabe fortfahren?")
                          : !CarnPruefen(carn)
                              ? QStringLiteral("Fehler bei der Eingabe der CARN-Nummer. Wollen Sie mit der Eingabe "
                                               "fortfahren?")
                              : QString();
    if (!frage.isEmpty()) {
        if (widgets::MessageBox::askYesNo(this, frage, widgets::Answer::Yes, widgets::MessageKind::Warning)
            == widgets::Answer::No)
            eingabeBeenden(false);
        return;
    }
    if (neuenStoffSpeichern())
        eingabeBeenden(true);
}

bool TMarlex::neuenStoffSpeichern()
{
    dbase::Table& namen = *Datas->Table1;
    dbase::Table& chemie = *Datas->Table2;
    dbase::Table& formeln = *Datas->Table6;
    // The controls show the input until the rows are stored or put back as
    // typed, not the rows the store moves over.
    const dbase::NotificationHold stillNamen(namen);
    const dbase::NotificationHold stillChemie(chemie);
    const dbase::NotificationHold stillFormeln(formeln);
    std::optional<Namenstabellen> namenstabellen;
    // No other user appends to chemie.dbf from the choice of the number to
    // the store, so that the number stays free.
    std::optional<dbase::AppendHold> nummerFrei;
    // The three rows as typed, in the tables' cached updates until now.
    std::array<std::pair<dbase::Table*, QByteArrayList>, 3> eingabe;
    try {
        // Everything copied is made from the values as they stand now, not
        // from what the fields held when they were last left.
        const QString carn = text(chemie, CARN);
        chemie.post();
        // The number search moves off the new row; the store comes back to
        // it by its number (the list filter rests during the input).
        const std::uint32_t eigene = chemie.recNo();
        const int nummer = text(chemie, SUBCARN).toInt();
        nummerFrei.emplace(chemie);
        const QString subcarn = FreieSubcarn(chemie, carn, nummer > 0 ? nummer : ChemieSatzAnzahl + 1, eigene);
        if (!chemie.gotoRecNo(eigene))
            throw dbase::DbaseError("Der neu eingegebene Stoff ist in chemie.dbf nicht mehr zu finden.");
        setzen(chemie, SUBCARN, subcarn);
        setzen(chemie, FORMEL_BMP, strukturbildName(carn));
        for (const Symbolfeld& s : symbolfelder)
            setzen(chemie, s.bild, symbolDateiname(*(this->*s.box), text(chemie, s.code)));
        chemie.post();

        const QString name = text(namen, N_NAME1);
        setzen(namen, N_STRIPNAME1, StripNameBilden(name));
        setzen(namen, N_CARN, carn);
        setzen(namen, N_SUBCARN, subcarn);
        namen.post();
        setzen(formeln, F_CARN, carn);
        setzen(formeln, F_SUBCARN, subcarn);
        formeln.post();

        // The name row goes into namen.dbf also while the list shows a
        // research or filter table, which gets it as well.
        namenstabellen.emplace();
        eingabe = {{{&chemie, Zeilenwerte(chemie)}, {&formeln, Zeilenwerte(formeln)}, {&namen, Zeilenwerte(namen)}}};
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("Der neue Stoff kann nicht gespeichert werden:\n\n")
                                             + widgets::errorText(fehler));
        return false;
    }

    const auto fuellen = [](const QByteArrayList& werte) {
        return [&werte](dbase::Table& zeile) { ZeilenwerteSetzen(zeile, werte); };
    };
    // Every row is on the disk once its write returns; the indexes follow
    // in memory and are written when the tables are closed, as a whole
    // index file each, far more than one substance is worth.
    return RegisterAendern(
        this, QStringLiteral("Der neue Stoff konnte nicht gespeichert werden."),
        [&](RegisterAenderung& aenderung) {
            // Written as one change of the register, which takes back what
            // it wrote; rows held back in cached updates it could not.
            for (auto& [tabelle, werte] : eingabe) {
                tabelle->cancelUpdates();
                tabelle->setCachedUpdates(false);
            }
            aenderung.anhaengen(chemie, fuellen(eingabe[0].second));
            aenderung.anhaengen(formeln, fuellen(eingabe[1].second));
            for (dbase::Table* t : namenstabellen->alle())
                aenderung.anhaengen(*t, fuellen(eingabe[2].second));
        },
        [&] {
            // Input goes on: each table holds its row as typed again (one
            // still holding it kept it).
            for (auto& [tabelle, werte] : eingabe) {
                if (tabelle->cachedUpdates())
                    continue;
                try {
                    tabelle->setCachedUpdates(true);
                    tabelle->append();
                    ZeilenwerteSetzen(*tabelle, werte);
                } catch (const dbase::DbaseError& fehler) {
                    widgets::MessageBox::error(this, widgets::errorText(fehler));
                }
            }
        });
}

void TMarlex::eingabeBeenden(bool gespeichert)
{
    // Input mode is off before the controls are: the field that loses the
    // focus then copies nothing into the rows stored or dropped.
    EingabemodusSetzen(false);
    EditierfelderFreigeben(false);
    eingabefelderFreigeben(false);
    for (dbase::Table* t : {Datas->Table1, Datas->Table2, Datas->Table6}) {
        try {
            if (!gespeichert)
                t->cancelUpdates();
            t->setCachedUpdates(false);
        } catch (const dbase::DbaseError& fehler) {
            widgets::MessageBox::error(this, widgets::errorText(fehler));
        }
    }
    listenfilterRuhen(false);
    DatenlisteEinlesen();
}

void TMarlex::listenfilterRuhen(bool ruhen)
{
    // A new substance passes no list filter on chemie.dbf: while it is
    // entered the table is whole, so that no step of the input or of its
    // store (the search for a free sub-number) can leave the new row for
    // a substance the filter shows and write the input into that one.
    dbase::Table& chemie = *Datas->Table2;
    if (ruhen) {
        m_listenfilterRuht = chemie.filtered();
        if (m_listenfilterRuht)
            chemie.setFiltered(false);
        return;
    }
    if (!std::exchange(m_listenfilterRuht, false))
        return;
    try {
        chemie.setFiltered(true);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QString::fromStdString(fehler.what()));
    }
}

// --- leaving fields --------------------------------------------------------------

void TMarlex::DBRichEdit1Exit(widgets::DBRichEdit* verlassen)
{
    FormelFormatieren(*verlassen);
    if (verlassen != DBRichEdit2)
        return; // the formula leaves the names alone
    try {
        if (EingabeModus == 1) {
            dbase::Table& namen = *Datas->Table1;
            const QString name = text(*Datas->Table2, NAME1);
            setzen(namen, N_NAME1, name);
            setzen(namen, N_STRIPNAME1, StripNameBilden(name));
            FormelFormatieren(*DBRichEdit4);
        } else if (EditModus == 1) {
            namenszeilenNachfuehren();
        }
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
}

// In edit mode the name rows that carried the substance's name before it was
// changed carry the new one; the list is read again with the shown name row
// still current.
void TMarlex::namenszeilenNachfuehren()
{
    dbase::Table& chemie = *Datas->Table2;
    dbase::Table& namen = *Datas->Table1;
    const QString neu = text(chemie, NAME1);
    const QString alt = m_stoffnameVorher;
    if (alt == neu || alt.isEmpty() || neu.isEmpty() || ListBox1->itemIndex() < 0)
        return;
    const QString carn = text(chemie, CARN);
    const QString subcarn = text(chemie, SUBCARN);
    // The substance and its name rows are one change: a kill in between
    // is taken back whole at the next start.
    dbase::JournalChange aenderung;
    chemie.post();
    const std::uint32_t gezeigt = namen.recNo();
    const auto traegtAltenNamen = [&] {
        return text(namen, N_NAME1) == alt && text(namen, N_CARN) == carn && text(namen, N_SUBCARN) == subcarn;
    };
    // The row on show, and the rows the program filed under the old name.
    std::set<std::uint32_t> zeilen;
    if (traegtAltenNamen())
        zeilen.insert(gezeigt);
    {
        widgets::DataSource::Silence still(*Datas->DataSource1);
        const QString schluessel = StripNameBilden(alt);
        if (namen.findKey({schluessel})) {
            for (; !namen.eof() && text(namen, N_STRIPNAME1) == schluessel; namen.next()) {
                if (traegtAltenNamen())
                    zeilen.insert(namen.recNo());
            }
        }
        for (std::uint32_t r : zeilen) {
            namen.gotoRecNo(r);
            setzen(namen, N_NAME1, neu);
            setzen(namen, N_STRIPNAME1, StripNameBilden(neu));
            namen.post();
        }
        namen.flush();
    }
    aenderung.commit();
    m_stoffnameVorher = neu;
    NamenlisteLesen();
    const int zeile = std::max(0, static_cast<int>(RecNoList.indexOf(gezeigt)));
    VorherigerListenIndex = 0;
    ListBox1->setItemIndex(zeile);
    namen.moveBy(zeile);
    VorherigerListenIndex = zeile;
    AktuellerListenIndex = zeile;
}

void TMarlex::DBEdit14Exit()
{
    if (EingabeModus != 1)
        return;
    try {
        dbase::Table& namen = *Datas->Table1;
        setzen(namen, N_STRIPNAME1, StripNameBilden(text(namen, N_NAME1)));
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
    FormelFormatieren(*DBRichEdit4);
}

void TMarlex::DBEdit15Exit()
{
    if (EingabeModus != 1)
        return;
    const QString carn = DBEdit15->text().trimmed();
    if (carn.isEmpty())
        return; // nothing typed yet: the end of input asks for it
    if (!CarnPruefen(carn)) {
        widgets::MessageBox::error(this, carnFehler);
        return;
    }
    try {
        setzen(*Datas->Table2, FORMEL_BMP, strukturbildName(carn));
        setzen(*Datas->Table1, N_CARN, carn);
        setzen(*Datas->Table6, F_CARN, carn);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
}

void TMarlex::symbolGeaendert(int slot)
{
    if (EditModus == 0 && EingabeModus == 0)
        return;
    const Symbolfeld& s = symbolfelder[static_cast<std::size_t>(slot)];
    widgets::DBComboBox& box = *(this->*s.box);
    try {
        setzen(*Datas->Table2, s.bild, symbolDateiname(box, box.currentText()));
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
}

void TMarlex::DBComboBox1Change() { symbolGeaendert(0); }
void TMarlex::DBComboBox2Change() { symbolGeaendert(1); }
void TMarlex::DBComboBox3Change() { symbolGeaendert(2); }
void TMarlex::DBComboBox18Change() { symbolGeaendert(3); }
