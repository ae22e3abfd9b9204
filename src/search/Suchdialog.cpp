#include "widgets/Benannt.h"
#include "search/Suchdialog.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "app/NameRules.h"
#include "dbase/DbaseError.h"
#include "dbase/Filter.h"
#include "dbase/Table.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

namespace {

const std::string schluesselfeld = "STRIPNAME1";
// The tag of both tables whose keys are the key field: a search is one
// range of it.
const std::string namensfolge = "NAME1_SUB";

using widgets::benannt;

} // namespace

TSuchdialog::TSuchdialog(QWidget* parent, const QString& name)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      Label2(benannt(new QLabel(u"Präfix:"_qs, this), "Label2")), Edit1(benannt(new QLineEdit(this), "Edit1")),
      CheckBox2(benannt(new QCheckBox(u"Groß- / Kleinschreibung beachten"_qs, this), "CheckBox2")),
      CheckBox3(benannt(new QCheckBox(u"Exakte Suche"_qs, this), "CheckBox3")),
      Button1(benannt(new QPushButton(u"&OK"_qs, this), "Button1")),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2"))
{
    setObjectName(name);
    setWindowTitle(u"Suchen"_qs);
    Edit1->setToolTip(u"Geben Sie hier den Suchpräfix ein"_qs);
    Label2->setBuddy(Edit1);
    Button1->setDefault(true);
    Button2->setAutoDefault(false);

    auto* raster = new QGridLayout(this);
    raster->addWidget(Label2, 0, 0);
    raster->addWidget(Edit1, 0, 1);
    raster->addWidget(CheckBox2, 1, 0, 1, 2);
    raster->addWidget(CheckBox3, 2, 0, 1, 2);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    raster->addLayout(knoepfe, 3, 0, 1, 2);
    resize(320, 140);

    connect(Button1, &QPushButton::clicked, this, &TSuchdialog::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
}

void TSuchdialog::Button1Click()
{
    if (Edit1->text().isEmpty())
        return;
    try {
        suchen();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::warning(this, u"Die Suche ist nicht möglich.\n\n"_qs + widgets::errorText(fehler));
        return;
    }
    accept();
}

QString TSuchdialog::suchtext() const
{
    return umlauteErsetzt(Edit1->text());
}

dbase::FilterOptions TSuchdialog::optionen() const
{
    // Exact search compares a trailing "*" as a character; unticked case
    // ignores case.
    return {.caseInsensitive = !CheckBox2->isChecked(), .noPartialCompare = CheckBox3->isChecked()};
}

dbase::Filter TSuchdialog::namensbedingung() const
{
    return CheckBox3->isChecked() ? dbase::Filter::equals(schluesselfeld, suchtext())
                                  : dbase::Filter::startsWith(schluesselfeld, suchtext());
}

std::uint32_t TSuchdialog::ersterTreffer(dbase::Table& tabelle) const
{
    return tabelle.firstPassing(namensbedingung(), optionen(), QString::fromStdString(namensfolge));
}
