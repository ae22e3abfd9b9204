#include "app/Marlex.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QFrame>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QResizeEvent>
#include <QScrollArea>
#include <QSplitter>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "app/SymbolBild.h"
#include "data/Optionen.h"
#include "files/Paths.h"
#include "ini/IniFile.h"
#include "ini/SettingsLocation.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBImage.h"
#include "widgets/DBRichEdit.h"
#include "widgets/IconTheme.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

QString Programmverzeichnis;
TMarlex* Marlex = nullptr;

namespace {

constexpr int lagerSpalten = 13;

// The list markers, 5 x 5 pixels: a filled square for a substance in
// storage, nothing (all white, drawn transparent) for one without.
std::vector<QImage> listenmarken()
{
    QImage imLager(5, 5, QImage::Format_RGB32);
    imLager.fill(QColor(0, 0, 128));
    QImage nichtImLager(5, 5, QImage::Format_RGB32);
    nichtImLager.fill(Qt::white);
    return {imLager, nichtImLager};
}

// The storage picture beside the list, where list lines are dropped.
QImage lagerbild()
{
    QImage bild(32, 32, QImage::Format_ARGB32);
    bild.fill(Qt::transparent);
    QPainter p(&bild);
    p.setPen(QPen(Qt::darkGray, 2));
    p.setBrush(QColor(200, 170, 110));
    p.drawRect(3, 10, 26, 18);
    p.drawLine(3, 16, 29, 16);
    p.drawLine(3, 22, 29, 22);
    p.setBrush(QColor(150, 110, 60));
    p.drawPolygon(QPolygon({QPoint(1, 10), QPoint(16, 3), QPoint(31, 10)}));
    return bild;
}

} // namespace

TMarlex::TMarlex(QWidget* parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Marlex"));
    FormCreate();
}

TMarlex::~TMarlex()
{
    if (Marlex == this)
        Marlex = nullptr;
}

void TMarlex::FormCreate()
{
    komponentenAnlegen();

    if (Programmverzeichnis.isEmpty())
        Programmverzeichnis = files::programDirectory();
    // The settings live beside the program; an installation the user cannot
    // write to keeps them in the user's own settings directory instead.
    IniDatei = std::make_unique<ini::IniFile>(
        ini::settingsFileLocation(Programmverzeichnis, QStringLiteral("marlex99.ini")));
    EinstellungenLaden(*IniDatei);

    fensterzustandSetzen();

    Symbolendung = IniDatei->readString(SektionMarlex, QStringLiteral("symbolendung"), QStringLiteral("BMP"));

    ScreenFont = QFont(OptFontName);
    if (OptFontSize > 0)
        ScreenFont.setPointSize(OptFontSize);
    anzeigeoptionenSetzen();

    DruckerIndex = IniDatei->readInteger(SektionOptionen, QStringLiteral("AktPrinterIndex"), 0);

    // Hints are the application's, shown or not for every window alike.
    qApp->installEventFilter(this);

    ListBox1->setMarkerImages(listenmarken());

    const QStringList bildFehler = SymbolBilderLaden(Bilder, Programmverzeichnis, Symbolendung);
    StartFehler = bildFehler;
    if (!m_werkzeugbilderDa)
        StartFehler << QStringLiteral("Die Bilder der Werkzeugleisten wurden nicht gefunden (die Datei \"%1\" fehlt "
                                      "im Ordner des Programms); die Knöpfe bleiben ohne Bild.")
                           .arg(QLatin1String(widgets::IconThemeFile));

    const QString feldbreiten = IniDatei->readString(QStringLiteral("Lager"), QStringLiteral("Feldbreiten"), {});
    const Feldbreiten breiten = FeldbreitenLesen(feldbreiten, lagerSpalten);
    DBGrid1->setColumnWidths(EigeneFeldbreiten(
        breiten.breiten, IniDatei->readString(QStringLiteral("Lager"), QStringLiteral("EigeneFeldbreiten"), {})));
    if (!breiten.vollstaendig)
        StartFehler << QStringLiteral("Die gespeicherten Spaltenbreiten des Lagers (\"%1\") sind ungültig; "
                                      "die Spalten ab der ungültigen Angabe behalten ihre Standardbreite.")
                           .arg(feldbreiten);

    if (files::find(Programmverzeichnis + QStringLiteral("Hilfe\\hinweis1.htm")))
        ToolButton6->setEnabled(true);

    if (!StartFehler.isEmpty())
        startfehlerMelden(bildFehler);
}

