#include "labels/EtikettenPreview.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "app/Marlex.h"

TEtikettenPreview::TEtikettenPreview(QWidget* parent)
    : TEtikettenDateiDialog(parent, QStringLiteral("Etiketten Drucklayout"), QStringLiteral("&OK"),
                            QStringLiteral("Drücken Sie hier, um das Drucklayout anzuzeigen"),
                            QStringLiteral("Drücken Sie hier, um zurückzukehren"))
{
    setObjectName(QStringLiteral("EtikettenPreview"));
    GroupBox1->setToolTip(QStringLiteral("Wählen Sie hier Ihr gewünschtes Etikettenformat aus"));

    RadioGroup2 = new QGroupBox(QStringLiteral("Datensatzauswahl"), this);
    RadioGroup2->setObjectName(QStringLiteral("RadioGroup2"));
    RadioGroup2->setToolTip(QStringLiteral("Wählen Sie hier Ihren gewünschten Datensatzumfang aus"));
    Aktuell = new QRadioButton(QStringLiteral("Aktueller Datensatz"), RadioGroup2);
    Aktuell->setObjectName(QStringLiteral("Aktuell"));
    AlleMarkierten = new QRadioButton(QStringLiteral("Alle markierten Datensätze"), RadioGroup2);
    AlleMarkierten->setObjectName(QStringLiteral("AlleMarkierten"));
    m_auswahl = new QButtonGroup(this);
    m_auswahl->addButton(Aktuell, 0);
    m_auswahl->addButton(AlleMarkierten, 1);
    Aktuell->setChecked(true);
    auto* punkte = new QVBoxLayout(RadioGroup2);
    punkte->addWidget(Aktuell);
    punkte->addWidget(AlleMarkierten);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    knoepfe->addStretch(1);
    auto* seite = new QVBoxLayout(this);
    seite->addWidget(RadioGroup2);
    seite->addWidget(GroupBox1);
    seite->addLayout(knoepfe);
}

int TEtikettenPreview::RadioGroup2ItemIndex() const
{
    return m_auswahl->checkedId();
}

void TEtikettenPreview::Button1Click()
{
    if (Marlex)
        Marlex->EtikettUmfang = RadioGroup2ItemIndex();
    TEtikettenDateiDialog::Button1Click();
}
