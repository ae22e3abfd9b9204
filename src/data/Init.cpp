#include "data/Init.h"

#include <array>

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QSaveFile>
#include <QTabWidget>

#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/Fortschritt.h"
#include "data/Optionen.h"
#include "dbase/CodePage.h"
#include "dbase/Journal.h"
#include "files/Paths.h"
#include "files/SharedLibrary.h"
#include "ini/IniFile.h"
#include "ini/SettingsLocation.h"
#include "widgets/DBImage.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"
#include "widgets/ScreenCentre.h"

TInit* Init = nullptr;

namespace {

// The index library's entry points in the order they are called: the
// opening call, one per table, the closing call.
const QStringList indexEinstiege = {
    u"_ReINDEX_Init"_qs,  u"_ReINDEX_NAMEN"_qs,  u"_ReINDEX_CHEMIE"_qs, u"_ReINDEX_SIGEF"_qs,
    u"_ReINDEX_FORMEL"_qs, u"_ReINDEX_LAGER"_qs, u"_ReINDEX_Close"_qs,
};

const QString dateiliste = u"FILES.TXT"_qs;
const QString fehlerliste = u"init.err"_qs;

// The tables the start opens, in its order.
std::array<dbase::Table*, 5> startTabellen()
{
    return {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4, Datas->Table6};
}

QString einstellungsdatei()
{
    return QDir::toNativeSeparators(Marlex->IniDatei->fileName());
}

// What the user reads when the start cannot go on. A write-protected
// register without read-only mode gets its own explanation: the user can
// do something about it, and only in the settings file, as the program
// does not come up.
QString startFehler(const std::exception& fehler)
{
    QString grund = widgets::errorText(fehler);
    if (dynamic_cast<const dbase::WriteProtectedError*>(&fehler) && !OptNurLesemodus)
        grund = u"Das Register im Ordner \"%1\" ist schreibgeschützt; Marlex kann dort nichts speichern:\n%2\n\n"
                u"Ein schreibgeschütztes Register (etwa auf einer CD oder einem Netzlaufwerk ohne Schreibrecht) lässt "
                u"sich im Nur-Lesemodus öffnen. Schalten Sie dazu in der Einstellungsdatei \"%3\" im Abschnitt "
                u"[Optionen] den \"Nur Lesemodus\" ein: Nur Lesemodus=1"_qs
                    .arg(QDir::toNativeSeparators(QDir::currentPath()), grund, einstellungsdatei());
    return u"Marlex kann nicht gestartet werden:\n\n%1\n\nDas Programm wird nun beendet!"_qs.arg(grund);
}

// The window's corner picture: a small laboratory flask.
QPixmap kolbenBild()
{
    QPixmap bild(32, 32);
    bild.fill(Qt::transparent);
    QPainter painter(&bild);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath kolben;
    kolben.moveTo(13, 3);
    kolben.lineTo(13, 12);
    kolben.lineTo(4, 28);
    kolben.lineTo(28, 28);
    kolben.lineTo(19, 12);
    kolben.lineTo(19, 3);
    kolben.closeSubpath();
    QPainterPath fuellung;
    fuellung.addRect(0, 19, 32, 13);
    painter.fillPath(kolben.intersected(fuellung), QColor(60, 120, 220));
    painter.setPen(QPen(Qt::black, 1.5));
    painter.drawPath(kolben);
    return bild;
}

// The lines of a Windows text file as a string list loads them: lines end
// with CR LF, LF or CR, an empty line counts, a break at the very end does
// not start another line. Names are Windows-1252 text.
QStringList textzeilen(const QByteArray& inhalt)
{
    QStringList zeilen;
    const dbase::CodePage& ansi = dbase::CodePage::windows1252();
    qsizetype anfang = 0;
    while (anfang < inhalt.size()) {
        qsizetype ende = anfang;
        while (ende < inhalt.size() && inhalt[ende] != '\r' && inhalt[ende] != '\n')
            ++ende;
        zeilen.append(ansi.decode(std::string_view(inhalt.constData() + anfang, std::size_t(ende - anfang))));
        if (ende < inhalt.size() && inhalt[ende] == '\r' && ende + 1 < inhalt.size() && inhalt[ende + 1] == '\n')
            ++ende;
        anfang = ende + 1;
    }
    return zeilen;
}

bool istDatei(const QString& name)
{
    if (name.isEmpty())
        return false;
    const auto gefunden = files::find(name);
    return gefunden && QFileInfo(*gefunden).isFile();
}

// Paints the window after a text change, without letting the user act on
// the main window while its tables are not ready.
void fensterZeichnen()
{
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
}

} // namespace

