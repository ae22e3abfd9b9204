// The main window's commands that open the name search and the storage
// search.

#include <QAction>
#include <QToolButton>

#include "app/Marlex.h"
#include "search/LagerSuchen.h"
#include "search/Suchen.h"

void TMarlex::Suchen1Click()
{
    TSuchen dialog(this);
    dialog.exec();
}

void TMarlex::Suchen3Click()
{
    TLagerSuchen dialog(this);
    dialog.exec();
}

void TMarlex::suchBefehleVerbinden()
{
    connect(Suchen1, &QAction::triggered, this, &TMarlex::Suchen1Click);
    connect(ToolButton43, &QToolButton::clicked, this, &TMarlex::Suchen1Click);
    connect(Suchen3, &QAction::triggered, this, &TMarlex::Suchen3Click);
}
