// The main window's memo commands: the memo of the current substance viewed
// or entered, and the search over all memos.

#include <memory>

#include <QAction>
#include <QToolButton>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "search/Memoanzeigen.h"
#include "search/MemoSuchen.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

void TMarlex::Ansehen1Click()
{
    memofensterZeigen(0, QStringLiteral("Memo anzeigen"));
}

void TMarlex::Eingabe1Click()
{
    memofensterZeigen(1, QStringLiteral("Memo eingeben"));
}

void TMarlex::Suchen2Click()
{
    TMemoSuchen dialog(this);
    dialog.exec();
}

bool TMarlex::memoDesAktuellenStoffs() const
{
    if (!Datas || ListBox1->itemIndex() < 0)
        return false;
    dbase::Table& namen = *Datas->Table1;
    dbase::Table& chemie = *Datas->Table2;
    if (!namen.active() || !chemie.active() || namen.eof() || chemie.eof())
        return false;
    // The substance table stays on the last substance shown when a name has
    // none of its own; that memo is not this name's.
    return namen.fieldByName("CARN").asString() == chemie.fieldByName("CARN").asString()
        && namen.fieldByName("SUBCARN").asString() == chemie.fieldByName("SUBCARN").asString();
}

void TMarlex::memofensterZeigen(int modus, const QString& caption)
{
    // A new substance is held back in the substance table's own cached
    // updates: the memo window's would store or drop it along.
    if (EingabeModus == 1 || !memoDesAktuellenStoffs())
        return;
    MemoEingabeModus = modus;
    std::unique_ptr<TMemoanzeigen> fenster;
    try {
        fenster = std::make_unique<TMemoanzeigen>(this, caption, modus == 1);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("Der Memotext kann nicht geöffnet werden:\n\n")
                                             + widgets::errorText(fehler));
        return;
    }
    fenster->exec();
    fenster.reset();
    // A memo entered where there was none can now be viewed.
    try {
        AktuellenDatensatzZeigen();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
}

void TMarlex::memoBefehleVerbinden()
{
    connect(Ansehen1, &QAction::triggered, this, &TMarlex::Ansehen1Click);
    connect(ToolButton55, &QToolButton::clicked, this, &TMarlex::Ansehen1Click);
    connect(Eingabe1, &QAction::triggered, this, &TMarlex::Eingabe1Click);
    connect(Suchen2, &QAction::triggered, this, &TMarlex::Suchen2Click);
}