TInit::TInit(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowStaysOnTopHint
                          | Qt::MSWindowsFixedSizeDialogHint),
      Label1(new QLabel(this)),
      Label2(new QLabel(u"Marlex99"_qs, this)),
      Image1(new QLabel(this)),
      ProgressBar1(new datawidgets::Fortschrittsbalken(this)),
      Animate1(new datawidgets::Suchanimation(this)),
      Memo1(new QPlainTextEdit(this))
{
    setObjectName(u"Init"_qs);
    setWindowTitle(u"Marlex99 Initialisierung"_qs);
    setCursor(Qt::BusyCursor);
    setModal(false);

    Label1->setObjectName(u"Label1"_qs);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Label1->setFixedSize(330, Label1->fontMetrics().lineSpacing() * 2 + 4);
    Label2->setObjectName(u"Label2"_qs);
    QFont titel = Label2->font();
    titel.setPointSize(24);
    titel.setBold(true);
    titel.setItalic(true);
    Label2->setFont(titel);
    Label2->setStyleSheet(u"color: #0000ff"_qs);
    Image1->setObjectName(u"Image1"_qs);
    Image1->setPixmap(kolbenBild());
    Image1->setVisible(false);
    ProgressBar1->setObjectName(u"ProgressBar1"_qs);
    Animate1->setObjectName(u"Animate1"_qs);
    Memo1->setObjectName(u"Memo1"_qs);
    Memo1->setVisible(false);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label2, 0, 0, 1, 2);
    layout->addWidget(Image1, 0, 2, Qt::AlignRight | Qt::AlignTop);
    layout->addWidget(Animate1, 1, 0, Qt::AlignTop);
    layout->addWidget(Label1, 1, 1, 1, 2);
    layout->addWidget(ProgressBar1, 2, 0, 1, 3);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    adjustSize();
    widgets::centreOnScreen(this);
}

TInit::~TInit() = default;

void TInit::reject()
{
}

void TInit::closeEvent(QCloseEvent* event)
{
    // QDialog would take a close for a rejection, which this window refuses.
    if (!m_gestartet) {
        event->ignore();
        return;
    }
    event->accept();
    FormClose();
}

void TInit::FormClose()
{
    Marlex->PageControl1->setCurrentWidget(Marlex->TabSheet1);
    Marlex->ListBox1->setFocus();
    // An empty list is shown too: until something is shown, the record page
    // and its commands would offer whatever substance the tables stand on.
    if (Marlex->ListBox1->count() > 0)
        Marlex->ListBox1->setItemIndex(0);
    try {
        Marlex->AktuellenDatensatzZeigen();
    } catch (const std::exception& fehler) {
        // The program is up; a record that cannot be shown is reported as
        // any later failure is.
        widgets::MessageBox::error(Marlex, widgets::errorText(fehler));
    }
}

bool TInit::DateiPruefen(const QString& dateiName, bool alleVorhanden)
{
    if (istDatei(dateiName))
        return alleVorhanden;
    Memo1->appendPlainText(dateiName + u" nicht vorhanden"_qs);
    return false;
}

void TInit::schrittBeginnen(const QString& text, int maximum)
{
    Label1->setText(text);
    ProgressBar1->setPosition(0);
    ProgressBar1->setMaximumSteps(maximum);
    fensterZeichnen();
}

