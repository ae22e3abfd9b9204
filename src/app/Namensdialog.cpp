#include "app/Namensdialog.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

#include "app/Dialogteile.h"
#include "data/Datas.h"
#include "dbase/Table.h"

TNamensdialog::TNamensdialog(QWidget* parent, const QString& name, const QString& caption, const QString& aktion)
    : QDialog(parent, Dialograhmen), Label1(benannt(new QLabel(u"Synonymname:"_qs, this), "Label1")),
      Edit1(benannt(new QLineEdit(this), "Edit1")), Button1(benannt(new QPushButton(aktion, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2"))
{
    setObjectName(name);
    setWindowTitle(caption);
    Label1->setBuddy(Edit1);
    Edit1->setMinimumWidth(260);

    auto* raster = new QGridLayout(this);
    raster->addWidget(Label1, 0, 0);
    raster->addWidget(Edit1, 0, 1);
    raster->addLayout(Knopfreihe({Button1, Button2}), 1, 0, 1, 2);
    raster->setSizeConstraint(QLayout::SetFixedSize);

    // The call goes through the object made: Button1Click is its class's.
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    Edit1->setText(Datas->Table1->fieldByName("NAME1").asString());
    Edit1->selectAll();
}
