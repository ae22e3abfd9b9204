#pragma once

#include <QDialog>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

// "Datensätze festlegen": writes the ticked values (storage place, the two
// free fields, supplier, user, label count) into every stock item of the
// storage view in one run, for instance to mark every item for one label or
// to unmark all of them.
//
// The run takes the record numbers of the view (storage filter and index
// order as they stand) first and then writes each of those items exactly
// once, so a storage filter that tests a written field neither skips items
// nor visits one twice. A record the table refuses is left as it was, the
// run stops there and says how many items were set before it; those keep
// their new values.
class TEtikettFestlegen : public QDialog {
    Q_OBJECT
public:
    explicit TEtikettFestlegen(QWidget* parent = nullptr);

    QGroupBox* GroupBox1;
    QLabel* StaticText2;   // "Lagerort:"
    QLineEdit* Edit1;
    QCheckBox* CheckBox1;
    QLabel* StaticText3;   // "Frei1:"
    QLineEdit* Edit2;
    QCheckBox* CheckBox3;
    QLabel* StaticText4;   // "Frei2:"
    QLineEdit* Edit3;
    QCheckBox* CheckBox4;
    QLabel* StaticText5;   // "Lieferant:"
    QLineEdit* Edit4;
    QCheckBox* CheckBox5;
    QLabel* StaticText6;   // "Verwender:"
    QLineEdit* Edit5;
    QCheckBox* CheckBox6;
    QLabel* StaticText1;   // "Anzahl:"
    QSpinBox* SpinEdit1;
    QCheckBox* CheckBox2;
    QPushButton* Button1;  // "&Ok": the run
    QPushButton* Button2;  // "&Abbruch"

    // Presets supplier and user from the settings.
    void FormCreate();
    // Sets the stock items; closes the dialog with OK when all were set,
    // keeps it open after a refused record (having said so).
    void Button1Click();

protected:
    void showEvent(QShowEvent* event) override;
};
