#include "widgets/Benannt.h"
#include "labels/EtikettFestlegen.h"

#include <array>
#include <optional>
#include <tuple>
#include <vector>

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "data/Optionen.h"
#include "dbase/DbaseError.h"
#include "dbase/Table.h"
#include "dbase/TextCheck.h"
#include "labels/Sammelschreiben.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/ScreenCentre.h"

namespace {

using widgets::benannt;

// A text field of lager.dbf with the value to write, when its row is ticked.
struct Textwert {
    const char* feld;
    QString wert;
};

// The values of the ticked rows, read once: the run lets no event through
// that could change them.
struct Festlegung {
    std::optional<int> anzahl;
    std::vector<Textwert> texte;
};

// The text rows: their check box, the lager.dbf field they write and their
// input.
std::array<std::tuple<QCheckBox*, const char*, QLineEdit*>, 5> textzeilen(const TEtikettFestlegen& d)
{
    return {{{d.CheckBox1, "LAGER_ORT", d.Edit1},
             {d.CheckBox3, "FREI1", d.Edit2},
             {d.CheckBox4, "FREI2", d.Edit3},
             {d.CheckBox5, "LIEFERANT", d.Edit4},
             {d.CheckBox6, "VERWENDER", d.Edit5}}};
}

} // namespace

