#include "labels/EtikettExport.h"

#include <exception>
#include <optional>

#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QSaveFile>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "graphics/GraphicsError.h"
#include "graphics/WmfWriter.h"
#include "labels/EtikettenLayout.h"
#include "labels/GIFImage.h"
#include "report/Page.h"
#include "reports/Layout.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/ScreenCentre.h"

namespace {

constexpr double kPunkteProMm = 96.0 / 25.4;
// The metafile's coordinates are 16-bit; no label comes near it.
constexpr int kGroessteSeite = 32767;

enum Format { Wmf = 0, Bmp = 1, Gif = 2 };

struct Zielart {
    QString titel;
    QString endung;
    QString filter;
};

Zielart zielart(int format)
{
    switch (format) {
    case Bmp:
        return {QStringLiteral("Etikett als Bitmap abspeichern"), QStringLiteral("BMP"),
                QStringLiteral("Bitmap (*.BMP *.bmp);;Alle Dateien (*)")};
    case Gif:
        return {QStringLiteral("Etikett als GIF abspeichern"), QStringLiteral("GIF"),
                QStringLiteral("Gif (*.GIF *.gif);;Alle Dateien (*)")};
    default:
        return {QStringLiteral("Etikett als Windows Meta File abspeichern"), QStringLiteral("WMF"),
                QStringLiteral("Windows Meta File (*.WMF *.wmf);;Alle Dateien (*)")};
    }
}

QPushButton* knopf(QWidget* parent, const char* name, const QString& text, const QString& hinweis)
{
    auto* button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setToolTip(hinweis);
    return button;
}

QFileDialog* dateiDialog(QWidget* parent, const char* name, QFileDialog::AcceptMode modus)
{
    auto* dialog = new QFileDialog(parent);
    dialog->setObjectName(QLatin1String(name));
    dialog->setOption(QFileDialog::DontUseNativeDialog);
    dialog->setAcceptMode(modus);
    return dialog;
}

QString nichtGeschrieben(const QString& datei, const QString& grund)
{
    return QStringLiteral("Die Datei „%1“ konnte nicht geschrieben werden.\n%2")
        .arg(QDir::toNativeSeparators(datei), grund);
}

// Writes the bitmap file; the file is replaced only once complete.
QString bmpSchreiben(const QString& datei, const QImage& bild)
{
    QSaveFile ziel(datei);
    if (!ziel.open(QIODevice::WriteOnly))
        return nichtGeschrieben(datei, ziel.errorString());
    if (!bild.save(&ziel, "BMP")) {
        ziel.cancelWriting();
        return nichtGeschrieben(datei, QStringLiteral("Das Bild ließ sich nicht als Bitmap schreiben."));
    }
    if (!ziel.commit())
        return nichtGeschrieben(datei, ziel.errorString());
    return {};
}

QString wmfSchreiben(const QString& datei, const report::Page& seite, QSize pixel)
{
    graphics::WmfWriter metadatei(pixel);
    {
        QPainter maler(&metadatei);
        report::paintPage(seite, maler, kPunkteProMm);
    }
    try {
        metadatei.save(datei);
    } catch (const graphics::GraphicsError& e) {
        return e.message();
    }
    return {};
}

} // namespace

QImage EtikettBitmap(const report::Page& seite, QSize pixel)
{
    QImage bild(pixel, QImage::Format_RGB32);
    if (bild.isNull())
        return bild;
    bild.setDotsPerMeterX(3780); // 96 dpi, the size the label was laid out at
    bild.setDotsPerMeterY(3780);
    bild.fill(Qt::white);
    QPainter maler(&bild);
    report::paintPage(seite, maler, kPunkteProMm, false);
    return bild;
}

QString EtikettBildSchreiben(int format, const QString& datei, const report::Page& seite, QSize pixel)
{
    if (format == Wmf)
        return wmfSchreiben(datei, seite, pixel);
    const QImage bild = EtikettBitmap(seite, pixel);
    if (bild.isNull())
        return nichtGeschrieben(datei, QStringLiteral("Für ein Bild des Etiketts von %1 × %2 Pixeln reicht der "
                                                      "Speicher nicht.")
                                           .arg(pixel.width())
                                           .arg(pixel.height()));
    if (format == Gif) {
        // No transparency, rows in order: the picture as drawn.
        if (!SaveBitmapAsGif(datei, bild, false, false, 0xFFFFFF))
            return GifFehlertext();
        return {};
    }
    return bmpSchreiben(datei, bild);
}

