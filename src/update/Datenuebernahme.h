#pragma once

#include <QDialog>

class QButtonGroup;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

// The first start's offer to take over the storage register of an earlier
// installation ("Datenübernahme"): the version, its directory (typed or
// chosen), "&Übernehmen" or "&Weiter" without a takeover. A takeover that
// fails leaves lager.dbf as it was; the user is told why and the dialog
// stays open for another try.
class TDatenuebernahme : public QDialog {
    Q_OBJECT
public:
    explicit TDatenuebernahme(QWidget* parent = nullptr);
    ~TDatenuebernahme() override;

    QGroupBox* RadioGroup1;      // "Version": item 0 "Marlex 1.x", item 1 "Zan 3.0"
    QRadioButton* RadioItem0;
    QRadioButton* RadioItem1;
    QGroupBox* GroupBox1;        // "Verzeichnis"
    QLineEdit* Edit1;            // the earlier installation's directory
    QPushButton* Button1;        // "&Durchsuchen"
    QPushButton* Button2;        // "&Übernehmen"
    QPushButton* Button3;        // "&Weiter"

    // The chosen item of RadioGroup1.
    int itemIndex() const;

public slots:
    // Neither the close box nor Escape leave while a takeover runs.
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void Button1Click();
    void Button2Click();
    void Edit1Change();
    void laufen();

    QButtonGroup* m_version;
    bool m_laeuft = false;
};