TEtikettFestlegen::TEtikettFestlegen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                          | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      GroupBox1(benannt(new QGroupBox(u"Einstellungen"_qs, this), "GroupBox1")),
      StaticText2(benannt(new QLabel(u"Lagerort:"_qs, GroupBox1), "StaticText2")),
      Edit1(benannt(new QLineEdit(GroupBox1), "Edit1")),
      CheckBox1(benannt(new QCheckBox(u"Setzen"_qs, GroupBox1), "CheckBox1")),
      StaticText3(benannt(new QLabel(u"Frei1:"_qs, GroupBox1), "StaticText3")),
      Edit2(benannt(new QLineEdit(GroupBox1), "Edit2")),
      CheckBox3(benannt(new QCheckBox(u"Setzen"_qs, GroupBox1), "CheckBox3")),
      StaticText4(benannt(new QLabel(u"Frei2:"_qs, GroupBox1), "StaticText4")),
      Edit3(benannt(new QLineEdit(GroupBox1), "Edit3")),
      CheckBox4(benannt(new QCheckBox(u"Setzen"_qs, GroupBox1), "CheckBox4")),
      StaticText5(benannt(new QLabel(u"Lieferant:"_qs, GroupBox1), "StaticText5")),
      Edit4(benannt(new QLineEdit(GroupBox1), "Edit4")),
      CheckBox5(benannt(new QCheckBox(u"Setzen"_qs, GroupBox1), "CheckBox5")),
      StaticText6(benannt(new QLabel(u"Verwender:"_qs, GroupBox1), "StaticText6")),
      Edit5(benannt(new QLineEdit(GroupBox1), "Edit5")),
      CheckBox6(benannt(new QCheckBox(u"Setzen"_qs, GroupBox1), "CheckBox6")),
      StaticText1(benannt(new QLabel(u"Anzahl:"_qs, GroupBox1), "StaticText1")),
      SpinEdit1(benannt(new QSpinBox(GroupBox1), "SpinEdit1")),
      CheckBox2(benannt(new QCheckBox(u"Setzen"_qs, GroupBox1), "CheckBox2")),
      Button1(benannt(new QPushButton(u"&Ok"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2"))
{
    setObjectName(u"EtikettFestlegen"_qs);
    setWindowTitle(u"Datensätze festlegen"_qs);
    SpinEdit1->setRange(0, 100);
    SpinEdit1->setValue(1);
    Button1->setDefault(true);
    Button2->setAutoDefault(false);
    Button1->setToolTip(u"Drücken Sie hier, um alle Datensätze zu setzen"_qs);
    Button2->setToolTip(u"Drücken Sie hier, um keine Festlegung durchzuführen"_qs);

    auto* raster = new QGridLayout(GroupBox1);
    const auto zeile = [&](int nummer, QLabel* titel, QWidget* eingabe, QCheckBox* setzen) {
        titel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        titel->setBuddy(eingabe);
        titel->setEnabled(false);
        eingabe->setEnabled(false);
        raster->addWidget(titel, nummer, 0);
        raster->addWidget(eingabe, nummer, 1);
        raster->addWidget(setzen, nummer, 2);
        connect(setzen, &QCheckBox::toggled, this, [titel, eingabe](bool an) {
            titel->setEnabled(an);
            eingabe->setEnabled(an);
        });
    };
    zeile(0, StaticText2, Edit1, CheckBox1);
    zeile(1, StaticText3, Edit2, CheckBox3);
    zeile(2, StaticText4, Edit3, CheckBox4);
    zeile(3, StaticText5, Edit4, CheckBox5);
    zeile(4, StaticText6, Edit5, CheckBox6);
    zeile(5, StaticText1, SpinEdit1, CheckBox2);
    raster->setColumnMinimumWidth(1, 200);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(GroupBox1);
    spalte->addLayout(knoepfe);
    spalte->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TEtikettFestlegen::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TEtikettFestlegen::FormCreate()
{
    // An input takes no more than its field holds, so what the dialog
    // shows is what every stock item gets, nothing cut off unseen.
    if (Datas && Datas->Table3->active())
        for (const auto& [setzen, feld, eingabe] : textzeilen(*this))
            if (const dbase::FieldDef& def = Datas->Table3->fieldByName(feld).def();
                def.type == dbase::FieldType::Character)
                eingabe->setMaxLength(static_cast<int>(def.length));
    Edit4->setText(OptLieferant);
    Edit5->setText(OptVerwender);
}

void TEtikettFestlegen::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    widgets::moveToScreenCentre(this);
}

void TEtikettFestlegen::Button1Click()
{
    dbase::Table& lager = *Datas->Table3;
    Festlegung festlegung;
    if (CheckBox2->isChecked())
        festlegung.anzahl = SpinEdit1->value();
    for (const auto& [setzen, feld, eingabe] : textzeilen(*this)) {
        if (!setzen->isChecked())
            continue;
        // A text lager.dbf cannot hold is refused before any item is set;
        // the dialog stays open for the correction.
        try {
            dbase::checkText(lager, lager.fieldByName(feld).index(), eingabe->text());
        } catch (const dbase::DbaseError& fehler) {
            widgets::MessageBox::error(this, QString::fromUtf8(fehler.what()));
            eingabe->setFocus();
            return;
        }
        festlegung.texte.push_back({feld, eingabe->text()});
    }

    // The grid and the record page follow the table once, at the end, not
    // at every item.
    std::optional<dbase::NotificationHold> halten;
    halten.emplace(lager);

    std::optional<Fortschrittsanzeige> fortschritt;
    fortschritt.emplace(u"Datensätze festlegen"_qs, u"Lagerdatensätze werden mit den Einstellungen gesetzt..."_qs,
                        static_cast<int>(lager.recordCount()));

    // The view's items as they stand before the first write: a written item
    // may leave a storage filter that tests the field, and each item of the
    // view is to be set once, none skipped, none twice.
    std::vector<std::uint32_t> saetze;
    std::size_t gesetzt = 0;
    try {
        for (lager.first(); !lager.eof(); lager.next())
            saetze.push_back(lager.recNo());
        saetzeSchreiben(
            lager, saetze, gesetzt,
            [&] {
                if (festlegung.anzahl)
                    lager.fieldByName("ANZAHL").setAsInteger(*festlegung.anzahl);
                for (const Textwert& text : festlegung.texte)
                    lager.fieldByName(text.feld).setAsString(text.wert);
            },
            [] { Fortschrittsanzeige::schritt(); });
    } catch (const dbase::DbaseError& fehler) {
        fortschritt.reset();
        halten.reset();
        widgets::MessageBox::error(
            this, u"Die Lagerdatensätze konnten nicht alle gesetzt werden:\n%1\n\n%2 von %3 Lagerdatensätzen wurden "
                  "gesetzt, die übrigen sind unverändert."_qs.arg(widgets::errorText(fehler))
                      .arg(gesetzt)
                      .arg(saetze.size()));
        return;
    }
    if (!saetze.empty() && !lager.gotoRecNo(saetze.back()))
        lager.last(); // the last item has left the filtered view
    accept();
}