// One message for everything that went wrong, not one box per file: the
// start goes on with what could be set up. Missing pictures may be dozens;
// the message counts them and keeps their names in its details, so the box
// fits on the screen.
void TMarlex::startfehlerMelden(const QStringList& bildFehler)
{
    QStringList zeilen;
    if (!bildFehler.isEmpty()) {
        const QString ordner = files::nativePath(Programmverzeichnis + QStringLiteral("Symbol\\"));
        zeilen << (bildFehler.size() == 1
                       ? QStringLiteral("1 Piktogramm fehlt im Ordner \"%1\" oder ist nicht lesbar; es bleibt leer.")
                             .arg(ordner)
                       : QStringLiteral("%1 Piktogramme fehlen im Ordner \"%2\" oder sind nicht lesbar; sie "
                                        "bleiben leer.")
                             .arg(bildFehler.size())
                             .arg(ordner))
               << QStringLiteral("Die Namen der Dateien stehen in den Details.");
    }
    zeilen << StartFehler.mid(bildFehler.size()); // what went wrong after the pictures
    widgets::MessageBox::warning(
        this, QStringLiteral("Beim Start von Marlex99 ist nicht alles gelungen:\n\n") + zeilen.join(u'\n'), {},
        bildFehler.join(u'\n'));
}

// --- components -------------------------------------------------------------

void TMarlex::komponentenAnlegen()
{
    setWindowTitle(QStringLiteral("Marlex99"));
    resize(638, 390);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setFocusPolicy(Qt::NoFocus);
    setCentralWidget(PageControl1);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(1000);

    menueAnlegen();
    werkzeugleistenAnlegen();
    listenseiteAnlegen();
    datensatzseiteAnlegen();
    lagerseiteAnlegen();
    statusleisteAnlegen();
    ereignisseVerbinden();
}

