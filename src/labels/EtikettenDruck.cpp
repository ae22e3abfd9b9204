#include "labels/EtikettenDruck.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TEtikettenDruck::TEtikettenDruck(QWidget* parent)
    : TEtikettenDateiDialog(parent, QStringLiteral("Etiketten Druck"), QStringLiteral("&Ok"),
                            QStringLiteral("Drücken Sie hier, um den Etikettendruck durchzuführen"),
                            QStringLiteral("Drücken Sie hier, um den Druck abzubrechen"))
    , m_ziel(QStringLiteral("Etiketten"))
{
    setObjectName(QStringLiteral("EtikettenDruck"));
    Edit5->setToolTip(QStringLiteral("Wählen Sie hier die Etikettendatei aus"));

    GroupBox2 = new QGroupBox(QStringLiteral("Ausgabe"), this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Label1 = new QLabel(frage(), GroupBox2);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setToolTip(QStringLiteral("Hier wird die Ausgabe des Druckes angezeigt"));
    Label1->setWordWrap(true);
    Label1->setMinimumWidth(340);
    auto* ausgabe = new QVBoxLayout(GroupBox2);
    ausgabe->addWidget(Label1);

    Button4 = new QPushButton(QStringLiteral("&Druckerinstallation"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setToolTip(QStringLiteral("Drücken Sie hier, um einen neuen Drucker auszuwählen"));

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    knoepfe->addStretch(1);
    knoepfe->addWidget(Button4);
    auto* seite = new QVBoxLayout(this);
    seite->addWidget(GroupBox2);
    seite->addWidget(GroupBox1);
    seite->addLayout(knoepfe);

    connect(Button4, &QPushButton::clicked, this, &TEtikettenDruck::Button4Click);
}

QString TEtikettenDruck::frage() const
{
    return m_ziel.frage(QStringLiteral("der Etikettendruck"));
}

void TEtikettenDruck::Button1Click()
{
    if (m_ziel.bestaetigen(this))
        TEtikettenDateiDialog::Button1Click();
}

void TEtikettenDruck::Button4Click()
{
    m_ziel.einrichten(this);
    Label1->setText(frage());
}
