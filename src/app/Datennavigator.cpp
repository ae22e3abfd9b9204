#include "app/Datennavigator.h"

#include <algorithm>

#include <QAction>
#include <QContextMenuEvent>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

TDatennavigator* Datennavigator = nullptr;

TDatennavigator::TDatennavigator(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Datennavigator"));
    setWindowTitle(QStringLiteral("Datennavigator"));
    // A window of the main window's: it keeps no run alive on its own.
    setAttribute(Qt::WA_QuitOnClose, false);
    setFixedSize(200, 41);

    DBNavigator1 = new widgets::DBNavigator(this);
    DBNavigator1->setObjectName(QStringLiteral("DBNavigator1"));
    DBNavigator1->setHints({QStringLiteral("Zum ersten Datensatz springen"),
                            QStringLiteral("Zum vorherigen Datensatz springen"),
                            QStringLiteral("Zum nachfolgenden Datensatz springen"),
                            QStringLiteral("Zum letzten Datensatz springen")});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(DBNavigator1);

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Schlieen1 = new QAction(QStringLiteral("&Schließen"), PopupMenu1);
    Schlieen1->setObjectName(QStringLiteral("Schlieen1"));
    PopupMenu1->addAction(Schlieen1);

    connect(DBNavigator1, &widgets::DBNavigator::clicked, this, &TDatennavigator::DBNavigator1Click);
    connect(Schlieen1, &QAction::triggered, this, &TDatennavigator::Schlieen1Click);
}

void TDatennavigator::showEvent(QShowEvent* event)
{
    // The data module comes up after this window; the bar is bound to the
    // name table once there is one.
    if (Datas && DBNavigator1->dataSource() != Datas->DataSource1)
        DBNavigator1->setDataSource(Datas->DataSource1);
    QWidget::showEvent(event);
}

void TDatennavigator::contextMenuEvent(QContextMenuEvent* event)
{
    PopupMenu1->popup(event->globalPos());
}

void TDatennavigator::DBNavigator1Click(widgets::DBNavigator::Button button)
{
    if (!Marlex)
        return;
    widgets::NameList& liste = *Marlex->ListBox1;
    const int letzte = liste.count() - 1;
    if (letzte < 0)
        return;
    // The table stood on the row of the line shown last and has moved one
    // row, or to an end; the list's current line goes along, so the next
    // press moves on from there.
    const auto ziel = [&](int von) {
        switch (button) {
        case widgets::DBNavigator::Button::First: return 0;
        case widgets::DBNavigator::Button::Prior: return von > 0 ? von - 1 : von;
        case widgets::DBNavigator::Button::Next: return von < letzte ? von + 1 : von;
        case widgets::DBNavigator::Button::Last: return letzte;
        }
        return von;
    };
    Marlex->VorherigerListenIndex = ziel(std::clamp(Marlex->VorherigerListenIndex, 0, letzte));
    const int zeile = liste.itemIndex();
    liste.setItemIndex(ziel(zeile < 0 ? Marlex->VorherigerListenIndex : zeile));
    try {
        Marlex->AktuellenDatensatzZeigen();
    } catch (const std::exception& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
}

void TDatennavigator::Schlieen1Click()
{
    hide();
    if (Marlex)
        Marlex->ToolButton2->setChecked(false);
}
