#pragma once

#include <QWidget>

#include "widgets/DBNavigator.h"

class QAction;
class QMenu;

// The data navigator: a small window, always on top, whose bar moves the
// name table to its first, prior, next or last row; the name list follows
// and the record page shows that substance. It lives for the whole run and
// is shown and hidden from the record page's tool bar. Without buttons on
// its title bar, it is closed through its popup menu.
class TDatennavigator : public QWidget {
    Q_OBJECT
public:
    explicit TDatennavigator(QWidget* parent = nullptr);

    widgets::DBNavigator* DBNavigator1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* Schlieen1 = nullptr;

    // The bar has moved the name table: the list's current line follows it.
    void DBNavigator1Click(widgets::DBNavigator::Button button);
    // "&Schließen": hides the window and lets the main window's navigator
    // button up.
    void Schlieen1Click();

protected:
    void showEvent(QShowEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
};

// The navigator of the run; null before it is created and after it is gone.
extern TDatennavigator* Datennavigator;
