#include "search/FilterWarten.h"

#include <QLabel>
#include <QVBoxLayout>

TFilterWarten* FilterWarten = nullptr;

TFilterWarten::TFilterWarten(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::MSWindowsFixedSizeDialogHint),
      StaticText1(new QLabel(u"Filter wird vorbereitet. Bitte warten..."_qs, this))
{
    setObjectName(u"FilterWarten"_qs);
    setWindowTitle(u"Bitte warten..."_qs);
    setCursor(Qt::WaitCursor);
    setModal(false);
    StaticText1->setObjectName(u"StaticText1"_qs);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 18, 24, 18);
    layout->addWidget(StaticText1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

TFilterWarten::~TFilterWarten() = default;
