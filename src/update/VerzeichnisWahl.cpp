#include "update/VerzeichnisWahl.h"

#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "files/Paths.h"
#include "update/Verzeichnisliste.h"

TVerzeichnisWahl::TVerzeichnisWahl(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint),
      StaticText1(new QLabel(u"Verzeichnis"_qs, this)),
      DirectoryListBox1(new Verzeichnisliste(this)),
      Button1(new QPushButton(u"&Ok"_qs, this)),
      Button2(new QPushButton(u"&Abbruch"_qs, this))
{
    setObjectName(u"VerzeichnisWahl"_qs);
    setWindowTitle(u"Verzeichniswahl"_qs);
    StaticText1->setObjectName(u"StaticText1"_qs);
    DirectoryListBox1->setObjectName(u"DirectoryListBox1"_qs);
    Button1->setObjectName(u"Button1"_qs);
    Button2->setObjectName(u"Button2"_qs);
    StaticText1->setBuddy(DirectoryListBox1);
    DirectoryListBox1->setMinimumSize(320, 260);
    Button1->setDefault(true);

    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(StaticText1);
    layout->addWidget(DirectoryListBox1);
    layout->addLayout(knoepfe);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    if (Marlex && !Marlex->GewaehltesVerzeichnis.trimmed().isEmpty())
        DirectoryListBox1->setVerzeichnis(files::nativePath(Marlex->GewaehltesVerzeichnis.trimmed()));
    connect(Button1, &QPushButton::clicked, this, &TVerzeichnisWahl::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

TVerzeichnisWahl::~TVerzeichnisWahl() = default;

void TVerzeichnisWahl::Button1Click()
{
    if (Marlex)
        Marlex->GewaehltesVerzeichnis = QDir::toNativeSeparators(DirectoryListBox1->gewaehlt());
    accept();
}
