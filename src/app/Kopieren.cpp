#include "app/Kopieren.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLayout>
#include <QLineEdit>
#include <QPushButton>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "dbase/Table.h"

namespace {

template <typename W>
W* benannt(W* widget, const char* name)
{
    widget->setObjectName(QLatin1String(name));
    return widget;
}

} // namespace

TKopieren::TKopieren(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Label1(benannt(new QLabel(u"Synonymname:"_qs, this), "Label1")), Edit1(benannt(new QLineEdit(this), "Edit1")),
      Button1(benannt(new QPushButton(u"&Kopieren"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2"))
{
    setObjectName(u"Kopieren"_qs);
    setWindowTitle(u"Datensatz kopieren"_qs);
    Edit1->setToolTip(u"Geben Sie hier gegebenfalls einen neuen Synonymnamen ein"_qs);
    Button1->setToolTip(u"Drücken Sie hier, um eine Kopie des aktuellen Datensatzes anzulegen"_qs);
    Button2->setToolTip(u"Drücken Sie hier, um den aktuellen Datensatz nicht zu kopieren"_qs);
    Label1->setBuddy(Edit1);
    Button1->setDefault(true);
    Button2->setAutoDefault(false);

    auto* raster = new QGridLayout(this);
    raster->addWidget(Label1, 0, 0);
    raster->addWidget(Edit1, 0, 1);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    raster->addLayout(knoepfe, 1, 0, 1, 2);
    Edit1->setMinimumWidth(260);
    raster->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TKopieren::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    FormCreate();
}

void TKopieren::FormCreate()
{
    Edit1->setText(Datas->Table1->fieldByName("NAME1").asString());
    Edit1->selectAll();
}

void TKopieren::Button1Click()
{
    Marlex->stoffKopieren(Edit1->text());
    accept();
}
