// The main window's commands: the main menu, the popup menus and the tool
// bars, each item with its caption, shortcut, hint and design-time state.

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QToolBar>
#include <QToolButton>

#include "app/Marlex.h"
#include "app/Werkzeugbilder.h"
#include "files/Paths.h"
#include "widgets/IconTheme.h"

namespace {

constexpr char bildEigenschaft[] = "ImageIndex";

QAction* aktion(QObject* parent, const char* name, const QString& caption, const QString& hint,
                const QKeySequence& shortcut = {})
{
    auto* action = new QAction(caption, parent);
    action->setObjectName(QLatin1String(name));
    action->setStatusTip(hint);
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

// A submenu whose menu action carries the item's name, hint and enabled state.
QMenu* untermenue(QWidget* parent, QAction*& item, const char* name, const QString& caption, const QString& hint)
{
    auto* menu = new QMenu(caption, parent);
    menu->setObjectName(QLatin1String(name) + QStringLiteral("Menu"));
    item = menu->menuAction();
    item->setObjectName(QLatin1String(name));
    item->setStatusTip(hint);
    return menu;
}

QKeySequence ctrl(int key)
{
    return QKeySequence(Qt::CTRL | key);
}

} // namespace
void TMarlex::menueAnlegen()
{
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu1"));

    QMenu* marlex = untermenue(this, Marlex1, "Marlex1", QStringLiteral("&Marlex"), QStringLiteral("Marlex-Funktionen"));
    Optionen1 = aktion(marlex, "Optionen1", QStringLiteral("&Optionen"), QStringLiteral("Marlex Optionen einstellen"));
    Druckerinstallation1 = aktion(marlex, "Druckerinstallation1", QStringLiteral("&Druckerinstallation"),
                                  QStringLiteral("Die eingerichteten Drucker einstellen"));
    Kavuaufrufen1 = aktion(marlex, "Kavuaufrufen1", QStringLiteral("&KAVU aufrufen"), QStringLiteral("Ruft KAVU auf..."));
    Beenden1 = aktion(marlex, "Beenden1", QStringLiteral("&Beenden"), QStringLiteral("Marlex beenden"));
    marlex->addActions({Optionen1, Druckerinstallation1, Kavuaufrufen1});
    marlex->addSeparator();
    marlex->addAction(Beenden1);

    QMenu* daten = untermenue(this, Daten1, "Daten1", QStringLiteral("&Daten"),
                              QStringLiteral("Datenpflege und -bearbeitungs-Funktionen"));
    QMenu* pflege = untermenue(daten, Datenpflege1, "Datenpflege1", QStringLiteral("&Datenpflege"),
                               QStringLiteral("Pflege der Daten"));
    ndern1 = aktion(pflege, "ndern1", QStringLiteral("&Ändern"), QStringLiteral("Aktuellen Datensatz ändern"), ctrl(Qt::Key_A));
    Neueingabe1 = aktion(pflege, "Neueingabe1", QStringLiteral("&Neueingabe"), QStringLiteral("Einen neuen Datensatz eingeben"),
                         ctrl(Qt::Key_N));
    Kopie1 = aktion(pflege, "Kopie1", QStringLiteral("&Kopie"),
                    QStringLiteral("Eine Kopie des aktuellen Datensatzes anfertigen"), ctrl(Qt::Key_K));
    Lschen1 = aktion(pflege, "Lschen1", QStringLiteral("&Löschen"), QStringLiteral("Löscht den aktuellen Datensatz"),
                     ctrl(Qt::Key_L));
    pflege->addActions({ndern1, Neueingabe1, Kopie1, Lschen1});

    QMenu* memo = untermenue(daten, Memo1, "Memo1", QStringLiteral("&Memo"), QStringLiteral("Memo bearbeiten"));
    Ansehen1 = aktion(memo, "Ansehen1", QStringLiteral("&Ansehen"), QStringLiteral("Aktuellen Memo-Eintrag ansehen"));
    Suchen2 = aktion(memo, "Suchen2", QStringLiteral("&Suchen"), QStringLiteral("Nach einem Memo-Eintrag suchen"));
    Eingabe1 = aktion(memo, "Eingabe1", QStringLiteral("&Eingabe"), QStringLiteral("Eingabe eines neuen Memo-Eintrag"));
    memo->addActions({Ansehen1, Suchen2, Eingabe1});

    QMenu* datenbank = untermenue(daten, Datenbank1, "Datenbank1", QStringLiteral("D&atenbank"),
                                  QStringLiteral("Datenbank auswählen"));
    Stamm1 = aktion(datenbank, "Stamm1", QStringLiteral("&Stamm"), QStringLiteral("Datenbank STAMM auswählen"),
                    ctrl(Qt::Key_F1));
    TMP11 = aktion(datenbank, "TMP11", QStringLiteral("TMP &1"), QStringLiteral("Datenbank TMP1 auswählen"), ctrl(Qt::Key_F2));
    TMP21 = aktion(datenbank, "TMP21", QStringLiteral("TMP &2"), QStringLiteral("Datenbank TMP2 auswählen"), ctrl(Qt::Key_F3));
    TMP11->setEnabled(false);
    TMP21->setEnabled(false);
    datenbank->addActions({Stamm1, TMP11, TMP21});

    QMenu* synonym = untermenue(daten, Synonym1, "Synonym1", QStringLiteral("&Synonym"), QStringLiteral("Synonym bearbeiten"));
    ndern2 = aktion(synonym, "ndern2", QStringLiteral("&Ändern"), QStringLiteral("Aktuelles Synonym ändern"));
    Hinzufgen1 = aktion(synonym, "Hinzufgen1", QStringLiteral("&Hinzufügen"), QStringLiteral("Ein neues Synonym hinzufügen"));
    Entfernen1 = aktion(synonym, "Entfernen1", QStringLiteral("&Entfernen"), QStringLiteral("Aktuelles Synonym entfernen"));
    VerwanteSynonymeanzeigen1 =
        aktion(synonym, "VerwanteSynonymeanzeigen1", QStringLiteral("&Verwandte Synonyme anzeigen"),
               QStringLiteral("Zeigt alle Synonyme an, die zum aktuellen Datensatz gehören"));
    synonym->addActions({ndern2, Hinzufgen1, Entfernen1, VerwanteSynonymeanzeigen1});

    QMenu* stoffinfo = untermenue(daten, Stoffinfo1, "Stoffinfo1", QStringLiteral("S&toffinfo"),
                                  QStringLiteral("Stoffinfo bearbeiten"));
    Ansehen2 = aktion(stoffinfo, "Ansehen2", QStringLiteral("&Ansehen"),
                      QStringLiteral("Stoffinfo für den aktuellen Datensatz ansehen"));
    Drucken1 = aktion(stoffinfo, "Drucken1", QStringLiteral("&Drucken"),
                      QStringLiteral("Stoffinfo für den aktuellen Datensatz drucken"));
    stoffinfo->addActions({Ansehen2, Drucken1});

    Suchen1 = aktion(daten, "Suchen1", QStringLiteral("S&uchen"), QStringLiteral("Nach einem Datensatz suchen"),
                     QKeySequence(Qt::Key_F3));
    Filtersetzen1 = aktion(daten, "Filtersetzen1", QStringLiteral("&Filter setzen"),
                           QStringLiteral("Filter über Datenliste benutzen"));
    Reporterstellen1 = aktion(daten, "Reporterstellen1", QStringLiteral("&Report erstellen"),
                              QStringLiteral("Drucker- oder Dateireport erstellen"));
    Update1 = aktion(daten, "Update1", QStringLiteral("&Update"), QStringLiteral("Marlex-Daten auffrischen"));
    RechercheinTMP11 = aktion(daten, "RechercheinTMP11", QStringLiteral("Recherche in TMP &1"),
                              QStringLiteral("Recherche in Datenbank TMP1 durchführen"));
    RechercheinTMP21 = aktion(daten, "RechercheinTMP21", QStringLiteral("Recherche in TMP &2"),
                              QStringLiteral("Recherche in Datenbank TMP2 durchführen"));
    daten->addActions({Datenpflege1, Memo1, Datenbank1, Synonym1, Stoffinfo1});
    daten->addSeparator();
    daten->addActions({Suchen1, Filtersetzen1, Reporterstellen1, Update1});
    daten->addSeparator();
    daten->addActions({RechercheinTMP11, RechercheinTMP21});

    QMenu* hilfe = untermenue(this, Hilfe1, "Hilfe1", QStringLiteral("&Hilfe"), QStringLiteral("Hilfe für Marlex"));
    Index1 = aktion(hilfe, "Index1", QStringLiteral("&Index"), QStringLiteral("Index-Hilfe aufrufen"), QKeySequence(Qt::Key_F1));
    Infober1 = aktion(hilfe, "Infober1", QStringLiteral("Info &über"), QStringLiteral("Informationen über Marlex"));
    hilfe->addAction(Index1);
    hilfe->addSeparator();
    hilfe->addAction(Infober1);

    QMenu* lager = untermenue(this, Daten3, "Daten3", QStringLiteral("&Lagerdaten"), QStringLiteral("Lagerdaten verwalten"));
    Daten3->setEnabled(false);
    Neu2 = aktion(lager, "Neu2", QStringLiteral("&Neu"), QStringLiteral("Einen neuen Datensatz anlegen"), ctrl(Qt::Key_Insert));
    Editieren2 = aktion(lager, "Editieren2", QStringLiteral("&Editieren"), QStringLiteral("Den aktuellen Datensatz editieren"),
                        ctrl(Qt::Key_E));
    Lschen2 = aktion(lager, "Lschen2", QStringLiteral("&Löschen"), QStringLiteral("Den aktuellen Datensatz löschen"),
                     ctrl(Qt::Key_Delete));
    Etikettfestlegen1 = aktion(lager, "Etikettfestlegen1", QStringLiteral("&Datensatz festlegen"),
                               QStringLiteral("Hier können Sie alle Datensätze mit einem Etikette festlegen"));
    Filter2 = aktion(lager, "Filter2", QStringLiteral("&Filter setzen"), QStringLiteral("Einen Filter über die Datensätze legen"));
    Suchen3 = aktion(lager, "Suchen3", QStringLiteral("&Suchen"), QStringLiteral("Nach einem Lagerdatensatz suchen"),
                     ctrl(Qt::Key_S));
    Druckoptionen1 = aktion(lager, "Druckoptionen1", QStringLiteral("D&ruckoptionen"), QStringLiteral("Ruft die Druckoptionen auf"));
    lager->addActions({Neu2, Editieren2, Lschen2});
    lager->addSeparator();
    lager->addActions({Etikettfestlegen1, Filter2, Suchen3});
    lager->addSeparator();
    lager->addAction(Druckoptionen1);

    QMenu* drucken = untermenue(this, Drucken3, "Drucken3", QStringLiteral("D&rucken"), QStringLiteral("Etiketten drucken"));
    Drucken3->setEnabled(false);
    EtikettenLangform2 = aktion(drucken, "EtikettenLangform2", QStringLiteral("Aktuellen Datensatz"),
                                QStringLiteral("Den aktuellen Datensatz drucken"), ctrl(Qt::Key_D));
    Gesamt2 = aktion(drucken, "Gesamt2", QStringLiteral("&Gesamt"), QStringLiteral("Alle markierten Etiketten drucken"),
                     ctrl(Qt::Key_G));
    Layout2 = aktion(drucken, "Layout2", QStringLiteral("L&ayout"), QStringLiteral("Etiketten-Layout anzeigen"), ctrl(Qt::Key_T));
    QMenu* export_ = untermenue(drucken, Exportnach1, "Exportnach1", QStringLiteral("Exportieren nach"),
                                QStringLiteral("Aktuellen Lagerdatensatz exportieren"));
    EMF1 = aktion(export_, "EMF1", QStringLiteral("Windows Meta File"), QStringLiteral("Etikett nach WMF exportieren"));
    Bitmap1 = aktion(export_, "Bitmap1", QStringLiteral("Bitmap"), QStringLiteral("Etikett nach Bitmap exportieren"));
    GIF1 = aktion(export_, "GIF1", QStringLiteral("GIF"), QStringLiteral("Etikett nach GIF exportieren"));
    export_->addActions({EMF1, Bitmap1, GIF1});
    drucken->addActions({EtikettenLangform2, Gesamt2, Layout2});
    drucken->addSeparator();
    drucken->addAction(Exportnach1);

    bar->addActions({Marlex1, Daten1, Hilfe1, Daten3, Drucken3});

    PopupMenu1 = new QMenu(this);
    PopupMenu1->setObjectName(QStringLiteral("PopupMenu1"));
    Menu11 = aktion(PopupMenu1, "Menu11", QStringLiteral("Akt. Datensatz"), {});
    Menu11->setEnabled(false);
    QFont fett = Menu11->font();
    fett.setBold(true); // the default item
    Menu11->setFont(fett);
    Datensatzanzeigen1 = aktion(PopupMenu1, "Datensatzanzeigen1", QStringLiteral("Datensatz an&zeigen"), {});
    Datensatzbearbeiten1 = aktion(PopupMenu1, "Datensatzbearbeiten1", QStringLiteral("Datensatz &bearbeiten"), {});
    Datensatzkopieren1 = aktion(PopupMenu1, "Datensatzkopieren1", QStringLiteral("Datensatz &kopieren"), {});
    Menu31 = aktion(PopupMenu1, "Menu31", QStringLiteral("Datensatz ins &Lager übernehmen"), {});
    Stoffinfoanzeigen1 = aktion(PopupMenu1, "Stoffinfoanzeigen1", QStringLiteral("Stoffinfo &anzeigen"), {});
    Stoffinfodrucken1 = aktion(PopupMenu1, "Stoffinfodrucken1", QStringLiteral("Stoffinfo &drucken"), {});
    PopupMenu1->addAction(Menu11);
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({Datensatzanzeigen1, Datensatzbearbeiten1, Datensatzkopieren1});
    PopupMenu1->addSeparator();
    PopupMenu1->addAction(Menu31);
    PopupMenu1->addSeparator();
    PopupMenu1->addActions({Stoffinfoanzeigen1, Stoffinfodrucken1});

    PopupMenu2 = new QMenu(this);
    PopupMenu2->setObjectName(QStringLiteral("PopupMenu2"));
    Layout1 = aktion(PopupMenu2, "Layout1", QStringLiteral("&Layout anzeigen"), {});
    AktuellenDatensatz1 = aktion(PopupMenu2, "AktuellenDatensatz1", QStringLiteral("&Aktuellen Datensatz drucken"), {});
    Gesamt1 = aktion(PopupMenu2, "Gesamt1", QStringLiteral("&Gesamtdruck"), {});
    PopupMenu2->addActions({Layout1, AktuellenDatensatz1, Gesamt1});
}

int TMarlex::buttonImage(const QToolButton* button)
{
    return button->property(bildEigenschaft).toInt();
}

void TMarlex::setButtonImage(QToolButton* button, int image)
{
    button->setProperty(bildEigenschaft, image);
    button->setIcon(werkzeugbild(*this, image));
}

void TMarlex::werkzeugleistenAnlegen()
{
    // The pictures come from the icon theme shipped beside the program file.
    m_werkzeugbilderDa = widgets::installIconTheme(files::programDirectory());
    const auto leiste = [this](const char* name) {
        auto* bar = new QToolBar(this);
        bar->setObjectName(QLatin1String(name));
        bar->setIconSize(QSize(28, 28));
        bar->setMovable(false);
        bar->setFloatable(false);
        return bar;
    };
    const auto knopf = [this](QToolBar* bar, const char* name, int image, const QString& hint,
                              bool enabled = true, bool check = false) {
        auto* button = new QToolButton(bar);
        button->setObjectName(QLatin1String(name));
        setButtonImage(button, image);
        button->setToolTip(hint);
        button->setStatusTip(hint);
        button->setEnabled(enabled);
        button->setCheckable(check);
        button->setAutoRaise(true);
        bar->addWidget(button);
        return button;
    };

    ToolBar4 = leiste("ToolBar4");
    ToolButton38 = knopf(ToolBar4, "ToolButton38", 3, QStringLiteral("Einen neuen Datensatz anlegen"));
    ToolButton41 = knopf(ToolBar4, "ToolButton41", 1, QStringLiteral("Aktuellen Datensatz verändern"));
    ToolButton42 = knopf(ToolBar4, "ToolButton42", 2, QStringLiteral("Kopie des Datensatzes anlegen"));
    ToolBar4->addSeparator();
    ToolButton43 = knopf(ToolBar4, "ToolButton43", 4, QStringLiteral("Nach einem Datensatz suchen"));
    ToolButton55 = knopf(ToolBar4, "ToolButton55", 19, QStringLiteral("Memo anzeigen"), false);
    ToolBar4->addSeparator();
    ToolButton48 = knopf(ToolBar4, "ToolButton48", 20, QStringLiteral("Zur Stamm-Datenbank wechseln"));
    ToolButton49 = knopf(ToolBar4, "ToolButton49", 25, QStringLiteral("Zur TMP1-Datenbank wechseln"), false);
    ToolButton50 = knopf(ToolBar4, "ToolButton50", 0, QStringLiteral("Zur TMP2-Datenbank wechseln"), false);
    ToolBar4->addSeparator();
    ToolButton52 = knopf(ToolBar4, "ToolButton52", 23, QStringLiteral("Synonym entfernen"));
    ToolButton53 = knopf(ToolBar4, "ToolButton53", 24, QStringLiteral("Synonym hinzufügen"));
    ToolBar4->addSeparator();
    ToolButton57 = knopf(ToolBar4, "ToolButton57", 21, QStringLiteral("Stoffinfo ansehen"));
    ToolButton58 = knopf(ToolBar4, "ToolButton58", 22, QStringLiteral("Stoffinfo drucken"));
    ToolBar4->addSeparator();
    ToolButton4 = knopf(ToolBar4, "ToolButton4", 29, QStringLiteral("Symbole proportional anzeigen"));

    ToolBar2 = leiste("ToolBar2");
    ToolButton22 = knopf(ToolBar2, "ToolButton22", 3, QStringLiteral("Neuen Datensatz anlegen"));
    ToolButton23 = knopf(ToolBar2, "ToolButton23", 1, QStringLiteral("Aktuellen Datensatz verändern"));
    ToolButton24 = knopf(ToolBar2, "ToolButton24", 2, QStringLiteral("Kopie des aktuellen Datensatzes anlegen"));
    ToolBar2->addSeparator();
    ToolButton39 = knopf(ToolBar2, "ToolButton39", 21, QStringLiteral("Stoffinfo ansehen"));
    ToolButton40 = knopf(ToolBar2, "ToolButton40", 22, QStringLiteral("Stoffinfo drucken"));
    ToolBar2->addSeparator();
    ToolButton2 = knopf(ToolBar2, "ToolButton2", 27,
                        QStringLiteral("Zeigt den Datennavigator für den aktuellen Datensatz an"), true, true);
    ToolButton6 = knopf(ToolBar2, "ToolButton6", 32, QStringLiteral("Ergänzung zur Einstufung anzeigen"), false, true);

    ToolBar3 = leiste("ToolBar3");
    ToolButton25 = knopf(ToolBar3, "ToolButton25", 13, QStringLiteral("Neuen Lagerdatensatz anlegen"), false);
    ToolButton30 = knopf(ToolBar3, "ToolButton30", 12, QStringLiteral("Aktuellen Lagerdatensatz löschen"), false);
    ToolButton31 = knopf(ToolBar3, "ToolButton31", 8, QStringLiteral("Den Editiermodus einschalten"));
    ToolBar3->addSeparator();
    ToolButton33 = knopf(ToolBar3, "ToolButton33", 11, QStringLiteral("Etiketten-Layout anzeigen"));
    ToolButton3 = knopf(ToolBar3, "ToolButton3", 10, QStringLiteral("Aktuell ausgewählten Datensatz drucken"));
    ToolButton37 = knopf(ToolBar3, "ToolButton37", 6, QStringLiteral("Alle markierten Etiketten drucken"));

    for (QToolButton* ziel : {ToolButton42, ToolButton52, ToolButton57, ToolButton58}) {
        ziel->setAcceptDrops(true);
        ziel->installEventFilter(this);
    }

    for (const Menuebild& eintrag : Menuebilder)
        findChild<QAction*>(QLatin1String(eintrag.aktion))->setIcon(werkzeugbild(*this, eintrag.bild));
}

