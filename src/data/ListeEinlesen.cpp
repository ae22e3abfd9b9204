#include "data/ListeEinlesen.h"

#include <QCoreApplication>
#include <QGridLayout>
#include <QLabel>

#include "data/Fortschritt.h"

TListeEinlesen* ListeEinlesen = nullptr;

TListeEinlesen::TListeEinlesen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      Label1(new QLabel(this)),
      ProgressBar1(new datawidgets::Fortschrittsbalken(this)),
      Animate1(new datawidgets::Suchanimation(this))
{
    setObjectName(u"ListeEinlesen"_qs);
    setWindowTitle(u"Neu einlesen"_qs);
    setCursor(Qt::WaitCursor);
    setModal(false);

    Label1->setObjectName(u"Label1"_qs);
    Label1->setWordWrap(true);
    Label1->setMinimumSize(300, Label1->fontMetrics().lineSpacing() * 3);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    ProgressBar1->setObjectName(u"ProgressBar1"_qs);
    Animate1->setObjectName(u"Animate1"_qs);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Animate1, 0, 0, Qt::AlignTop);
    layout->addWidget(Label1, 0, 1);
    layout->addWidget(ProgressBar1, 1, 0, 1, 2);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TListeEinlesen::~TListeEinlesen() = default;

Fortschrittsanzeige::Fortschrittsanzeige(const QString& caption, const QString& text, int schritte)
{
    ListeEinlesen->setWindowTitle(caption);
    ListeEinlesen->ProgressBar1->setPosition(0);
    ListeEinlesen->ProgressBar1->setMaximumSteps(schritte);
    ListeEinlesen->show();
    ListeEinlesen->Label1->setText(text);
    QCoreApplication::processEvents();
}

Fortschrittsanzeige::~Fortschrittsanzeige()
{
    if (ListeEinlesen)
        ListeEinlesen->hide();
}

void Fortschrittsanzeige::schritt()
{
    ListeEinlesen->ProgressBar1->stepIt();
}