void TInit::Initialisieren()
{
    Image1->setVisible(OptWin98);
    // A register that may be write-protected gets nothing written into it:
    // the list of missing files goes into the user's folder then, and a
    // change another run left half done is taken back by the next run that
    // may write.
    const QString fehlerordner = OptNurLesemodus ? ini::userSettingsDirectory() : QString();
    if (!OptNurLesemodus)
        unterbrocheneAenderungenZuruecknehmen();

    // The required-file list. One that is missing or cannot be read stops
    // the start like a missing required file.
    std::optional<QStringList> dateien;
    Memo1->clear();
    bool alleVorhanden = true;
    if (const auto liste = files::find(dateiliste); liste && QFileInfo(*liste).isFile()) {
        QFile datei(*liste);
        if (datei.open(QIODevice::ReadOnly))
            dateien = textzeilen(datei.readAll());
        if (!dateien || datei.error() != QFileDevice::NoError) {
            dateien.reset();
            Memo1->appendPlainText(dateiliste + u" nicht lesbar"_qs);
            alleVorhanden = false;
        }
    } else {
        alleVorhanden = DateiPruefen(dateiliste, alleVorhanden);
    }

    if (OptIndexCheck) {
        try {
            indexDateienErzeugen();
            indexDateienErneuern();
        } catch (const std::exception& fehler) {
            startBeenden(startFehler(fehler), widgets::MessageKind::Error);
            return;
        }
    }

    Marlex->Kavuaufrufen1->setEnabled(istDatei(u"KAVU.EXE"_qs));

    const QString fehlerdatei = fehlerordner.isEmpty() ? fehlerliste : fehlerordner + u'/' + fehlerliste;
    if (const auto alteListe = files::find(fehlerdatei); alteListe && QFileInfo(*alteListe).isFile())
        QFile::remove(*alteListe);

    if (dateien) {
        for (const QString& datei : *dateien)
            alleVorhanden = DateiPruefen(datei, alleVorhanden);
    }

    if (!alleVorhanden) {
        const QString zeilen = Memo1->toPlainText();
        QSaveFile datei(files::resolveForWrite(fehlerdatei));
        bool gespeichert = fehlerordner.isEmpty() || QDir().mkpath(fehlerordner);
        gespeichert = gespeichert && datei.open(QIODevice::WriteOnly);
        if (gespeichert) {
            const std::string text = dbase::CodePage::windows1252().encode(zeilen);
            for (const QByteArray& zeile : QByteArray::fromStdString(text).split('\n'))
                datei.write(zeile + "\r\n");
            gespeichert = datei.commit();
        }
        startBeenden(gespeichert
            ? u"Es sind Fehler beim Starten von Marlex aufgetreten. Die Fehlerliste wurde in der Datei init.err "
              u"gespeichert. Das Programm wird nun beendet!"_qs
            : u"Es sind Fehler beim Starten von Marlex aufgetreten. Die Fehlerliste konnte nicht in der Datei "
              u"init.err gespeichert werden (%1):\n\n%2\n\nDas Programm wird nun beendet!"_qs
                  .arg(datei.errorString(), zeilen),
            widgets::MessageKind::Information, zeilen);
        return;
    }

    try {
        Datas->laufordnerAnlegen();
        dateienOeffnen();
        rechercheDateiErzeugen(Namentabelle::Tmp1);
        rechercheDateiErzeugen(Namentabelle::Tmp2);
        namenlisteLesen();
        zugriffsartSetzen();
    } catch (const std::exception& fehler) {
        const QString meldung = startFehler(fehler);
        for (dbase::Table* tabelle : {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4,
                                      Datas->Table5, Datas->Table6, Datas->Table7}) {
            try {
                tabelle->close();
            } catch (const std::exception&) {
                // Nothing was changed through these cursors: closing cannot
                // lose anything, and the program ends anyway.
            }
        }
        Marlex->ListBox1->clear();
        Marlex->RecNoList.clear();
        startBeenden(meldung, widgets::MessageKind::Error);
        return;
    }

    m_gestartet = true;
    close();
    Marlex->DBImage1->setVisible(OptFormelDarstellen);
}

void TInit::startBeenden(const QString& meldung, widgets::MessageKind art, const QString& einzelheiten)
{
    m_abgebrochen = true;
    if (art == widgets::MessageKind::Error)
        widgets::MessageBox::error(this, meldung);
    else
        widgets::MessageBox::information(this, meldung, {}, einzelheiten);
}

void TInit::indexDateienErzeugen()
{
    const files::SharedLibrary bibliothek(u"MARLEX99.DLL"_qs, Programmverzeichnis);
    if (!bibliothek.loaded())
        return;
    if (const QStringList fehlend = bibliothek.missingSymbols(indexEinstiege); !fehlend.isEmpty()) {
        // A library of another make or version: calling part of it could
        // leave the indexes half rebuilt, so none of it is called.
        widgets::MessageBox::warning(this,
            u"Die Index-Bibliothek %1 ist unvollständig (es fehlt: %2). Die Index-Dateien werden nicht neu "
            u"erzeugt."_qs.arg(bibliothek.fileName(), fehlend.join(u", "_qs)));
        return;
    }
    const auto aufrufen = [&](int einstieg) { bibliothek.resolve(indexEinstiege[einstieg])(); };

    schrittBeginnen(u"Index-Dateien werden erzeugt..."_qs, 5);
    aufrufen(0);
    for (int tabelle = 1; tabelle <= 5; ++tabelle) {
        aufrufen(tabelle);
        ProgressBar1->stepIt();
    }
    aufrufen(6);
}

