#pragma once

#include "labels/EtikettenDateiDialog.h"

class QButtonGroup;
class QGroupBox;
class QRadioButton;

// "Etiketten Drucklayout": before the label preview the user chooses the
// stock items (the current one or all marked ones) and the label file.
class TEtikettenPreview : public TEtikettenDateiDialog {
    Q_OBJECT
public:
    explicit TEtikettenPreview(QWidget* parent = nullptr);

    QGroupBox* RadioGroup2;         // "Datensatzauswahl"
    QRadioButton* Aktuell;          // item 0 "Aktueller Datensatz", preselected
    QRadioButton* AlleMarkierten;   // item 1 "Alle markierten Datensätze"

    // The chosen item: 0 the current stock item, 1 all marked ones.
    int RadioGroup2ItemIndex() const;

    // "&OK": EtikettUmfang := the chosen item, then as every label dialog.
    void Button1Click() override;

private:
    QButtonGroup* m_auswahl;
};