void TMarlex::listenseiteAnlegen()
{
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    auto* seite = new QVBoxLayout(TabSheet1);
    seite->setContentsMargins(0, 0, 0, 0);
    seite->setSpacing(0);
    seite->addWidget(ToolBar4);

    Splitter1 = new QSplitter(Qt::Horizontal, TabSheet1);
    Splitter1->setObjectName(QStringLiteral("Splitter1"));
    Splitter1->setChildrenCollapsible(false);
    seite->addWidget(Splitter1, 1);

    auto* links = new QWidget(Splitter1);
    auto* linksLayout = new QVBoxLayout(links);
    linksLayout->setContentsMargins(0, 0, 0, 0);
    ListBox1 = new widgets::NameList(links);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->setContextMenuPolicy(Qt::CustomContextMenu);
    linksLayout->addWidget(ListBox1, 1);
    auto* lagerZeile = new QHBoxLayout;
    Image11 = new SymbolBild(links);
    Image11->setObjectName(QStringLiteral("Image11"));
    Image11->setFixedSize(32, 32);
    Image11->setPicture(graphics::Picture(lagerbild()));
    Image11->setAcceptDrops(true);
    Image11->installEventFilter(this);
    const QString lagerHinweis =
        QStringLiteral("Ziehen Sie hier Ihre markierten Listeinträge hin, um  sie ins Lager zu übernehmen");
    Image11->setToolTip(lagerHinweis);
    Image11->setStatusTip(lagerHinweis);
    Label48 = new QLabel(links);
    Label48->setObjectName(QStringLiteral("Label48"));
    lagerZeile->addWidget(Image11);
    lagerZeile->addWidget(Label48, 1);
    linksLayout->addLayout(lagerZeile);

    Panel3 = new QFrame(Splitter1);
    Panel3->setObjectName(QStringLiteral("Panel3"));
    Panel3->installEventFilter(this);
    auto* rand = new QVBoxLayout(Panel3);
    rand->setContentsMargins(9, 0, 9, 9);
    Panel4 = new QFrame(Panel3);
    Panel4->setObjectName(QStringLiteral("Panel4"));
    rand->addWidget(Panel4);

    const auto panel = [this](const char* name) {
        auto* p = new QFrame(Panel4);
        p->setObjectName(QLatin1String(name));
        return p;
    };
    Panel13 = panel("Panel13");
    Panel6 = panel("Panel6");
    Panel7 = panel("Panel7");
    Panel5 = panel("Panel5");
    const auto bild = [](QFrame* zeile, const char* name) {
        auto* b = new SymbolBild(zeile);
        b->setObjectName(QLatin1String(name));
        return b;
    };
    Image2 = bild(Panel13, "Image2");
    Image3 = bild(Panel13, "Image3");
    Image4 = bild(Panel13, "Image4");
    Image12 = bild(Panel13, "Image12");
    Image5 = bild(Panel6, "Image5");
    Image6 = bild(Panel6, "Image6");
    Image7 = bild(Panel6, "Image7");
    Image13 = bild(Panel6, "Image13");
    Image8 = bild(Panel7, "Image8");
    Image9 = bild(Panel7, "Image9");
    Image10 = bild(Panel7, "Image10");
    Image14 = bild(Panel7, "Image14");

    DBImage1 = new widgets::DBImage(Panel5);
    DBImage1->setObjectName(QStringLiteral("DBImage1"));
    DBImage1->setDataField(QStringLiteral("FORMEL"));
    DBImage1->setStretchWhenLarger(true);
    DBImage1->setVisible(false);
    auto* strukturLayout = new QVBoxLayout(Panel5);
    strukturLayout->setContentsMargins(0, 0, 0, 0);
    strukturLayout->addWidget(DBImage1);

    Splitter1->setStretchFactor(0, 1);
    Splitter1->setStretchFactor(1, 0);
    PageControl1->addTab(TabSheet1, QStringLiteral("Datenliste"));
}

