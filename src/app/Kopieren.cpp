#include "app/Kopieren.h"

#include <QLineEdit>
#include <QPushButton>

#include "app/Marlex.h"
#include "widgets/ScreenCentre.h"

TKopieren::TKopieren(QWidget* parent)
    : TNamensdialog(parent, u"Kopieren"_qs, u"Datensatz kopieren"_qs, u"&Kopieren"_qs)
{
    widgets::centreOnScreen(this);
    Edit1->setToolTip(u"Geben Sie hier gegebenfalls einen neuen Synonymnamen ein"_qs);
    Button1->setToolTip(u"Drücken Sie hier, um eine Kopie des aktuellen Datensatzes anzulegen"_qs);
    Button2->setToolTip(u"Drücken Sie hier, um den aktuellen Datensatz nicht zu kopieren"_qs);
}

void TKopieren::Button1Click()
{
    Marlex->stoffKopieren(Edit1->text());
    accept();
}
