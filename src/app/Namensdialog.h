#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;

// What the small dialogs on one name share: "Synonymname:" with its box,
// which starts with the name of the list's current line, the action button
// (the default, it runs Button1Click) and "&Abbruch", which closes without
// doing anything.
class TNamensdialog : public QDialog {
    Q_OBJECT
public:
    QLabel* Label1;       // "Synonymname:"
    QLineEdit* Edit1;     // the name
    QPushButton* Button1; // the action
    QPushButton* Button2; // "&Abbruch"

    virtual void Button1Click() = 0;

protected:
    TNamensdialog(QWidget* parent, const QString& name, const QString& caption, const QString& aktion);
};
