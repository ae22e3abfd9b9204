#pragma once

#include <QString>

namespace sheets {

class SheetSession;

// The labels of all marked stock items on the label layout `layout` (empty:
// the default label of the settings, the demo's ETIKETT.ETI), printed by the
// program's label engine into the PDF file `pdf` in place of the printer, as
// the storage page's "Gesamt" does once its dialog is confirmed. A
// SheetError with the program's messages when nothing was printed (a layout
// that does not load, no marked stock item, ...); what the run told besides
// (stock items without substance data) stays for takeMessages().
void printLabelsPdf(SheetSession& session, const QString& layout, const QString& pdf);

} // namespace sheets