TEtikettExport::TEtikettExport(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("EtikettExport"));
    setWindowTitle(QStringLiteral("Exportieren des aktuellen Etiketts"));

    GroupBox1 = new QGroupBox(QStringLiteral("Etikettendatei"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setToolTip(QStringLiteral("Wählen Sie hier Ihr gewünschtes Etikettenformat aus"));
    Edit1 = new QLineEdit(GroupBox1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Button3 = knopf(GroupBox1, "Button3", QStringLiteral("&Durchsuchen"), {});
    auto* zeile = new QHBoxLayout(GroupBox1);
    zeile->addWidget(Edit1, 1);
    zeile->addWidget(Button3);

    Button1 = knopf(this, "Button1", QStringLiteral("&Exportieren"),
                    QStringLiteral("Drücken Sie hier, um das Etikett abzuspeichern"));
    Button1->setDefault(true);
    Button2 = knopf(this, "Button2", QStringLiteral("&Abbruch"),
                    QStringLiteral("Drücken Sie hier, um das Fenster zu verlassen"));
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(GroupBox1);
    spalte->addLayout(knoepfe);
    setFixedSize(420, 130);

    OpenDialog1 = dateiDialog(this, "OpenDialog1", QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setDefaultSuffix(QStringLiteral("ETI"));
    OpenDialog1->setNameFilter(QStringLiteral("Etiketten-Dateien (*.ETI *.eti);;Alle Dateien (*)"));
    SavePictureDialog1 = dateiDialog(this, "SavePictureDialog1", QFileDialog::AcceptSave);
    SaveDialog1 = dateiDialog(this, "SaveDialog1", QFileDialog::AcceptSave);

    connect(Button1, &QPushButton::clicked, this, &TEtikettExport::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TEtikettExport::Button3Click);
    FormCreate();
}

void TEtikettExport::FormCreate()
{
    Edit1->setText(OptStandardEtikett);
}

void TEtikettExport::showEvent(QShowEvent* event)
{
    widgets::moveToScreenCentre(this);
    QDialog::showEvent(event);
}

void TEtikettExport::Button3Click()
{
    if (!Edit1->text().isEmpty())
        OpenDialog1->selectFile(Edit1->text());
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    Edit1->setText(OpenDialog1->selectedFiles().constFirst());
}

void TEtikettExport::Button1Click()
{
    const auto melden = [this](const QString& text) { widgets::MessageBox::error(this, text); };
    if (!Marlex || !Datas || !EtikettenLayout) {
        melden(QStringLiteral("Etiketten können erst exportiert werden, wenn das Programm vollständig gestartet ist."));
        return;
    }
    const int format = Marlex->ExportFormat;

    // Every input first, before any table moves or a file is named.
    const QString vorlagenDatei = Edit1->text().trimmed();
    if (vorlagenDatei.isEmpty()) {
        melden(QStringLiteral("Es ist keine Etikettendatei (*.ETI) gewählt."));
        return;
    }
    std::optional<reports::Layout> vorlage;
    try {
        vorlage.emplace(reports::Layout::load(vorlagenDatei, reports::LayoutKind::Eti));
    } catch (const std::exception& e) {
        melden(QStringLiteral("Die Etikettendatei „%1“ kann nicht gelesen werden.\n%2")
                   .arg(vorlagenDatei, widgets::errorText(e)));
        return;
    }
    const QSize pixel(vorlage->width, vorlage->height);
    if (pixel.width() < 1 || pixel.height() < 1 || pixel.width() > kGroessteSeite ||
        pixel.height() > kGroessteSeite) {
        melden(QStringLiteral("Das Etikett in „%1“ ist %2 × %3 Pixel groß; exportiert werden Etiketten von 1 bis "
                              "%4 Pixeln Breite und Höhe.")
                   .arg(vorlagenDatei)
                   .arg(pixel.width())
                   .arg(pixel.height())
                   .arg(kGroessteSeite));
        return;
    }
    dbase::Table& lager = *Datas->Table3;
    const bool lagerDa = lager.active() && !lager.isEmpty() && !lager.eof();
    const QString vorschlag = lagerDa ? lager.fieldByName("CARN").asString().trimmed() +
                                            lager.fieldByName("SUBCARN").asString().trimmed()
                                      : QString();

    QString fehler;
    const std::optional<report::Page> seite = EtikettenLayout->AktuellesEtikettZeichnen(*vorlage, fehler);
    if (!seite) {
        melden(fehler);
        return;
    }
    const Zielart art = zielart(format);
    QFileDialog* dialog = format == Gif ? SaveDialog1 : SavePictureDialog1;
    dialog->setWindowTitle(art.titel);
    dialog->setDefaultSuffix(art.endung);
    dialog->setNameFilter(art.filter);
    dialog->selectFile(vorschlag + QLatin1Char('.') + art.endung);
    if (dialog->exec() != QDialog::Accepted || dialog->selectedFiles().isEmpty()) {
        accept();
        return;
    }
    const QString datei = dialog->selectedFiles().constFirst();

    const QString schreibfehler = EtikettBildSchreiben(format, datei, *seite, pixel);
    if (!schreibfehler.isEmpty()) {
        melden(schreibfehler);
        return;
    }
    accept();
}
