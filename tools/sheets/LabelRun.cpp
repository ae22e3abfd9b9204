#include "LabelRun.h"

#include "SheetSession.h"
#include "app/Marlex.h"
#include "data/Optionen.h"
#include "labels/EtikettenLayout.h"

namespace sheets {

void printLabelsPdf(SheetSession& session, const QString& layout, const QString& pdf)
{
    Marlex->DruckDatei = pdf;
    EtikettenLayout->VorlagenDatei = layout.isEmpty() ? OptStandardEtikett : layout;
    if (EtikettenLayout->EtikettenGesamtDrucken())
        return;
    QString what = QStringLiteral("Die Etiketten wurden nicht nach %1 gedruckt.").arg(pdf);
    for (const QString& message : session.takeMessages())
        what += QLatin1Char('\n') + message;
    throw SheetError(what);
}

} // namespace sheets
