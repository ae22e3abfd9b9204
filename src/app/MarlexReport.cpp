// The main window's command for free reports over the storage register: the
// report generator's dialog, open for as many reports as the user makes.

#include <QAction>

#include "app/Marlex.h"
#include "reports/ReportErstellung.h"

void TMarlex::Reporterstellen1Click()
{
    TReportErstellung dialog(this);
    dialog.exec();
}

void TMarlex::reportBefehleVerbinden()
{
    connect(Reporterstellen1, &QAction::triggered, this, &TMarlex::Reporterstellen1Click);
}
