// The main window's commands that open the filter dialog, on the list
// filter or on the storage filter.

#include <QAction>

#include "app/Marlex.h"
#include "search/Filtersetzen.h"

void TMarlex::Filtersetzen1Click()
{
    LagerFilterModus = 0;
    TFiltersetzen dialog(this);
    dialog.exec();
}

void TMarlex::Filter2Click()
{
    LagerFilterModus = 1;
    TFiltersetzen dialog(this);
    dialog.exec();
}

void TMarlex::filterBefehleVerbinden()
{
    connect(Filtersetzen1, &QAction::triggered, this, &TMarlex::Filtersetzen1Click);
    connect(Filter2, &QAction::triggered, this, &TMarlex::Filter2Click);
}
