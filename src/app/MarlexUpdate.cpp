// The main window's data update: a supplied update table merged into the
// register's substance data.

#include <QAction>

#include "app/Marlex.h"
#include "update/Update.h"
#include "widgets/MessageBox.h"

void TMarlex::Update1Click()
{
    // The run moves chemie.dbf's cursor, which would store a half-edited
    // record along the way.
    if (offeneBearbeitung()) {
        widgets::MessageBox::information(this, QStringLiteral("Der Datensatz wird gerade bearbeitet. Bitte speichern "
                                                              "oder verwerfen Sie die Änderungen vor dem Update."));
        return;
    }
    TUpdate dialog(this);
    dialog.exec();
}

void TMarlex::updateBefehleVerbinden()
{
    connect(Update1, &QAction::triggered, this, &TMarlex::Update1Click);
}
