// Two users on one register: the substance in edit mode is locked against
// the other user's edits, and a command that goes on from a record another
// user deleted meanwhile tells so and reads the list again.

#include <QAction>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

bool TMarlex::stoffSperren()
{
    dbase::Table& chemie = *Datas->Table2;
    if (!chemie.active() || chemie.recNo() == 0 || chemie.state() != dbase::TableState::Browse)
        return true;
    try {
        // Locked until edit mode ends or the page moves on; the controls
        // show the record as stored now.
        chemie.edit();
        return true;
    } catch (const dbase::RecordDeletedError& fehler) {
        ndern1->setChecked(false);
        inzwischenGeloescht(fehler);
    } catch (const dbase::DbaseError& fehler) {
        ndern1->setChecked(false);
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
    return false;
}

void TMarlex::inzwischenGeloescht(const dbase::RecordDeletedError& fehler)
{
    widgets::MessageBox::error(this, widgets::errorText(fehler));
    DatenlisteEinlesen();
}
