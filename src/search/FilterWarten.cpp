#include "search/FilterWarten.h"

TFilterWarten* FilterWarten = nullptr;

TFilterWarten::TFilterWarten(QWidget* parent)
    : Wartefenster(parent, u"FilterWarten"_qs, u"Bitte warten..."_qs, "StaticText1",
                   u"Filter wird vorbereitet. Bitte warten..."_qs),
      StaticText1(textfeld())
{
}

TFilterWarten::~TFilterWarten() = default;
