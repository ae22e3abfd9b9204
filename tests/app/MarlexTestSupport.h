#pragma once

// A small register in a temporary directory for the main-window tests: the
// name, substance, storage and structure tables, a Symbol folder of tiny
// pictures whose colour tells which file they came from, the settings file,
// and the data module and progress window the main window works with.

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include <QColor>
#include <QDrag>
#include <QEventLoop>
#include <QDir>
#include <QImage>
#include <QRect>
#include <QString>
#include <QStringList>

#include "app/Bilder.h"
#include "app/Marlex.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "dbase/Table.h"
#include "fixtures/TempDir.h"
#include "stream/Object.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace marlextest {

// chemie.dbf field positions the tests write.
enum Chemie {
    NAME1 = 0, NAME2 = 1, CARN = 2, SUBCARN = 3, FORMEL = 5, GEFSYM1 = 6, GEFSYM2 = 7, GEFSYM3 = 8, R_SATZ = 9,
    S_SATZ = 10, CANCER = 12, KREBS = 16, FRUCHTSCH = 17, TRK1 = 21, TRK2 = 22, MAK_FAK = 23, WIRKUNG = 24,
    UNTERRICHT = 33, MEMOTEXT = 37, GEFSYM4 = 42
};

struct Stoff {
    QString carn;
    QString subcarn = QStringLiteral("1");
    std::map<int, QString> felder; // chemie.dbf fields by position
};

struct Name {
    QString name;
    QString carn;
    QString subcarn = QStringLiteral("1");
};

// The colour a test picture file is filled with: one per file name, so a
// shown picture tells which file it was loaded from.
QRgb farbeVon(const QString& dateiname);
// The colour a shown picture has (its middle pixel); 0 for an empty one.
QRgb farbeVon(const graphics::Picture& bild);
// Expected colour of a pictogram stem such as "C." in its plain or colour file.
QRgb symbolfarbe(const char* stamm, bool farbe);

// Every pictogram file of the picture tables plus "NODATA.", plain and
// colour, as 4 x 4 pictures with the extension `endung` ("BMP" or "WMF").
void symbolOrdnerSchreiben(const QDir& programm, const QString& endung = QStringLiteral("BMP"));

void namenSchreiben(const std::vector<Name>& namen, const QString& datei = QStringLiteral("namen.dbf"));
void chemieSchreiben(const std::vector<Stoff>& stoffe);
// Storage rows: one per (carn, subcarn).
void lagerSchreiben(const std::vector<std::pair<QString, QString>>& zeilen);
struct Lagerzeile {
    QString carn;
    QString subcarn = QStringLiteral("1");
    QString lagerOrt; // LAGER_ORT
};
void lagerzeilenSchreiben(const std::vector<Lagerzeile>& zeilen);
void formelnSchreiben(const std::vector<QString>& carns);
// The phrase table: one row per (NRSATZ, SATZTEXT), with its NRSATZ_SUB tag.
void siGefSchreiben(const std::vector<std::pair<QString, QString>>& saetze);

// A sheet layout ("STO") as the layout designer stores it: the report, then
// one record per band holding the band's elements. Bands lie one below the
// other in the order given; geometry is in pixels.
struct Blattelement {
    int tag = 0;
    QString caption;
    QString hint;
    QStringList lines; // written as a memo's lines when not empty
    QRect lage{0, 0, 200, 20};
};
Blattelement blattelement(int tag, const QString& caption = {}, QRect lage = {0, 0, 200, 20});
// A picture element whose hint is `hint` (a field reference for kind 200).
Blattelement bildelement(int tag, const QString& hint = {});
Blattelement memoelement(int tag, const QStringList& lines, QRect lage = {0, 0, 300, 20});
struct Blattband {
    QString typ = QStringLiteral("rbDetail");
    int hoehe = 200;
    std::vector<Blattelement> elemente;
};
// The page is A4 in millimetres with 10 mm margins unless `bericht` sets
// other properties of the report record (Page.LeftMargin in tenths of a
// millimetre, ...).
void blattSchreiben(const QString& datei, const std::vector<Blattband>& baender,
                    const std::function<void(stream::Object&)>& bericht = {});

// Carries a list drag the way the platform's drag loop does, where the
// offscreen platform has none: once the drag has begun, the mouse moves go
// to the widget under the mouse as drag moves and the release as the drop.
class Ziehen : public QObject {
public:
    Ziehen();

    // The widget that took the last drop; nullptr when none did.
    QWidget* abgelegtAuf = nullptr;

protected:
    bool eventFilter(QObject* objekt, QEvent* event) override;

private:
    Qt::DropAction ausfuehren(QDrag& drag);

    widgets::ScopedDragRunner m_runner;
    QDrag* m_drag = nullptr;
    QWidget* m_ueber = nullptr;
    QEventLoop m_schleife;
};

// The register directory (current directory while it lives) holding the
// tables, and the program directory beside it with Symbol\ and the settings.
class Register {
public:
    Register();
    ~Register();

    QString programm() const { return m_programm; }
    QString ini() const { return m_programm + QStringLiteral("marlex99.ini"); }
    void einstellung(const QString& sektion, const QString& schluessel, const QString& wert);
    // The main window's bounds as quitting stored them ("xpos", "ypos",
    // "breite", "hoehe"); -1 for a key that is missing.
    QRect gespeicherteFensterlage() const;

    // Creates the main window on the settings written so far.
    TMarlex& fensterAnlegen();
    // Opens the data module's tables (as the start-up does) and creates the
    // main window.
    TMarlex& starten();
    // The Symbol folder, then the main window on the settings written so
    // far, shown.
    TMarlex& fensterZeigen();
    // A register of these substances, each under its NAME1 in the name
    // table, nothing in storage: started, shown, with the list read.
    TMarlex& startenMit(const std::vector<Stoff>& stoffe);
    TMarlex& fenster() { return *m_fenster; }
    TDatas& datas() { return *m_datas; }
    // Message boxes shown so far (answered with OK).
    const std::vector<widgets::MessageRequest>& meldungen() const { return *m_meldungen; }

private:
    fixtures::TempDir m_dir;
    QString m_programm;
    std::shared_ptr<std::vector<widgets::MessageRequest>> m_meldungen;
    widgets::ScopedAnswerProvider m_antworten;
    std::unique_ptr<TDatas> m_datas;
    std::unique_ptr<TListeEinlesen> m_fortschritt;
    std::unique_ptr<TMarlex> m_fenster;
};

} // namespace marlextest
