#pragma once

#include <QString>
#include <QStringList>

namespace sheets {

class SheetSession;

// The demo's report layouts as the session's program directory holds them,
// the stock list first.
QStringList demoReportLayouts();

// Makes the report of `layout` with the program's report generator as a
// user does: the generator's dialog on the main window, output "Drucker",
// the question answered "&Ja", printed into the PDF file `pdf` in place of
// the printer. A SheetError with the program's messages when the report was
// not printed (a layout that does not load, a bad selection, ...).
void printReportPdf(SheetSession& session, const QString& layout, const QString& pdf);

// The report of `layout` in the preview window; returns when the window has
// closed (the caller closes it). A SheetError when it was not shown.
void previewReport(SheetSession& session, const QString& layout);

} // namespace sheets
