#include "widgets/Benannt.h"
#include "search/MemoSuchen.h"

#include <algorithm>

#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "app/TabellenLeihe.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "dbase/Table.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

// Name rows: NAME1, STRIPNAME1, CARN, SUBCARN.
constexpr int nameFeld = 0;
constexpr int carnFeld = 2;
constexpr int subcarnFeld = 3;

const QString schluesselTag = u"CARN_SUB"_qs;

QString zeilenumbruecheVereinheitlicht(QString text)
{
    text.replace(u"\r\n"_qs, u"\n"_qs);
    return text;
}

using widgets::benannt;

} // namespace

MemoSuchergebnis MemotexteDurchsuchen(dbase::Table& namen, dbase::Table& chemie, const QString& text,
                                      const std::function<void()>& schritt)
{
    MemoSuchergebnis ergebnis;
    const int memoFeld = chemie.layout().indexOf("MEMOTEXT");
    if (text.isEmpty() || memoFeld < 0)
        return ergebnis;
    const QString gesucht = zeilenumbruecheVereinheitlicht(text);
    const bool mehrzeilig = gesucht.contains(u'\n');

    const dbase::NotificationHold haltNamen(namen);
    const dbase::NotificationHold haltChemie(chemie);
    const TabellenLeihe leiheNamen(namen);
    const TabellenLeihe leiheChemie(chemie);
    if (chemie.indexName() != schluesselTag)
        chemie.setIndexName(schluesselTag);

    // A substance has several names: its memo is read once, at its first.
    enum : std::int8_t { Offen = -1, Nein = 0, Ja = 1 };
    std::vector<std::int8_t> enthaelt;
    const auto memoEnthaelt = [&] {
        if (chemie.currentRecord().blockNumber(memoFeld) == 0)
            return false;
        try {
            const QString memo = chemie.field(memoFeld).asString();
            return mehrzeilig ? zeilenumbruecheVereinheitlicht(memo).contains(gesucht, Qt::CaseSensitive)
                              : memo.contains(gesucht, Qt::CaseSensitive);
        } catch (const dbase::DbaseError&) {
            ++ergebnis.unlesbar;
            return false;
        }
    };

    for (namen.first(); !namen.eof(); namen.next()) {
        const dbase::RecordView satz = namen.currentRecord();
        if (chemie.findKey(satz, {carnFeld, subcarnFeld})) {
            const std::uint32_t stoff = chemie.recNo();
            if (stoff >= enthaelt.size())
                enthaelt.resize(std::max<std::size_t>(stoff + 1, enthaelt.size() * 2), Offen);
            if (enthaelt[stoff] == Offen)
                enthaelt[stoff] = memoEnthaelt() ? Ja : Nein;
            if (enthaelt[stoff] == Ja)
                ergebnis.treffer.push_back({satz.text(nameFeld), namen.recNo()});
        }
        if (schritt)
            schritt();
    }
    return ergebnis;
}

