// The storage page's command that sets chosen fields of every stock item.

#include <QAction>

#include "app/Marlex.h"
#include "labels/EtikettFestlegen.h"

void TMarlex::Etikettfestlegen1Click()
{
    TEtikettFestlegen dialog(this);
    dialog.exec();
}

void TMarlex::festlegenBefehleVerbinden()
{
    connect(Etikettfestlegen1, &QAction::triggered, this, &TMarlex::Etikettfestlegen1Click);
}
