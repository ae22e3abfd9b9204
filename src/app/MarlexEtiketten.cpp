// The storage page's label commands: each opens its dialog and, when the
// user confirmed it, hands the chosen label file to the label engine and
// starts the job. The engine reads and checks every input before it changes
// anything and tells the user what went wrong or which stock items had no
// substance data.

#include <QAction>
#include <QToolButton>

#include "app/Marlex.h"
#include "labels/EtikettenDruck.h"
#include "labels/EtikettenLayout.h"
#include "labels/EtikettenPreview.h"

namespace {

// Shows the dialog; when it was closed with OK in this showing, hands the
// chosen label file to the engine and runs the job.
template <class Dialog, class Job>
void nachDialog(TMarlex* fenster, const QString& caption, Job job)
{
    {
        Dialog dialog(fenster);
        if (!caption.isEmpty())
            dialog.setWindowTitle(caption);
        if (dialog.exec() != QDialog::Accepted || fenster->EtikettDialogOk != 1)
            return;
    }
    EtikettenLayout->VorlagenDatei = fenster->EtikettDatei;
    job();
}

} // namespace

void TMarlex::ToolButton33Click()
{
    nachDialog<TEtikettenPreview>(this, {}, [this] { EtikettenLayout->EtikettenLayoutZeigen(EtikettUmfang == 1); });
}

void TMarlex::ToolButton37Click()
{
    nachDialog<TEtikettenDruck>(this, QStringLiteral("Gesamt Datensatz Etiketten-Druck"),
                                [] { EtikettenLayout->EtikettenGesamtDrucken(); });
}

void TMarlex::ToolButton3Click()
{
    nachDialog<TEtikettenDruck>(this, QStringLiteral("Aktueller Datensatz Etiketten-Druck"),
                                [] { EtikettenLayout->EtikettAktuellDrucken(); });
}

void TMarlex::etikettenBefehleVerbinden()
{
    connect(ToolButton33, &QToolButton::clicked, this, &TMarlex::ToolButton33Click);
    for (QAction* item : {Layout2, Layout1})
        connect(item, &QAction::triggered, this, &TMarlex::ToolButton33Click);
    connect(ToolButton37, &QToolButton::clicked, this, &TMarlex::ToolButton37Click);
    for (QAction* item : {Gesamt2, Gesamt1})
        connect(item, &QAction::triggered, this, &TMarlex::ToolButton37Click);
    connect(ToolButton3, &QToolButton::clicked, this, &TMarlex::ToolButton3Click);
    for (QAction* item : {EtikettenLangform2, AktuellenDatensatz1})
        connect(item, &QAction::triggered, this, &TMarlex::ToolButton3Click);
}