namespace {

struct Steuerelement {
    const char* label;
    const char* field;
    const char* name;
    QStringList items; // empty: an edit
    const char* hint;
};

QStringList zahlen(int von, int bis)
{
    QStringList liste;
    for (int i = von; i <= bis; ++i)
        liste << QString::number(i);
    return liste;
}

const QStringList eins23 = {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")};

} // namespace

void TMarlex::datensatzseiteAnlegen()
{
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    auto* seite = new QVBoxLayout(TabSheet2);
    seite->setContentsMargins(0, 0, 0, 0);
    seite->addWidget(ToolBar2);

    const auto richEdit = [](QWidget* parent, const char* name, const char* field, const QString& hint) {
        auto* edit = new widgets::DBRichEdit(parent);
        edit->setObjectName(QLatin1String(name));
        edit->setDataField(QLatin1String(field));
        edit->setToolTip(hint);
        edit->setStatusTip(hint);
        edit->setEnabled(false);
        return edit;
    };
    auto* namen = new QFormLayout;
    DBRichEdit2 = richEdit(TabSheet2, "DBRichEdit2", "NAME1", QStringLiteral("Erster Name des Stoffes"));
    DBRichEdit3 = richEdit(TabSheet2, "DBRichEdit3", "NAME2", QStringLiteral("Zweiter Name des Stoffes"));
    DBRichEdit4 = richEdit(TabSheet2, "DBRichEdit4", "NAME1", QStringLiteral("Das in der Datenliste gewählte Synonym des Stoffes"));
    for (auto* edit : {DBRichEdit2, DBRichEdit3, DBRichEdit4})
        edit->setFixedHeight(edit->fontMetrics().height() * 2);
    namen->addRow(QStringLiteral("Name1:"), DBRichEdit2);
    namen->addRow(QStringLiteral("Name2:"), DBRichEdit3);
    Label35 = new QLabel(QStringLiteral("Synonym:"), TabSheet2);
    Label35->setObjectName(QStringLiteral("Label35"));
    Label35->setEnabled(false);
    namen->addRow(Label35, DBRichEdit4);
    seite->addLayout(namen);

    ScrollBox1 = new QScrollArea(TabSheet2);
    ScrollBox1->setObjectName(QStringLiteral("ScrollBox1"));
    ScrollBox1->setWidgetResizable(true);
    ScrollBox1->setFocusPolicy(Qt::NoFocus); // Tab goes from the names to the fields in it
    auto* inhalt = new QWidget;
    auto* spalten = new QHBoxLayout(inhalt);
    auto* linkeSpalte = new QFormLayout;
    auto* rechteSpalte = new QFormLayout;
    spalten->addLayout(linkeSpalte);
    spalten->addLayout(rechteSpalte);

    const auto anlegen = [&](QFormLayout* spalte, const Steuerelement& s) -> QWidget* {
        QWidget* control = nullptr;
        if (s.items.isEmpty()) {
            auto* edit = new widgets::DBEdit(inhalt);
            edit->setDataField(QLatin1String(s.field));
            control = edit;
        } else {
            auto* combo = new widgets::DBComboBox(inhalt);
            combo->setDataField(QLatin1String(s.field));
            combo->setItems(s.items);
            control = combo;
        }
        control->setObjectName(QLatin1String(s.name));
        control->setToolTip(QString::fromUtf8(s.hint));
        control->setStatusTip(QString::fromUtf8(s.hint));
        control->setEnabled(false);
        if (s.label)
            spalte->addRow(QString::fromUtf8(s.label), control);
        return control;
    };

    // The formula is a rich edit (subscript digits) in the left column.
    const QStringList gefahr = {"C", "E", "F+", "F", "N", "O", "T+", "T", "Xi", "Xn"};
    const std::vector<Steuerelement> links1 = {
        {"Carn-Nummer:", "CARN", "DBEdit15", {}, "Carn-Nummer des Stoffes"},
        {"SubCarn-Numemr:", "SUBCARN", "DBEdit18", {}, "SubCarn-Nummer des Stoffes"},
        {"EG-Index:", "EG_INDEX", "DBEdit19", {}, "EG-Index des Stoffes"},
    };
    const std::vector<Steuerelement> links2 = {
        {"R-Sätze:", "R_SATZ", "DBEdit23", {}, "Geben Sie hier die R-Sätze des Stoffes ein"},
        {"S-Sätze:", "S_SATZ", "DBEdit24", {}, "Geben Sie hier die S-Sätze des Stoffes ein"},
    };
    const std::vector<Steuerelement> symbole = {
        {nullptr, "GEFSYM1", "DBComboBox1", gefahr, "Wählen Sie hier das erste Gefahrensymbol aus"},
        {nullptr, "GEFSYM2", "DBComboBox2", gefahr, "Wählen Sie hier das zweite Gefahrensymbol aus"},
        {nullptr, "GEFSYM3", "DBComboBox3", gefahr, "Wählen Sie hier das dritte Gefahrensymbol aus"},
        {nullptr, "GEFSYM4", "DBComboBox18", gefahr, "Wählen Sie hier das vierte Gefahrensymbol aus"},
    };
    const std::vector<Steuerelement> links3 = {
        {"Verdünnung/BestNr.", "MERCK_NR", "DBEdit25", {}, "Verdünnung oder Bestellnummer des Stoffes"},
        {"Cancer:", "CANCER", "DBComboBox4", eins23, "Wählen Sie hier die Cancer-Kategorie aus"},
        {"Mutagen:", "MUTAGEN", "DBComboBox5", eins23, "Wählen Sie hier die Mutagen-Kategorie aus"},
        {"R-E:", "R_E", "DBComboBox6", eins23, "Wählen Sie hier die R-E-Kategorie aus"},
        {"R-F:", "R_F", "DBComboBox7", eins23, "Wählen Sie hier die R-F-Kategorie aus"},
        {"Krebs:", "KREBS", "DBComboBox8", {"1", "2", "3", "4", "5", "A1", "A2", "B"},
         "Wählen Sie hier die Krebs-Kategorie aus"},
        {"Fruchtschädigend:", "FRUCHTSCH", "DBComboBox9", {"A", "B", "C", "D"},
         "Wählen Sie hier die Gruppe der Fruchtschädigung aus"},
        {"Erbgutgefährdend:", "ERBGUTGEF", "DBComboBox10", eins23, "Wählen Sie hier die Kategorie der Erbgutgefährdung aus"},
        {"MAK 1:", "MAK1", "DBEdit26", {}, "Erster MAK-Wert des Stoffes"},
        {"MAK 2:", "MAK2", "DBEdit46", {}, "Zweiter MAK-Wert des Stoffes"},
    };
    const std::vector<Steuerelement> rechts = {
        {"TRK 1:", "TRK1", "DBEdit47", {}, "Erster TRK-Wert des Stoffes"},
        {"TRK 2:", "TRK2", "DBEdit48", {}, "Zweiter TRK-Wert des Stoffes"},
        {"MAK-FAK:", "MAK_FAK", "DBComboBox11", {"I", "II,1", "II,2", "III", "IV", "V"},
         "Wählen Sie hier die Spitzenbegrenzung (MAK-FAK) aus"},
        {"Wirkung:", "WIRKUNG", "DBComboBox12", {"H", "S", "P", "HP", "HS"}, "Wählen Sie hier die Wirkung des Stoffes aus"},
        {"VbF:", "VBF", "DBComboBox13", {"AI", "AII", "AIII", "B"}, "Wählen Sie hier die Gefahrklasse nach VbF aus"},
        {"WGK:", "WGK", "DBComboBox14", {"0", "1", "2", "3"}, "Wählen Sie hier die Wassergefährdungsklasse aus"},
        {"Molmasse:", "MOLMASSE", "DBEdit49", {}, "Molmasse des Stoffes"},
        {"Dichte:", "DICHTE", "DBEdit50", {}, "Dichte des Stoffes"},
        {"Schmelzpunkt:", "SMT", "DBEdit51", {}, "Schmelzpunkt des Stoffes"},
        {"Siedepunkt:", "SDT", "DBEdit52", {}, "Siedepunkt des Stoffes"},
        {"Dampfdruck:", "DAMPFDRUCK", "DBEdit53", {}, "Dampfdruck des Stoffes"},
        {"Löslichkeit:", "LOESLICHKE", "DBEdit54", {}, "Löslichkeit des Stoffes"},
        {"Unterricht:", "UNTERRICHT", "DBComboBox15", {"LV", "LV*", "SI", "SI#", "SII", "SII#", "SII*", "???", "###", "XXX"},
         "Wählen Sie hier die Einstufung für den Unterricht aus"},
        {"Lagerung:", "LAGERUNG", "DBComboBox16", zahlen(0, 7), "Wählen Sie hier die Lagerklasse aus"},
        {"Entsorgung:", "ENTSORGUNG", "DBComboBox17",
         zahlen(1, 15) + QStringList{"Abluft", "Abwasser", "Aufarbeitung", "Hausmüll", "Einzelents"},
         "Wählen Sie hier die Entsorgung des Stoffes aus"},
        {"UN-Nummer:", "UN_NR", "DBEdit55", {}, "UN-Nummer des Stoffes"},
    };

    for (const auto& s : links1)
        anlegen(linkeSpalte, s);
    Label36 = qobject_cast<QLabel*>(linkeSpalte->labelForField(inhalt->findChild<QWidget*>(QStringLiteral("DBEdit15"))));
    Label36->setObjectName(QStringLiteral("Label36"));
    Label36->setEnabled(false);
    // Made in its place among the fields, so that Tab reaches it between them.
    DBRichEdit1 = richEdit(inhalt, "DBRichEdit1", "FORMEL",
                           QStringLiteral("Geben Sie hier die Summenformel des Stoffes ein"));
    DBRichEdit1->setFixedHeight(DBRichEdit1->fontMetrics().height() * 2);
    linkeSpalte->addRow(QStringLiteral("Formel:"), DBRichEdit1);
    for (const auto& s : links2)
        anlegen(linkeSpalte, s);
    auto* symbolZeile = new QHBoxLayout;
    for (const auto& s : symbole)
        symbolZeile->addWidget(anlegen(linkeSpalte, s));
    linkeSpalte->addRow(QStringLiteral("Gefahrensymbole:"), symbolZeile);
    for (const auto& s : links3)
        anlegen(linkeSpalte, s);
    for (const auto& s : rechts)
        anlegen(rechteSpalte, s);

    const auto edit = [inhalt](const char* name) { return inhalt->findChild<widgets::DBEdit*>(QLatin1String(name)); };
    DBEdit15 = edit("DBEdit15");
    DBEdit18 = edit("DBEdit18");
    DBEdit19 = edit("DBEdit19");
    DBEdit23 = edit("DBEdit23");
    DBEdit24 = edit("DBEdit24");
    DBEdit25 = edit("DBEdit25");
    DBEdit26 = edit("DBEdit26");
    DBEdit46 = edit("DBEdit46");
    DBEdit47 = edit("DBEdit47");
    DBEdit48 = edit("DBEdit48");
    DBEdit49 = edit("DBEdit49");
    DBEdit50 = edit("DBEdit50");
    DBEdit51 = edit("DBEdit51");
    DBEdit52 = edit("DBEdit52");
    DBEdit53 = edit("DBEdit53");
    DBEdit54 = edit("DBEdit54");
    DBEdit55 = edit("DBEdit55");
    const auto auswahl = [inhalt](const char* name) {
        return inhalt->findChild<widgets::DBComboBox*>(QLatin1String(name));
    };
    DBComboBox1 = auswahl("DBComboBox1");
    DBComboBox2 = auswahl("DBComboBox2");
    DBComboBox3 = auswahl("DBComboBox3");
    DBComboBox4 = auswahl("DBComboBox4");
    DBComboBox5 = auswahl("DBComboBox5");
    DBComboBox6 = auswahl("DBComboBox6");
    DBComboBox7 = auswahl("DBComboBox7");
    DBComboBox8 = auswahl("DBComboBox8");
    DBComboBox9 = auswahl("DBComboBox9");
    DBComboBox10 = auswahl("DBComboBox10");
    DBComboBox11 = auswahl("DBComboBox11");
    DBComboBox12 = auswahl("DBComboBox12");
    DBComboBox13 = auswahl("DBComboBox13");
    DBComboBox14 = auswahl("DBComboBox14");
    DBComboBox15 = auswahl("DBComboBox15");
    DBComboBox16 = auswahl("DBComboBox16");
    DBComboBox17 = auswahl("DBComboBox17");
    DBComboBox18 = auswahl("DBComboBox18");

    ScrollBox1->setWidget(inhalt);
    seite->addWidget(ScrollBox1, 1);
    PageControl1->addTab(TabSheet2, QStringLiteral("Aktueller Datensatz"));
}

void TMarlex::lagerseiteAnlegen()
{
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    auto* seite = new QVBoxLayout(TabSheet3);
    seite->setContentsMargins(0, 0, 0, 0);
    seite->addWidget(ToolBar3);

    DBGrid1 = new widgets::DBGrid(TabSheet3);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    std::vector<widgets::GridColumn> spalten;
    for (const char* feld : {"ANZAHL", "NAME1", "MENGE_IN_G", "DATUM_ALT", "DATUM_NEU", "DIFFE_IN_G", "LAGER_ORT",
                             "FREI1", "FREI2", "LIEFERANT", "VERWENDER", "MARKER", "ETIKETTE"})
        spalten.emplace_back(QLatin1String(feld));
    spalten[1].bold = true;
    spalten[2].width = 109;
    spalten[2].atLeastWidth = true; // "über 1000g" whole in a large font too
    spalten[2].pickList = {QStringLiteral("bis 10g"), QStringLiteral("bis 100g"), QStringLiteral("bis 1000g"),
                           QStringLiteral("über 1000g")};
    DBGrid1->setColumns(std::move(spalten));
    DBGrid1->setCellEditing(false);
    DBGrid1->setRowSelect(true);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { PopupMenu2->popup(DBGrid1->viewport()->mapToGlobal(pos)); });
    seite->addWidget(DBGrid1, 1);
    PageControl1->addTab(TabSheet3, QStringLiteral("Lager"));
}

