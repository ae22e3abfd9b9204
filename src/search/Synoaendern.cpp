#include "search/Synoaendern.h"

#include <QLineEdit>

#include "app/Marlex.h"

TSynoaendern::TSynoaendern(QWidget* parent)
    : TNamensdialog(parent, u"Synoaendern"_qs, u"Synonymname ändern"_qs, u"Ä&ndern"_qs)
{
    Edit1->setToolTip(u"Geben Sie hier den neuen Synonymnamen ein"_qs);
}

void TSynoaendern::Button1Click()
{
    if (Marlex->synonymUmbenennen(Edit1->text()))
        accept();
}
