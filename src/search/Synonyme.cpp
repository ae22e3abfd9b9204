#include "search/Synonyme.h"

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
#include "widgets/NameList.h"

TSynonyme::TSynonyme(QWidget* parent)
    : QDialog(parent, Dialograhmen),
      Label1(benannt(new QLabel(u"Name:"_qs, this), "Label1")), Edit1(benannt(new QLineEdit(this), "Edit1")),
      Label2(benannt(new QLabel(u"Verwandte Synonyme:"_qs, this), "Label2")),
      ListBox1(benannt(new QListWidget(this), "ListBox1")),
      Button1(benannt(new QPushButton(u"&Schließen"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Gehe zu"_qs, this), "Button2"))
{
    setObjectName(u"Synonyme"_qs);
    setWindowTitle(u"Verwandte Synonyme anzeigen"_qs);
    Edit1->setEnabled(false);
    ListBox1->setToolTip(u"Hier werden die verwanten Synonyme angezeigt"_qs);
    Button2->setToolTip(u"Drücken Sie hier, um zu dem ausgewählten Datensatz zu gelangen"_qs);
    Button2->setEnabled(false);

    auto* raster = new QGridLayout(this);
    raster->addWidget(Label1, 0, 0);
    raster->addWidget(Edit1, 0, 1);
    raster->addWidget(Label2, 1, 0, 1, 2);
    raster->addWidget(ListBox1, 2, 0, 1, 2);
    // "&Schließen" is the default button, "&Gehe zu" stands before it.
    QHBoxLayout* knoepfe = Knopfreihe({Button1});
    knoepfe->insertWidget(1, Button2);
    Button2->setAutoDefault(false);
    raster->addLayout(knoepfe, 3, 0, 1, 2);
    resize(340, 300);

    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button2, &QPushButton::clicked, this, &TSynonyme::Button2Click);
    connect(ListBox1, &QListWidget::itemDoubleClicked, this, [this] {
        if (Button2->isEnabled())
            Button2Click();
    });
    FormCreate();
}

void TSynonyme::FormCreate()
{
    dbase::Table& namen = *Datas->Table1;
    const QString name = namen.fieldByName("NAME1").asString();
    Edit1->setText(name);
    std::vector<StoffZeile> verwandte;
    try {
        verwandte = ZeilenDesStoffs(namen, namen.fieldByName("CARN").asString(),
                                    namen.fieldByName("SUBCARN").asString());
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, widgets::errorText(fehler));
    }
    // The other names only: every row named as the current one stays out.
    std::erase_if(verwandte, [&](const StoffZeile& z) { return z.text == name; });
    WieDieNamensliste(verwandte, namen);
    for (const StoffZeile& z : verwandte) {
        ListBox1->addItem(z.text);
        SynonymRecNos << QString::number(z.recNo);
    }
    if (!verwandte.empty()) {
        ListBox1->setCurrentRow(0);
        Button2->setEnabled(Marlex->ListenFilterAktiv != 1);
    }
}

void TSynonyme::Button2Click()
{
    const int gewaehlt = ListBox1->currentRow();
    if (gewaehlt < 0)
        return;
    widgets::NameList& liste = *Marlex->ListBox1;
    const qsizetype zeile = Marlex->RecNoList.indexOf(SynonymRecNos[gewaehlt].toUInt());
    if (zeile < 0)
        return;
    liste.setSelected(liste.itemIndex(), false);
    liste.setItemIndex(static_cast<int>(zeile));
    liste.scrollTo(liste.model()->index(static_cast<int>(zeile), 0), QAbstractItemView::PositionAtTop);
    Marlex->AktuellenDatensatzZeigen();
    accept();
}
