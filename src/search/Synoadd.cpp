#include "search/Synoadd.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>

#include "app/Dialogteile.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"
#include "search/StoffZeilen.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

TSynoadd::TSynoadd(QWidget* parent)
    : QDialog(parent, Dialograhmen),
      Label1(benannt(new QLabel(u"Vorhandene Synonyme:"_qs, this), "Label1")),
      ListBox1(benannt(new QListWidget(this), "ListBox1")),
      Label2(benannt(new QLabel(u"Neuer Synonymname:"_qs, this), "Label2")),
      Edit1(benannt(new QLineEdit(this), "Edit1")),
      Button1(benannt(new QPushButton(u"&Hinzufügen"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2"))
{
    setObjectName(u"Synoadd"_qs);
    setWindowTitle(u"Synonymname hinzufügen"_qs);
    ListBox1->setToolTip(u"Hier werden die schon vorhandenen verwanten Synonyme angezeigt"_qs);
    Edit1->setToolTip(u"Geben Sie hier den neuen Synonymnamen ein"_qs);
    Label2->setBuddy(Edit1);

    auto* raster = new QGridLayout(this);
    raster->addWidget(Label1, 0, 0);
    raster->addWidget(ListBox1, 1, 0);
    raster->addWidget(Label2, 2, 0);
    raster->addWidget(Edit1, 3, 0);
    raster->addLayout(Knopfreihe({Button1, Button2}), 4, 0);
    resize(340, 300);

    connect(Button1, &QPushButton::clicked, this, &TSynoadd::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TSynoadd::FormCreate()
{
    // The name table is only looked at: it stands on the current line's row
    // afterwards however the dialog is closed.
    dbase::Table& namen = *Datas->Table1;
    Edit1->setText(namen.fieldByName("NAME1").asString());
    SynonymCarn = namen.fieldByName("CARN").asString();
    SynonymSubcarn = namen.fieldByName("SUBCARN").asString();
    try {
        std::vector<StoffZeile> namenDesStoffs = ZeilenDesStoffs(namen, SynonymCarn, SynonymSubcarn);
        WieDieNamensliste(namenDesStoffs, namen);
        for (const StoffZeile& z : namenDesStoffs)
            ListBox1->addItem(z.text);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
    // The name is what the user came to type; the list is only shown.
    Edit1->selectAll();
    Edit1->setFocus();
}

void TSynoadd::Button1Click()
{
    if (Marlex->synonymHinzufuegen(Edit1->text(), SynonymCarn, SynonymSubcarn))
        accept();
}
