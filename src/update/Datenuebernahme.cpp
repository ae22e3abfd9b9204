#include "update/Datenuebernahme.h"

#include <QButtonGroup>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/DatenAuffrischen.h"
#include "data/Fortschritt.h"
#include "data/ListeEinlesen.h"
#include "data/Optionen.h"
#include "update/Lageruebernahme.h"
#include "update/VerzeichnisWahl.h"
#include "widgets/MessageBox.h"
#include "widgets/ScreenCentre.h"

namespace {

// The wait window while the takeover runs in one piece.
class Warten {
public:
    Warten()
    {
        DatenAuffrischen->show();
        QCoreApplication::processEvents();
    }
    ~Warten() { DatenAuffrischen->hide(); }
    Warten(const Warten&) = delete;
    Warten& operator=(const Warten&) = delete;
};

QString zusammenfassung(const uebernahme::Ergebnis& e)
{
    QString text = e.uebernommen == 1 ? u"Es wurde 1 Lagerdatensatz übernommen."_qs
                                      : u"Es wurden %1 Lagerdatensätze übernommen."_qs.arg(e.uebernommen);
    if (e.uebergangen == 1)
        text += u"\n\n1 Lagerdatensatz der früheren Version wurde übergangen: Seinen Namen gibt es mit dieser "
                u"CAS-Nummer im Register nicht."_qs;
    else if (e.uebergangen > 1)
        text += u"\n\n%1 Lagerdatensätze der früheren Version wurden übergangen: Ihre Namen gibt es mit diesen "
                u"CAS-Nummern im Register nicht."_qs.arg(e.uebergangen);
    return text;
}

} // namespace

TDatenuebernahme::TDatenuebernahme(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      RadioGroup1(new QGroupBox(u"Version"_qs, this)),
      RadioItem0(new QRadioButton(u"Marlex 1.x"_qs, RadioGroup1)),
      RadioItem1(new QRadioButton(u"Zan 3.0"_qs, RadioGroup1)),
      GroupBox1(new QGroupBox(u"Verzeichnis"_qs, this)),
      Edit1(new QLineEdit(GroupBox1)),
      Button1(new QPushButton(u"&Durchsuchen"_qs, GroupBox1)),
      Button2(new QPushButton(u"&Übernehmen"_qs, this)),
      Button3(new QPushButton(u"&Weiter"_qs, this)),
      m_version(new QButtonGroup(this))
{
    setObjectName(u"Datenuebernahme"_qs);
    setWindowTitle(u"Datenübernahme"_qs);
    widgets::centreOnScreen(this);
    RadioGroup1->setObjectName(u"RadioGroup1"_qs);
    RadioItem0->setObjectName(u"RadioItem0"_qs);
    RadioItem1->setObjectName(u"RadioItem1"_qs);
    GroupBox1->setObjectName(u"GroupBox1"_qs);
    Edit1->setObjectName(u"Edit1"_qs);
    Button1->setObjectName(u"Button1"_qs);
    Button2->setObjectName(u"Button2"_qs);
    Button3->setObjectName(u"Button3"_qs);

    RadioGroup1->setToolTip(u"Wählen Sie hier die Zan-Version aus, aus der Daten übernommen werden sollen"_qs);
    GroupBox1->setToolTip(u"Wählen Sie hier das Verzeichnis aus, worin sich die Zan-Version befindet"_qs);
    Button2->setToolTip(u"Drücken Sie hier, um die Daten ins Lager zu übernehmen"_qs);
    Button3->setToolTip(u"Drücken Sie hier, um das Fenster zu verlassen"_qs);

    m_version->addButton(RadioItem0, 0);
    m_version->addButton(RadioItem1, 1);
    RadioItem0->setChecked(true);
    Button2->setDefault(true);
    Button2->setEnabled(false);
    Edit1->setMinimumWidth(280);

    auto* versionen = new QVBoxLayout(RadioGroup1);
    versionen->addWidget(RadioItem0);
    versionen->addWidget(RadioItem1);
    auto* verzeichnis = new QHBoxLayout(GroupBox1);
    verzeichnis->addWidget(Edit1);
    verzeichnis->addWidget(Button1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button2);
    knoepfe->addWidget(Button3);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(RadioGroup1);
    layout->addWidget(GroupBox1);
    layout->addLayout(knoepfe);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TDatenuebernahme::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TDatenuebernahme::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TDatenuebernahme::reject);
    connect(Edit1, &QLineEdit::textChanged, this, &TDatenuebernahme::Edit1Change);
}

