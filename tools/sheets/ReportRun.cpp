#include "ReportRun.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QTimer>

#include "SheetSession.h"
#include "app/Marlex.h"
#include "demo/ReportLayouts.h"
#include "reports/ReportErstellung.h"
#include "reports/Drucker.h"
#include "reports/Reportdruck.h"

namespace sheets {

namespace {

QString withMessages(const QString& what, const QStringList& messages)
{
    return messages.isEmpty() ? what : what + QLatin1Char('\n') + messages.join(QLatin1Char('\n'));
}

// Answers the print question as soon as it is shown: the file `pdf` chosen
// in its "&Druckerinstallation", then "&Ja".
class JaAufDieFrage {
public:
    explicit JaAufDieFrage(const QString& pdf)
        : m_dialog([pdf](QWidget*, reports::Druckerwahl& wahl) {
            wahl.drucker.clear();
            wahl.datei = pdf;
            return true;
        })
    {
        m_timer.setInterval(0);
        QObject::connect(&m_timer, &QTimer::timeout, [] {
            if (auto* frage = qobject_cast<TReportdruck*>(QApplication::activeModalWidget())) {
                frage->Button3->click();
                frage->Button1->click();
            }
        });
        m_timer.start();
    }

private:
    reports::ScopedDruckerDialog m_dialog;
    QTimer m_timer;
};

void erstellen(SheetSession& session, const QString& layout, TReportErstellung::Ausgabe ausgabe, const QString& what)
{
    TReportErstellung dialog(Marlex);
    if (!dialog.Erstellen(layout, ausgabe))
        throw SheetError(withMessages(what, session.takeMessages()));
}

} // namespace

QStringList demoReportLayouts()
{
    const QDir programm(Programmverzeichnis);
    return {programm.absoluteFilePath(QLatin1String(demo::kStockListLayoutFile)),
            programm.absoluteFilePath(QLatin1String(demo::kToxicListLayoutFile))};
}

void printReportPdf(SheetSession& session, const QString& layout, const QString& pdf)
{
    // The tool's output replaces an earlier one; the print question would
    // ask first.
    QFile::remove(pdf);
    Marlex->DruckDatei = pdf;
    const JaAufDieFrage ja(pdf);
    erstellen(session, layout, TReportErstellung::AusgabeDrucker,
              QStringLiteral("Der Report %1 wurde nicht nach %2 gedruckt.").arg(QFileInfo(layout).fileName(), pdf));
}

void previewReport(SheetSession& session, const QString& layout)
{
    erstellen(session, layout, TReportErstellung::AusgabeBildschirm,
              QStringLiteral("Die Vorschau des Reports %1 wurde nicht gezeigt.").arg(QFileInfo(layout).fileName()));
}

} // namespace sheets
