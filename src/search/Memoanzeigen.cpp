#include "search/Memoanzeigen.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHBoxLayout>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

#include "data/Datas.h"
#include "dbase/Table.h"
#include "widgets/DBMemo.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace {

QPushButton* knopf(QWidget* parent, const char* name, const QString& text)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    return button;
}

QAction* eintrag(QMenu* menu, const char* name, const QString& text)
{
    QAction* action = menu->addAction(text);
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

TMemoanzeigen::TMemoanzeigen(QWidget* parent, const QString& caption, bool eingabe)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      DBMemo1(new widgets::DBMemo(this)), Button1(knopf(this, "Button1", u"&OK"_qs)),
      Button2(knopf(this, "Button2", u"&Editieren"_qs)), Button3(knopf(this, "Button3", u"&Abbruch"_qs)),
      PopupMenu1(new QMenu(this)), Kopieren1(eintrag(PopupMenu1, "Kopieren1", u"&Kopieren"_qs)),
      Einfgen1(eintrag(PopupMenu1, "Einfgen1", u"&Einfügen"_qs))
{
    setObjectName(u"Memoanzeigen"_qs);
    setWindowTitle(caption);
    PopupMenu1->setObjectName(u"PopupMenu1"_qs);

    // Switched before the memo is bound: an edit of the record page still
    // pending is stored now, not held back with the memo.
    dbase::Table& chemie = *Datas->Table2;
    chemie.setCachedUpdates(true);
    m_puffer = true;

    DBMemo1->setObjectName(u"DBMemo1"_qs);
    DBMemo1->setToolTip(u"Memotext vom aktuellen Datensatz. >Strg-X markierten Text ausschneiden< >Strg-C markierten "
                        u"Text in die Zwischenablage kopieren< >Strg-V Text aus der Zwischenablage einfügen<"_qs);
    DBMemo1->setDataSource(Datas->DataSource2);
    DBMemo1->setDataField(u"MEMOTEXT"_qs);
    DBMemo1->setContextMenuPolicy(Qt::CustomContextMenu);
    // Shown read-only rather than disabled: a long memo must scroll and its
    // text be copied while it is only viewed.
    editierbarSetzen(eingabe);

    Button1->setDefault(true);
    Button2->setAutoDefault(false);
    Button3->setAutoDefault(false);

    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(DBMemo1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    knoepfe->addWidget(Button3);
    spalte->addLayout(knoepfe);
    resize(460, 320);

    connect(Button1, &QPushButton::clicked, this, &TMemoanzeigen::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &TMemoanzeigen::Button2Click);
    connect(Button3, &QPushButton::clicked, this, &TMemoanzeigen::Button3Click);
    connect(DBMemo1, &QWidget::customContextMenuRequested, this, [this](const QPoint& stelle) {
        PopupMenu1Popup();
        PopupMenu1->popup(DBMemo1->viewport()->mapToGlobal(stelle));
    });
    connect(Kopieren1, &QAction::triggered, this, &TMemoanzeigen::Kopieren1Click);
    connect(Einfgen1, &QAction::triggered, this, &TMemoanzeigen::Einfgen1Click);
}

TMemoanzeigen::~TMemoanzeigen()
{
    // A window destroyed without being closed keeps nothing back either.
    try {
        pufferBeenden();
    } catch (const dbase::DbaseError&) {
        // The table refused to drop what it holds; it keeps it cached.
    }
}

void TMemoanzeigen::editierbarSetzen(bool an)
{
    DBMemo1->setReadOnly(!an);
    // A register opened read-only takes no memo.
    Button2->setEnabled(!an && !Datas->Table2->readOnly());
    if (an)
        DBMemo1->setFocus();
}

void TMemoanzeigen::Button1Click()
{
    if (speichern())
        accept();
}

void TMemoanzeigen::Button2Click()
{
    editierbarSetzen(true);
}

void TMemoanzeigen::Button3Click()
{
    verwerfen();
    QDialog::reject();
}

void TMemoanzeigen::reject()
{
    if (geaendert()) {
        if (widgets::MessageBox::askYesNo(this, u"Der Memotext wurde geändert.\n\nSollen die Änderungen "
                                                u"gespeichert werden?"_qs,
                                          widgets::Answer::Yes)
            == widgets::Answer::Yes) {
            Button1Click();
            return;
        }
    }
    Button3Click();
}

bool TMemoanzeigen::geaendert() const
{
    const dbase::Table& chemie = *Datas->Table2;
    return m_puffer && chemie.state() == dbase::TableState::Edit && chemie.modified();
}

bool TMemoanzeigen::speichern()
{
    dbase::Table& chemie = *Datas->Table2;
    try {
        Datas->DataSource2->updateRecord();
        chemie.applyUpdates();
        chemie.setCachedUpdates(false);
        m_puffer = false;
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, u"Der Memotext konnte nicht gespeichert werden:\n\n"_qs
                                             + widgets::errorText(fehler));
        return false;
    }
    return true;
}

void TMemoanzeigen::verwerfen()
{
    try {
        pufferBeenden();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, u"Die Änderungen am Memotext konnten nicht verworfen werden:\n\n"_qs
                                             + widgets::errorText(fehler));
    }
}

void TMemoanzeigen::pufferBeenden()
{
    if (!m_puffer)
        return;
    dbase::Table& chemie = *Datas->Table2;
    if (chemie.active()) {
        if (chemie.state() == dbase::TableState::Edit || chemie.state() == dbase::TableState::Insert)
            chemie.cancel();
        chemie.cancelUpdates();
    }
    chemie.setCachedUpdates(false);
    m_puffer = false;
}

void TMemoanzeigen::PopupMenu1Popup()
{
    const QMimeData* ablage = QApplication::clipboard()->mimeData();
    Einfgen1->setEnabled(!DBMemo1->isReadOnly() && ablage && ablage->hasText());
    Kopieren1->setEnabled(DBMemo1->textCursor().hasSelection());
}

void TMemoanzeigen::Kopieren1Click()
{
    DBMemo1->copy();
}

void TMemoanzeigen::Einfgen1Click()
{
    DBMemo1->paste();
}