TMemoSuchen::TMemoSuchen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      GroupBox1(benannt(new QGroupBox(u"Suchtext"_qs, this), "GroupBox1")),
      Memo1(benannt(new QPlainTextEdit(GroupBox1), "Memo1")),
      GroupBox2(benannt(new QGroupBox(u"Gefundene Datensätze"_qs, this), "GroupBox2")),
      ComboBox1(benannt(new QComboBox(GroupBox2), "ComboBox1")),
      Button3(benannt(new QPushButton(u"&Gehe zu"_qs, GroupBox2), "Button3")),
      Button1(benannt(new QPushButton(u"&Suchen"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2"))
{
    setObjectName(u"MemoSuchen"_qs);
    setWindowTitle(u"Memo suchen"_qs);
    GroupBox1->setToolTip(u"Geben Sie hier den Suchtext ein"_qs);
    GroupBox2->setToolTip(u"Wählen Sie hier einen gefundenen Datensatz aus, um ihn anzuladen"_qs);
    Memo1->setTabChangesFocus(true);
    // Only a found name has a place to go to.
    ComboBox1->setEditable(false);
    ComboBox1->setEnabled(false);
    Button3->setEnabled(false);
    Button1->setDefault(true);
    Button2->setAutoDefault(false);
    Button3->setAutoDefault(false);

    auto* suchtext = new QVBoxLayout(GroupBox1);
    suchtext->addWidget(Memo1);
    auto* gefunden = new QHBoxLayout(GroupBox2);
    gefunden->addWidget(ComboBox1, 1);
    gefunden->addWidget(Button3);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(GroupBox1, 1);
    spalte->addWidget(GroupBox2);
    spalte->addLayout(knoepfe);
    resize(420, 280);

    connect(Button1, &QPushButton::clicked, this, &TMemoSuchen::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TMemoSuchen::Button3Click);
}

void TMemoSuchen::Button1Click()
{
    const QString text = Memo1->toPlainText();
    if (text.isEmpty()) {
        widgets::MessageBox::information(this, u"Es wurde kein Suchtext eingegeben."_qs);
        return;
    }
    ComboBox1->clear();
    TrefferSatznummern.clear();
    ComboBox1->setEnabled(false);
    Button3->setEnabled(false);

    MemoSuchergebnis ergebnis;
    try {
        dbase::Table& namen = *Datas->Table1;
        const Fortschrittsanzeige fortschritt(u"Memotext suchen"_qs, u"Memotext wird gesucht..."_qs,
                                              static_cast<int>(namen.recordCount()));
        ergebnis = MemotexteDurchsuchen(namen, *Datas->Table2, text, &Fortschrittsanzeige::schritt);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, u"Die Memotexte können nicht durchsucht werden:\n\n"_qs
                                             + widgets::errorText(fehler));
        return;
    }
    trefferZeigen(ergebnis);
}

void TMemoSuchen::trefferZeigen(const MemoSuchergebnis& ergebnis)
{
    for (const MemoTreffer& treffer : ergebnis.treffer) {
        ComboBox1->addItem(treffer.name);
        TrefferSatznummern.push_back(treffer.recNo);
    }
    if (ergebnis.unlesbar > 0)
        widgets::MessageBox::warning(
            this, ergebnis.unlesbar == 1
                      ? u"Ein Memotext kann nicht gelesen werden; sein Stoff wurde bei der Suche übergangen."_qs
                      : u"%1 Memotexte können nicht gelesen werden; ihre Stoffe wurden bei der Suche übergangen."_qs
                            .arg(ergebnis.unlesbar));
    if (ComboBox1->count() == 0) {
        widgets::MessageBox::information(this, u"Es wurden keine übereinstimmenden Datensätze gefunden."_qs);
        return;
    }
    ComboBox1->setEnabled(true);
    Button3->setEnabled(true);
    ComboBox1->setCurrentIndex(0);
}

void TMemoSuchen::Button3Click()
{
    const int eintrag = ComboBox1->currentIndex();
    if (eintrag < 0 || eintrag >= static_cast<int>(TrefferSatznummern.size()))
        return;
    TMarlex& m = *Marlex;
    const qsizetype zeile = m.RecNoList.indexOf(TrefferSatznummern[static_cast<std::size_t>(eintrag)]);
    if (zeile < 0) {
        widgets::MessageBox::information(this, u"Der Name \"%1\" steht nicht mehr in der Datenliste."_qs
                                                   .arg(ComboBox1->currentText()));
        return;
    }
    // The found line becomes the list's current line, so the record shown
    // is that of the line the user sees selected.
    widgets::NameList& liste = *m.ListBox1;
    liste.setItemIndex(static_cast<int>(zeile));
    liste.scrollTo(liste.model()->index(static_cast<int>(zeile), 0), QAbstractItemView::PositionAtTop);
    try {
        m.AktuellenDatensatzZeigen();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
        return;
    }
    accept();
}