void TMarlex::statusleisteAnlegen()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar1"));
    // Each panel's designed width, widened to the longest text it shows in
    // the bar's font, so no text is cut.
    const std::array<std::pair<int, QStringList>, 4> felder = {{
        {100, {QStringLiteral("000000 / 000000")}},
        {100, {QStringLiteral("STAMM"), QStringLiteral("TMP1"), QStringLiteral("TMP2")}},
        {120, {QStringLiteral("Editiermodus"), QStringLiteral("Eingabemodus"), QStringLiteral("Lager-Editiermodus")}},
        {50, {QStringLiteral("Im Lager"), QStringLiteral("Nicht im Lager")}},
    }};
    for (std::size_t i = 0; i < StatusPanel.size(); ++i) {
        auto* panel = new QLabel(bar);
        panel->setObjectName(QStringLiteral("StatusPanel%1").arg(i));
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        const QFontMetrics fm = panel->fontMetrics();
        int breite = felder[i].first;
        for (const QString& text : felder[i].second)
            breite = std::max(breite, fm.horizontalAdvance(text) + 2 * (panel->frameWidth() + fm.averageCharWidth()));
        panel->setFixedWidth(breite);
        if (i < 3)
            panel->setAlignment(Qt::AlignCenter);
        bar->addWidget(panel);
        StatusPanel[i] = panel;
    }
    StatusPanel[1]->setText(QStringLiteral("STAMM"));
}

