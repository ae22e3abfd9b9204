#pragma once

#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QMenu;

// What the two current-filter windows share: a small stay-on-top window
// that shows the expression in force and offers, by its context menu (on the
// window and on the expression), to set the filter anew or to clear it.
// Made at program start, only shown and hidden afterwards.
class TFilterfenster : public QWidget {
    Q_OBJECT
public:
    QLabel* Label1;          // "Aktueller Filter:"
    QLineEdit* Edit1;        // the expression, disabled
    QMenu* PopupMenu1;
    QAction* Filterneusetzen1; // "Filter &neu setzen"
    QAction* Filterlschen1;    // "Filter &löschen"

    // Opens the filter dialog, owned by this window, on this window's filter.
    void Filterneusetzen1Click();
    virtual void Filterlschen1Click() = 0;

protected:
    TFilterfenster(const QString& name, const QString& caption, int modus);

private:
    int m_modus; // the dialog's LagerFilterModus for this window's filter
};
