#include "reports/Vorschau.h"

#include <exception>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "data/Fensterlage.h"
#include "ini/IniFile.h"
#include "report/Output.h"
#include "report/PageBuilder.h"
#include "report/PageFile.h"
#include "report/PreviewWidget.h"
#include "report/ReportError.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"

using widgets::MessageBox;

namespace {

const QString kSektion = QStringLiteral("Vorschau");

constexpr int kStandardBreite = 640;
constexpr int kStandardHoehe = 480;
constexpr int kStandardZoom = 100;
constexpr int kZoomSchritte = 15; // 10 .. 150 %

// Stored states: 0 normal, 1 minimised, 2 maximised.
constexpr int kNormal = 0;
constexpr int kMaximiert = 2;

const QString kPdfFilter = QStringLiteral("PDF-Dokument (*.pdf)");
const QString kSeitendateiFilter = QStringLiteral("QuickPrint (*.QRP *.qrp)");
const QString kAlleFilter = QStringLiteral("Alle Dateien (*)");

QToolButton* werkzeug(QToolBar* leiste, const QString& name, const QString& text, const QIcon& bild)
{
    auto* knopf = new QToolButton(leiste);
    knopf->setObjectName(name);
    knopf->setText(text);
    knopf->setToolTip(text);
    // Without a picture (no icon theme) the text shows instead.
    knopf->setIcon(bild);
    knopf->setToolButtonStyle(Qt::ToolButtonIconOnly);
    knopf->setAutoRaise(true);
    knopf->setFixedSize(60, 36);
    leiste->addWidget(knopf);
    return knopf;
}

// The file as the user meant it: a name without an extension gets that of
// the chosen type.
QString mitEndung(const QString& fileName, bool alsSeitendatei)
{
    if (!QFileInfo(fileName).suffix().isEmpty())
        return fileName;
    return fileName + (alsSeitendatei ? QStringLiteral(".QRP") : QStringLiteral(".pdf"));
}

// The extension decides; where it names neither format, the chosen type does.
bool istSeitendatei(const QString& fileName, const QString& nameFilter)
{
    const QString endung = QFileInfo(fileName).suffix();
    if (endung.compare(u"qrp", Qt::CaseInsensitive) == 0)
        return true;
    if (endung.compare(u"pdf", Qt::CaseInsensitive) == 0)
        return false;
    return nameFilter == kSeitendateiFilter;
}

class WarteZeiger {
public:
    WarteZeiger() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WarteZeiger() { QGuiApplication::restoreOverrideCursor(); }
    WarteZeiger(const WarteZeiger&) = delete;
    WarteZeiger& operator=(const WarteZeiger&) = delete;
};

} // namespace

void TVorschau::zeigen(QWidget* owner, const QString& caption, report::PageBuilder& builder, ini::IniFile& iniDatei)
{
    TVorschau vorschau(owner, builder, iniDatei);
    vorschau.setWindowTitle(caption);
    vorschau.exec();
}