void TMarlex::ereignisseVerbinden()
{
    connect(ListBox1, &widgets::NameList::lineClicked, this, &TMarlex::ListBox1Click);
    connect(ListBox1, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
        PopupMenu1Popup();
        PopupMenu1->popup(ListBox1->viewport()->mapToGlobal(pos));
    });
    connect(Datensatzanzeigen1, &QAction::triggered, this, &TMarlex::Datensatzanzeigen1Click);
    connect(DBRichEdit3, &widgets::DBRichEdit::exited, this, &TMarlex::DBRichEdit3Exit);
    connect(Splitter1, &QSplitter::splitterMoved, this, &TMarlex::Splitter1Moved);
    connect(ToolButton4, &QToolButton::clicked, this, [this] {
        FormResize();
        SymbolfeldAnordnen();
    });
    stoffinfoBefehleVerbinden();
    reportBefehleVerbinden();
    etikettenBefehleVerbinden();
    updateBefehleVerbinden();
    exportBefehleVerbinden();
    filterBefehleVerbinden();
    bearbeitungVerbinden();
    beendenVerbinden();
    hilfeBefehleVerbinden();
    hilfsfensterVerbinden();
    suchBefehleVerbinden();
    lagerBefehleVerbinden();
    memoBefehleVerbinden();
    optionenBefehleVerbinden();
    festlegenBefehleVerbinden();
    tabellenwechselVerbinden();
    rechercheBefehleVerbinden();
    synonymBefehleVerbinden();
    kopierBefehleVerbinden();
}

