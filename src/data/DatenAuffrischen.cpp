#include "data/DatenAuffrischen.h"

#include <QLabel>
#include <QVBoxLayout>

TDatenAuffrischen* DatenAuffrischen = nullptr;

TDatenAuffrischen::TDatenAuffrischen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      Label1(new QLabel(u"Datenliste wird aufgefrischt. Bitte warten..."_qs, this))
{
    setObjectName(u"DatenAuffrischen"_qs);
    setWindowTitle(u"Daten auffrischen"_qs);
    setCursor(Qt::WaitCursor);
    setModal(false);
    Label1->setObjectName(u"Label1"_qs);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(Label1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TDatenAuffrischen::~TDatenAuffrischen() = default;