TVorschau::TVorschau(QWidget* owner, report::PageBuilder& builder, ini::IniFile& iniDatei)
    : QDialog(owner, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                         | Qt::WindowMaximizeButtonHint | Qt::WindowCloseButtonHint)
    , m_builder(&builder)
    , m_iniDatei(iniDatei)
{
    setObjectName(QStringLiteral("Vorschau"));
    setWindowTitle(QStringLiteral("Vorschau"));

    ToolBar1 = new QToolBar(this);
    ToolBar1->setObjectName(QStringLiteral("ToolBar1"));
    ToolBar1->setMovable(false);
    ToolBar1->setIconSize(QSize(30, 30));
    QStyle* stil = style();
    ToolButton3 = werkzeug(ToolBar1, QStringLiteral("ToolButton3"), QStringLiteral("Erste Seite"),
                           stil->standardIcon(QStyle::SP_MediaSkipBackward));
    ToolButton4 = werkzeug(ToolBar1, QStringLiteral("ToolButton4"), QStringLiteral("Vorherige Seite"),
                           stil->standardIcon(QStyle::SP_MediaSeekBackward));
    ToolButton5 = werkzeug(ToolBar1, QStringLiteral("ToolButton5"), QStringLiteral("Nächste Seite"),
                           stil->standardIcon(QStyle::SP_MediaSeekForward));
    ToolButton6 = werkzeug(ToolBar1, QStringLiteral("ToolButton6"), QStringLiteral("Letzte Seite"),
                           stil->standardIcon(QStyle::SP_MediaSkipForward));
    ToolBar1->addSeparator();
    ToolButton2 = werkzeug(ToolBar1, QStringLiteral("ToolButton2"), QStringLiteral("Vorschau als QuickPrint abspeichern"),
                           stil->standardIcon(QStyle::SP_DialogSaveButton));
    ToolBar1->addSeparator();
    ComboBox1 = new QComboBox(ToolBar1);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setToolTip(QStringLiteral("Zoom"));
    for (int i = 0; i < kZoomSchritte; ++i)
        ComboBox1->addItem(QString::number((i + 1) * 10));
    ToolBar1->addWidget(ComboBox1);
    ToolBar1->addSeparator();
    Button1 = new QPushButton(QStringLiteral("Schließen"), ToolBar1);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setToolTip(QStringLiteral("Vorschau - Fenster schließen"));
    Button1->setAutoDefault(false);
    ToolBar1->addWidget(Button1);

    QRPreview1 = new report::PreviewWidget(this);
    QRPreview1->setObjectName(QStringLiteral("QRPreview1"));

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    Panel0 = new QLabel(StatusBar1);
    Panel0->setObjectName(QStringLiteral("Panel0"));
    Panel0->setMinimumWidth(150);
    Panel1 = new QLabel(StatusBar1);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setMinimumWidth(50);
    StatusBar1->addWidget(Panel0);
    StatusBar1->addWidget(Panel1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(ToolBar1);
    layout->addWidget(QRPreview1, 1);
    layout->addWidget(StatusBar1);

    connect(ToolButton3, &QToolButton::clicked, this, &TVorschau::ToolButton3Click);
    connect(ToolButton4, &QToolButton::clicked, this, &TVorschau::ToolButton4Click);
    connect(ToolButton5, &QToolButton::clicked, this, &TVorschau::ToolButton5Click);
    connect(ToolButton6, &QToolButton::clicked, this, &TVorschau::ToolButton6Click);
    connect(ToolButton2, &QToolButton::clicked, this, &TVorschau::ToolButton2Click);
    connect(ComboBox1, &QComboBox::activated, this, &TVorschau::ComboBox1Click);
    connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
    connect(&builder, &report::PageBuilder::finished, this, &TVorschau::aufbauBeendet);
    // The failure is reported from the event loop, once the builder has
    // left its band, not from inside it.
    connect(&builder, &report::PageBuilder::failed, this, &TVorschau::aufbauFehlgeschlagen, Qt::QueuedConnection);

    QRPreview1->attach(builder);
    FormCreate();
    builder.start();
}

TVorschau::~TVorschau()
{
    const QString fehler = builderSchliessen();
    if (!fehler.isEmpty())
        qWarning("Fehler beim Beenden der Vorschau: %s", qPrintable(fehler));
}

void TVorschau::FormCreate()
{
    const QPoint lage(m_iniDatei.readInteger(kSektion, QStringLiteral("xpos"), 0),
                      m_iniDatei.readInteger(kSektion, QStringLiteral("ypos"), 0));
    const QSize groesse(m_iniDatei.readInteger(kSektion, QStringLiteral("breite"), kStandardBreite),
                        m_iniDatei.readInteger(kSektion, QStringLiteral("hoehe"), kStandardHoehe));
    const QScreen* bildschirm = parentWidget() ? parentWidget()->screen() : QGuiApplication::primaryScreen();
    const QRect fenster =
        fensterAufBildschirm(lage, groesse, QRect(0, 0, kStandardBreite, kStandardHoehe), bildschirm);
    move(fenster.topLeft());
    resize(fenster.size());
    // A minimised modal window would leave the program without a window to
    // work in; any state but maximised opens normal.
    const int zustand = m_iniDatei.readInteger(kSektion, QStringLiteral("state"), kNormal);
    setWindowState(zustand == kMaximiert ? Qt::WindowMaximized : Qt::WindowNoState);
}

void TVorschau::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TVorschau::FormShow()
{
    Panel0->clear();
    QRPreview1->setZoom(m_iniDatei.readInteger(kSektion, QStringLiteral("zoom"), kStandardZoom));
    const int eintrag = QRPreview1->zoom() / 10 - 1;
    ComboBox1->setCurrentIndex(eintrag >= 0 && eintrag < kZoomSchritte ? eintrag : -1);
    // A build that ended before the window showed sends no more news.
    if (m_builder && !m_builder->isBusy())
        seitenTextSetzen();
}

void TVorschau::done(int result)
{
    FormCloseQuery();
    const QString fehler = builderSchliessen();
    if (!fehler.isEmpty())
        MessageBox::error(this, fehler);
    QDialog::done(result);
}

void TVorschau::FormCloseQuery()
{
    try {
        m_iniDatei.write(ini::IniChanges()
                             .setInteger(kSektion, QStringLiteral("xpos"), x())
                             .setInteger(kSektion, QStringLiteral("ypos"), y())
                             .setInteger(kSektion, QStringLiteral("breite"), width())
                             .setInteger(kSektion, QStringLiteral("hoehe"), height())
                             .setInteger(kSektion, QStringLiteral("state"), zustandsnummer(windowState()))
                             .setInteger(kSektion, QStringLiteral("zoom"), QRPreview1->zoom()));
    } catch (const ini::IniError& fehler) {
        MessageBox::warning(this, QStringLiteral("Größe, Lage und Zoom der Vorschau konnten nicht gespeichert werden.\n")
                                      + fehler.message());
    }
}

// Stops the build between two bands; the builder then runs the engine's
// restore once. Whatever the restore throws is handed back as text, since
// the window must close all the same.
QString TVorschau::builderSchliessen()
{
    if (!m_builder)
        return {};
    try {
        m_builder->close();
    } catch (const std::exception& e) {
        return widgets::errorText(e);
    } catch (...) {
        return QStringLiteral("Unbekannter Fehler beim Beenden der Vorschau.");
    }
    return {};
}

void TVorschau::ComboBox1Click(int index) { QRPreview1->setZoom((index + 1) * 10); }

void TVorschau::ToolButton3Click()
{
    QRPreview1->setPageNumber(1);
    seitenTextSetzen();
}

void TVorschau::ToolButton4Click()
{
    if (QRPreview1->pageNumber() > 1)
        QRPreview1->setPageNumber(QRPreview1->pageNumber() - 1);
    seitenTextSetzen();
}

void TVorschau::ToolButton5Click()
{
    if (QRPreview1->pageNumber() < QRPreview1->pageCount())
        QRPreview1->setPageNumber(QRPreview1->pageNumber() + 1);
    seitenTextSetzen();
}

void TVorschau::ToolButton6Click()
{
    QRPreview1->setPageNumber(QRPreview1->pageCount());
    seitenTextSetzen();
}

void TVorschau::seitenTextSetzen()
{
    Panel0->setText(QStringLiteral("Seite %1 von %2").arg(QRPreview1->pageNumber()).arg(QRPreview1->pageCount()));
}

// The page text counts the pages once all are there. The zoom stays as it
// is: the page view never changes it by itself, and the user's choice in
// the list must not be undone behind its back.
void TVorschau::aufbauBeendet() { seitenTextSetzen(); }

void TVorschau::aufbauFehlgeschlagen(const QString& meldung)
{
    if (!isVisible())
        return;
    MessageBox::error(this, QStringLiteral("Die Seiten der Vorschau konnten nicht vollständig aufgebaut werden.\n")
                                + aufbaufehler(meldung));
}

// Why the pages were not built, in the user's words: an error from outside
// the program's own texts (too little memory, say) in German with its text
// below.
QString TVorschau::aufbaufehler(const QString& meldung) const
{
    if (const std::exception_ptr fehler = m_builder ? m_builder->failure() : nullptr) {
        try {
            std::rethrow_exception(fehler);
        } catch (const std::exception& e) {
            return widgets::errorText(e);
        } catch (...) {
        }
    }
    return meldung;
}

// Saving takes every page. While pages are still being built the user is
// told to wait, rather than getting part of the document or, worse, nothing
// and no word.
bool TVorschau::seitenVollstaendig()
{
    if (!m_builder)
        return false;
    if (m_builder->isFinished())
        return true;
    if (m_builder->isBusy()) {
        MessageBox::information(this, QStringLiteral("Die Seiten der Vorschau werden noch aufgebaut. Die Vorschau "
                                                     "kann gespeichert werden, sobald ihre letzte Seite fertig ist."));
    } else {
        QString text = QStringLiteral(
            "Die Vorschau kann nicht gespeichert werden, weil ihre Seiten nicht vollständig aufgebaut wurden.");
        if (!m_builder->errorMessage().isEmpty())
            text += u'\n' + aufbaufehler(m_builder->errorMessage());
        MessageBox::error(this, text);
    }
    return false;
}

void TVorschau::ToolButton2Click()
{
    if (!seitenVollstaendig())
        return;
    // Made at the first save, not with the window: a file dialog watches
    // its folder from the moment it exists.
    if (!SaveDialog1) {
        SaveDialog1 = new QFileDialog(this, QStringLiteral("Vorschau speichern"));
        SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
        SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
        SaveDialog1->setNameFilters({kPdfFilter, kSeitendateiFilter, kAlleFilter});
        // The program's own folder, as the program's other file dialogs;
        // not whatever folder some Qt program last visited.
        SaveDialog1->setDirectory(QDir::currentPath());
    }
    if (SaveDialog1->exec() != QDialog::Accepted)
        return;
    const QString gewaehlt = SaveDialog1->selectedFiles().value(0);
    if (gewaehlt.isEmpty())
        return;
    const bool alsSeitendatei = istSeitendatei(gewaehlt, SaveDialog1->selectedNameFilter());
    const QString fileName = mitEndung(gewaehlt, alsSeitendatei);
    // The dialog asked about the name as typed; the extension it gained is
    // asked about here.
    if (fileName != gewaehlt && QFileInfo::exists(fileName)
        && MessageBox::askYesNo(this, QStringLiteral("Die Datei \"%1\" besteht bereits. Soll sie ersetzt werden?")
                                          .arg(QFileInfo(fileName).fileName()),
                                widgets::Answer::No, widgets::MessageKind::Warning)
               != widgets::Answer::Yes)
        return;
    speichern(fileName, alsSeitendatei);
}

void TVorschau::speichern(const QString& fileName, bool alsSeitendatei)
{
    try {
        const WarteZeiger warten;
        if (alsSeitendatei)
            report::PageFile::save(m_builder->pages(), fileName);
        else
            report::writePdf(m_builder->pages(), fileName, windowTitle());
    } catch (const report::ReportError& fehler) {
        MessageBox::error(this, fehler.message());
    }
}