// --- hints, drag and drop, resizing -----------------------------------------

void TMarlex::DisplayHint(const QString& hint)
{
    if (hint.isEmpty())
        statusBar()->clearMessage();
    else
        statusBar()->showMessage(hint);
}

bool TMarlex::event(QEvent* event)
{
    if (event->type() == QEvent::StatusTip) {
        DisplayHint(static_cast<QStatusTipEvent*>(event)->tip());
        return true;
    }
    return QMainWindow::event(event);
}

bool TMarlex::nimmtListenzeilenAn(const QMimeData* data, const QObject* quelle) const
{
    return quelle == ListBox1 && widgets::NameList::linesFromMimeData(data).has_value();
}

bool TMarlex::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ToolTip)
        return !m_hinweiseZeigen;
    if (watched == DBRichEdit2 && event->type() == QEvent::FocusIn)
        m_stoffnameVorher = DBRichEdit2->field() ? DBRichEdit2->field()->asString() : QString();
    if (watched == Panel3 && event->type() == QEvent::Resize) {
        Panel3Resize();
        // The panel's height follows the window's; its width follows its
        // height, so the pictures stay square when the window is resized.
        if (static_cast<QResizeEvent*>(event)->oldSize().height() != Panel3->height())
            FormResize();
        return false;
    }
    if (watched == PageControl1 && event->type() == QEvent::KeyPress)
        seitenwechselVomNutzer();
    if (watched == Image11 && event->type() == QEvent::MouseButtonDblClick) {
        Image11DblClick();
        return true;
    }
    const bool ablage = watched == ToolButton42 || watched == ToolButton52 || watched == ToolButton57 ||
                        watched == ToolButton58 || watched == Image11;
    if (!ablage)
        return QMainWindow::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        // Read-only mode takes nothing into storage.
        const bool gesperrt = watched == Image11 && OptNurLesemodus;
        if (!gesperrt && nimmtListenzeilenAn(drag->mimeData(), widgets::NameList::dragSource()))
            drag->acceptProposedAction();
        else
            drag->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        if ((watched == Image11 && OptNurLesemodus)
            || !nimmtListenzeilenAn(drop->mimeData(), widgets::NameList::dragSource())) {
            drop->ignore();
            return true;
        }
        drop->acceptProposedAction();
        emit listenzeilenAbgelegt(watched, *widgets::NameList::linesFromMimeData(drop->mimeData()));
        return true;
    }
    default:
        return QMainWindow::eventFilter(watched, event);
    }
}

