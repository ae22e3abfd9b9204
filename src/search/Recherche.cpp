#include "widgets/Benannt.h"
#include "search/Recherche.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScopeGuard>

#include "app/Marlex.h"
#include "search/Namentabellen.h"
#include "search/Recherchelauf.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace {

using widgets::benannt;

QCheckBox* ankreuzfeld(QWidget* parent, const char* name, const QString& text, bool an, const QString& hinweis)
{
    auto* feld = benannt(new QCheckBox(text, parent), name, hinweis);
    feld->setChecked(an);
    return feld;
}

} // namespace

TRecherche::TRecherche(QWidget* parent, Namentabelle ziel)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      GroupBox1(benannt(new QGroupBox(u"Recherche in "_qs + namentabellenart(ziel).status, this), "GroupBox1")),
      Label2(benannt(new QLabel(u"Präfix:"_qs, GroupBox1), "Label2")),
      Edit1(benannt(new QLineEdit(GroupBox1), "Edit1", u"Geben Sie hier den Überinstimmungspräfix ein"_qs)),
      CheckBox1(ankreuzfeld(GroupBox1, "CheckBox1", u"Synonyme mitkopieren"_qs, true,
                            u"Schalten Sie das Kontrollkästchen ein, wenn Sie die Synonyme der gefundenen "
                            u"Datensätze mitkopieren wollen"_qs)),
      CheckBox2(ankreuzfeld(GroupBox1, "CheckBox2", u"Aktuellen Filter mitbenutzen"_qs, true,
                            u"Schalten Sie das Kontrollkästchen ein, wenn Sie den akutellen Filter benutzen "
                            u"wollen"_qs)),
      CheckBox3(ankreuzfeld(GroupBox1, "CheckBox3", u"Groß- / Kleinschreibung"_qs, false,
                            u"Schalten Sie das Kontrollkästchen ein, wenn Sie zwischen Groß- und "
                            u"Kleinschreibung unterscheiden wolln"_qs)),
      Button1(benannt(new QPushButton(u"&OK"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2")),
      RechercheInTmp1(ziel == Namentabelle::Tmp1)
{
    setObjectName(u"Recherche"_qs);
    setWindowTitle(u"Recherche"_qs);
    Label2->setBuddy(Edit1);
    Button1->setDefault(true);
    Button2->setAutoDefault(false);

    auto* gruppe = new QGridLayout(GroupBox1);
    gruppe->addWidget(Label2, 0, 0);
    gruppe->addWidget(Edit1, 0, 1);
    gruppe->addWidget(CheckBox1, 1, 0, 1, 2);
    gruppe->addWidget(CheckBox2, 2, 0, 1, 2);
    gruppe->addWidget(CheckBox3, 3, 0, 1, 2);
    auto* raster = new QGridLayout(this);
    raster->addWidget(GroupBox1, 0, 0);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    raster->addLayout(knoepfe, 1, 0);
    resize(340, 200);

    connect(Button1, &QPushButton::clicked, this, &TRecherche::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

TRecherche::~TRecherche() = default;

void TRecherche::FormCreate()
{
    // Without a list filter there is none to use; the tick stays.
    CheckBox2->setEnabled(Marlex->ListenFilterAktiv == 1);
}

Namentabelle TRecherche::ziel() const
{
    return RechercheInTmp1 ? Namentabelle::Tmp1 : Namentabelle::Tmp2;
}

void TRecherche::Button1Click()
{
    const auto schliessen = qScopeGuard([this] { accept(); });
    const QString text = Edit1->text();
    if (text.isEmpty())
        return;
    // Its rows are what the research copies; emptying it first would lose
    // them, whether or not the list filter stands on it.
    if (namentabellenStand().tabelle == ziel()) {
        widgets::MessageBox::information(this, u"Es kann nicht auf sich selbst recherchiert werden."_qs);
        return;
    }
    try {
        if (RechercheTabelleGefuellt(ziel())
            && widgets::MessageBox::askYesNo(this, u"Soll die Recherche-TMP Datei überschrieben werden?"_qs,
                                             widgets::Answer::No, widgets::MessageKind::Warning)
                   != widgets::Answer::Yes)
            return;
        const std::uint32_t zeilen = RechercheAusfuehren({.ziel = ziel(),
                                                          .text = text,
                                                          .synonyme = CheckBox1->isChecked(),
                                                          .filterMitbenutzen = CheckBox2->isChecked(),
                                                          .grossKlein = CheckBox3->isChecked()});
        RechercheTrefferAnzahl = static_cast<int>(zeilen);
        RechercheGefunden = zeilen > 0;
    } catch (const std::exception& fehler) {
        widgets::MessageBox::error(this, u"Die Recherche konnte nicht durchgeführt werden.\n\n"_qs
                                             + widgets::errorText(fehler));
        return;
    }
    if (!RechercheGefunden)
        widgets::MessageBox::information(this, u"Es wurden keine übereinstimmenden Datensätze gefunden."_qs);
}
