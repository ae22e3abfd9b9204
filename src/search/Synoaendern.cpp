#include "search/Synoaendern.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
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

TSynoaendern::TSynoaendern(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Label1(benannt(new QLabel(u"Synonymname:"_qs, this), "Label1")), Edit1(benannt(new QLineEdit(this), "Edit1")),
      Button1(benannt(new QPushButton(u"Ä&ndern"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2"))
{
    setObjectName(u"Synoaendern"_qs);
    setWindowTitle(u"Synonymname ändern"_qs);
    Edit1->setToolTip(u"Geben Sie hier den neuen Synonymnamen ein"_qs);
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
    resize(340, 90);

    connect(Button1, &QPushButton::clicked, this, &TSynoaendern::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);

    Edit1->setText(Datas->Table1->fieldByName("NAME1").asString());
    Edit1->selectAll();
}

void TSynoaendern::Button1Click()
{
    if (Marlex->synonymUmbenennen(Edit1->text()))
        accept();
}
