// The main window's commands for the substance information sheet of the
// current substance: view it (a preview) or print it, each through its
// dialog that names the layout.

#include <QAction>
#include <QTimer>
#include <QToolButton>

#include "app/Marlex.h"
#include "reports/StoffInfo.h"
#include "reports/StoffinfoDialoge.h"

void TMarlex::Ansehen2Click()
{
    TStoffinfoLayout dialog(this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    StoffInfo->DruckModus = 0;
    StoffInfo->Erstellen();
}

void TMarlex::Drucken1Click()
{
    TStoffinfoDruck dialog(this);
    dialog.exec();
}

void TMarlex::stoffinfoBefehleVerbinden()
{
    for (QAction* item : {Ansehen2, Stoffinfoanzeigen1})
        connect(item, &QAction::triggered, this, &TMarlex::Ansehen2Click);
    for (QAction* item : {Drucken1, Stoffinfodrucken1})
        connect(item, &QAction::triggered, this, &TMarlex::Drucken1Click);
    for (QToolButton* button : {ToolButton57, ToolButton39})
        connect(button, &QToolButton::clicked, this, &TMarlex::Ansehen2Click);
    for (QToolButton* button : {ToolButton58, ToolButton40})
        connect(button, &QToolButton::clicked, this, &TMarlex::Drucken1Click);
    // The dropped lines do not matter: the sheet is the current substance's.
    // The dialog opens once the drop has ended, not inside the drag's events.
    connect(this, &TMarlex::listenzeilenAbgelegt, this, [this](QObject* ziel) {
        if (ziel == ToolButton57)
            QTimer::singleShot(0, this, &TMarlex::Ansehen2Click);
        else if (ziel == ToolButton58)
            QTimer::singleShot(0, this, &TMarlex::Drucken1Click);
    });
}