TDatenuebernahme::~TDatenuebernahme() = default;

int TDatenuebernahme::itemIndex() const
{
    return m_version->checkedId();
}

void TDatenuebernahme::reject()
{
    if (!m_laeuft)
        QDialog::reject();
}

void TDatenuebernahme::closeEvent(QCloseEvent* event)
{
    if (m_laeuft)
        event->ignore();
    else
        QDialog::closeEvent(event);
}

void TDatenuebernahme::Edit1Change()
{
    Button2->setEnabled(!Edit1->text().isEmpty());
}

void TDatenuebernahme::Button1Click()
{
    Marlex->GewaehltesVerzeichnis = Edit1->text();
    {
        TVerzeichnisWahl wahl(this);
        wahl.exec();
    }
    if (!Marlex->GewaehltesVerzeichnis.isEmpty()) {
        Edit1->setText(Marlex->GewaehltesVerzeichnis);
        Button2->setEnabled(true);
    }
}

void TDatenuebernahme::Button2Click()
{
    if (m_laeuft)
        return;
    m_laeuft = true;
    for (QWidget* w : {static_cast<QWidget*>(RadioGroup1), static_cast<QWidget*>(GroupBox1),
                       static_cast<QWidget*>(Button2), static_cast<QWidget*>(Button3)})
        w->setEnabled(false);
    try {
        laufen();
    } catch (const uebernahme::UebernahmeFehler& fehler) {
        widgets::MessageBox::error(this, fehler.text(), u"Datenübernahme"_qs);
    }
    m_laeuft = false;
    for (QWidget* w : {static_cast<QWidget*>(RadioGroup1), static_cast<QWidget*>(GroupBox1),
                       static_cast<QWidget*>(Button3)})
        w->setEnabled(true);
    Edit1Change();
}

void TDatenuebernahme::laufen()
{
    uebernahme::Auftrag auftrag;
    auftrag.version = static_cast<uebernahme::Version>(itemIndex());
    auftrag.verzeichnis = Edit1->text();
    auftrag.einzeln = OptWin98;
    auftrag.eigeneVerzeichnisse = {QDir::currentPath(), Programmverzeichnis};

    uebernahme::Ergebnis ergebnis;
    if (auftrag.version == uebernahme::Version::Marlex1x && auftrag.einzeln) {
        const auto text = [](int anzahl) {
            return u"Daten werden aus Marlex 1.x übernommen: %1 Lagerdatensätze übernommen."_qs.arg(anzahl);
        };
        const Fortschrittsanzeige fortschritt(u"Bitte warten"_qs, text(0), uebernahme::alteSaetze(auftrag));
        ergebnis = uebernahme::ausfuehren(auftrag, *Datas->Table1, *Datas->Table3,
                                          [&](int schritt, int schritte, int uebernommen) {
                                              ListeEinlesen->ProgressBar1->setMaximumSteps(schritte);
                                              ListeEinlesen->ProgressBar1->setPosition(schritt);
                                              ListeEinlesen->Label1->setText(text(uebernommen));
                                              QCoreApplication::processEvents();
                                          });
    } else {
        const Warten warten;
        ergebnis = uebernahme::ausfuehren(auftrag, *Datas->Table1, *Datas->Table3,
                                          [](int, int, int) { QCoreApplication::processEvents(); });
    }
    widgets::MessageBox::information(this, zusammenfassung(ergebnis), u"Datenübernahme"_qs);
    accept();
}
