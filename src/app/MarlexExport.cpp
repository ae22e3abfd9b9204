// The storage menu's export of the current stock item's label as a picture
// ("Exportieren nach"): a metafile, a bitmap or a GIF image.

#include <QAction>

#include "app/Marlex.h"
#include "labels/EtikettExport.h"

namespace {

void exportDialogZeigen(TMarlex& fenster, int format, const QString& caption)
{
    fenster.ExportFormat = format;
    TEtikettExport dialog(&fenster);
    dialog.setWindowTitle(caption);
    dialog.exec();
}

} // namespace

void TMarlex::EMF1Click()
{
    exportDialogZeigen(*this, 0, QStringLiteral("Exportieren des aktuellen Etiketts nach WMF"));
}

void TMarlex::Bitmap1Click()
{
    exportDialogZeigen(*this, 1, QStringLiteral("Exportieren des aktuellen Etiketts nach Bitmap"));
}

void TMarlex::GIF1Click()
{
    exportDialogZeigen(*this, 2, QStringLiteral("Exportieren des aktuellen Etiketts nach GIF"));
}

void TMarlex::exportBefehleVerbinden()
{
    connect(EMF1, &QAction::triggered, this, &TMarlex::EMF1Click);
    connect(Bitmap1, &QAction::triggered, this, &TMarlex::Bitmap1Click);
    connect(GIF1, &QAction::triggered, this, &TMarlex::GIF1Click);
}