std::array<widgets::DBComboBox*, 18> TMarlex::auswahlfelder() const
{
    return {DBComboBox1,  DBComboBox2,  DBComboBox3,  DBComboBox4,  DBComboBox5,  DBComboBox6,
            DBComboBox7,  DBComboBox8,  DBComboBox9,  DBComboBox10, DBComboBox11, DBComboBox12,
            DBComboBox13, DBComboBox14, DBComboBox15, DBComboBox16, DBComboBox17, DBComboBox18};
}

std::array<SymbolBild*, 12> TMarlex::symbolbilder() const
{
    return {Image2, Image3, Image4, Image12, Image5, Image6, Image7, Image13, Image8, Image9, Image10, Image14};
}

void TMarlex::symbolbreiteSetzen(int breite)
{
    const int h = Panel4->height();
    const int strukturHoehe = h / 4 + (h / 4) / 3;
    const int r = (h - strukturHoehe) / 3;
    const int w = Panel4->width();
    Panel13->setGeometry(0, 0, w, r);
    Panel6->setGeometry(0, r, w, r);
    // The third row takes what the rounding left over.
    Panel7->setGeometry(0, 2 * r, w, std::max(0, h - strukturHoehe - 2 * r));
    Panel5->setGeometry(0, h - strukturHoehe, w, strukturHoehe);
    const auto bilder = symbolbilder();
    for (std::size_t k = 0; k < bilder.size(); ++k) {
        QWidget* zeile = bilder[k]->parentWidget();
        bilder[k]->setGeometry(static_cast<int>(k % 4) * breite, 0, breite, zeile->height());
    }
    // The structure picture is stretched only while it is larger than its
    // control, which has just changed.
    DBImage1->update();
}

void TMarlex::SymbolfeldAnordnen()
{
    const int h = Panel4->height();
    symbolbreiteSetzen((h - (h / 4 + (h / 4) / 3)) / 3);
}

void TMarlex::Panel3Resize()
{
    SymbolfeldAnordnen();
}

void TMarlex::Splitter1Moved()
{
    const int h = Panel4->height();
    Panel5->resize(Panel4->width(), h / 4 + (h / 4) / 3);
    symbolbreiteSetzen(Panel5->width() / 4);
}

void TMarlex::FormResize()
{
    const int breite = ((Panel3->height() - Panel5->height()) / 3) * 4;
    const QList<int> groessen = Splitter1->sizes();
    if (groessen.size() != 2 || breite <= 0)
        return;
    const int gesamt = groessen[0] + groessen[1];
    Splitter1->setSizes({std::max(0, gesamt - breite), breite});
}