void TInit::indexDateienErneuern()
{
    for (dbase::Table* tabelle : startTabellen()) {
        try {
            tabelle->checkIndexFile();
            continue;
        } catch (const dbase::DbaseError& schaden) {
            Label1->setText(u"Index-Datei %1 wird neu erzeugt..."_qs.arg(tabelle->indexFiles()));
            fensterZeichnen();
            try {
                tabelle->rebuildIndexFile(Datas->indexTags(*tabelle));
            } catch (const dbase::DbaseError& fehler) {
                const std::string text =
                    std::string(schaden.what()) + "\nSie kann nicht neu erzeugt werden: " + fehler.what();
                if (dynamic_cast<const dbase::WriteProtectedError*>(&fehler))
                    throw dbase::WriteProtectedError(text);
                throw dbase::DbaseError(text);
            }
        }
    }
}

// A change of the register that a killed program or a power cut left half
// made is taken back before anything reads the tables. One that cannot be
// taken back (a write-protected register) leaves its journal for a start
// that can; the tables open as they are.
void TInit::unterbrocheneAenderungenZuruecknehmen()
{
    try {
        if (dbase::rollBackLeftChanges(".") > 0)
            widgets::MessageBox::information(
                this, u"Eine unterbrochene Änderung des Registers wurde zurückgenommen."_qs);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::warning(
            this, u"Eine unterbrochene Änderung des Registers konnte nicht zurückgenommen werden:\n\n%1"_qs.arg(
                      widgets::errorText(fehler)));
    }
}

void TInit::dateienOeffnen()
{
    schrittBeginnen(u"Dateien werden geöffnet..."_qs, 5);
    for (dbase::Table* tabelle : startTabellen()) {
        if (OptNurLesemodus)
            tabelle->setReadOnly(true);
        indexDateiPruefen(*tabelle);
        tabelle->open();
        ProgressBar1->stepIt();
    }
}

void TInit::indexDateiPruefen(const dbase::Table& tabelle)
{
    try {
        tabelle.checkIndexFile();
    } catch (const dbase::DbaseError& schaden) {
        if (OptIndexCheck)
            throw;
        throw dbase::DbaseError(
            (widgets::errorText(schaden)
             + u"\n\nMit der Option \"IndexCheck\" (\"Neuindizierung bei jedem Start\") wird die Indexdatei beim "
               u"Start aus der Tabelle neu erzeugt; die Datensätze bleiben dabei, wie sie sind. Schalten Sie sie in "
               u"der Einstellungsdatei \"%1\" im Abschnitt [Optionen] ein: IndexCheck=1"_qs.arg(einstellungsdatei()))
                .toStdString());
    }
}

void TInit::rechercheDateiErzeugen(Namentabelle art)
{
    Label1->setText(u"Recherche-Dateien werden erzeugt... (%1)"_qs.arg(namentabellenart(art).status));
    fensterZeichnen();

    // The name table's fields as they are, whatever their number and widths;
    // the new file gets its own offsets and index flags.
    std::vector<dbase::FieldDef> felder;
    for (dbase::FieldDef feld : Datas->Table1->layout().fields()) {
        feld.offset = 0;
        feld.mdxTag = false;
        felder.push_back(std::move(feld));
    }
    dbase::Table* tabelle = Datas->Table5;
    tabelle->setTableName(namentabellenDatei(art));
    // Table and index made in one step: nobody has seen the new files yet,
    // so each is synced once, before it takes the old one's place.
    tabelle->createTable(dbase::TableLayout(std::move(felder)), Datas->Table1->languageDriver(), NamenTags);
}

void TInit::namenlisteLesen()
{
    schrittBeginnen(OptLagerMarkieren
                        ? u"Marlex-Datensätze werden angeladen und auf Vorhandensein im Lager überprüft..."_qs
                        : u"Marlex-Datensätze werden angeladen..."_qs,
                    int(Datas->Table1->recordCount()));
    Marlex->NamenlisteLesen([this] { ProgressBar1->stepIt(); });

    Datas->Table1->first();
    Marlex->lagerAnzahlZeigen();
    Marlex->ChemieSatzAnzahl = int(Datas->Table2->recordCount());
}

void TInit::zugriffsartSetzen()
{
    // Read-only tables were opened so from the start: a write-protected
    // register opens no other way.
    if (OptNurLesemodus)
        Marlex->BearbeitungFreigeben(false);
    if (OptExklusivZugriff) {
        for (dbase::Table* tabelle : {Datas->Table1, Datas->Table2, Datas->Table3}) {
            tabelle->close();
            tabelle->setExclusive(true);
            tabelle->open();
        }
    }
}
