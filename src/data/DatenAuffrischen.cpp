#include "data/DatenAuffrischen.h"

TDatenAuffrischen* DatenAuffrischen = nullptr;

TDatenAuffrischen::TDatenAuffrischen(QWidget* parent)
    : Wartefenster(parent, u"DatenAuffrischen"_qs, u"Daten auffrischen"_qs, "Label1",
                   u"Datenliste wird aufgefrischt. Bitte warten..."_qs),
      Label1(textfeld())
{
}

TDatenAuffrischen::~TDatenAuffrischen() = default;
