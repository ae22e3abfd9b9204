#include "widgets/Benannt.h"
#include "data/OptionenDialog.h"

#include <array>
#include <optional>

#include <QButtonGroup>
#include <QCheckBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFontDialog>
#include <QFontInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "data/Optionen.h"
#include "ini/IniFile.h"
#include "report/Report.h"
#include "reports/StoffInfo.h"
#include "widgets/MessageBox.h"
#include "widgets/ScreenCentre.h"

namespace {

using widgets::benannt;

QCheckBox* kasten(const char* name, const QString& caption, const QString& hint)
{
    return benannt(new QCheckBox(caption), name, hint);
}

QWidget* seite(const char* name)
{
    return benannt(new QWidget, name);
}

QPushButton* auswahlknopf(const char* name)
{
    auto* knopf = benannt(new QPushButton(u".."_qs), name);
    knopf->setAutoDefault(false);
    knopf->setFixedWidth(32);
    return knopf;
}

// A line of an edit with its chooser button.
QHBoxLayout* mitKnopf(QLineEdit* feld, QPushButton* knopf)
{
    auto* zeile = new QHBoxLayout;
    zeile->addWidget(feld, 1);
    zeile->addWidget(knopf);
    return zeile;
}

const QString layoutFilter = u"Etiketten (*.ETI *.eti);;Stoffinfo (*.STO *.sto)"_qs;
const QString browserFilter = u"Ausführbare Datei (*.EXE *.exe);;Alle Dateien (*)"_qs;

// Lets the user choose an existing file; its full path, or empty when the
// user cancels.
QString dateiWaehlen(QWidget* parent, const char* name, const QString& filter, int filterIndex,
                     const QString& endung, const QString& vorher)
{
    QFileDialog dialog(parent, QString(), vorher.isEmpty() ? QString() : QFileInfo(vorher).absolutePath(), filter);
    dialog.setObjectName(QLatin1String(name));
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setDefaultSuffix(endung);
    dialog.selectNameFilter(filter.split(u";;"_qs).value(filterIndex - 1));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return QDir::toNativeSeparators(QFileInfo(dialog.selectedFiles().constFirst()).absoluteFilePath());
}

// The font as the screen shows it, named by the style it is drawn in
// ("Book", "Regular", ...): the font dialog then starts on that style, not
// on the family's first one.
QFont schriftMitStil(const QFont& schrift)
{
    const QFontInfo gezeigt(schrift);
    QFont ergebnis(gezeigt.family(), gezeigt.pointSize());
    ergebnis.setStyleName(gezeigt.styleName());
    return ergebnis;
}

} // namespace

TOptionen::TOptionen(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      PageControl1(benannt(new QTabWidget(this), "PageControl1")), TabSheet1(seite("TabSheet1")),
      TabSheet2(seite("TabSheet2")), TabSheet3(seite("TabSheet3")), TabSheet4(seite("TabSheet4")),
      TabSheet5(seite("TabSheet5")),
      Button1(benannt(new QPushButton(u"&OK"_qs, this), "Button1",
                      u"Drücken Sie hier, um die Einstellungen zu übernehmen und abzuspeichern"_qs)),
      Button2(benannt(new QPushButton(u"&Abbruch"_qs, this), "Button2",
                      u"Drücken Sie hier, um die alten Einstellungen wiederherzustellen"_qs)),
      m_tabPosition(new QButtonGroup(this))
{
    setObjectName(u"Optionen"_qs);
    setWindowTitle(u"Optionen"_qs);
    widgets::centreOnScreen(this);
    seitenAnlegen();

    Button1->setDefault(true);
    Button2->setAutoDefault(false);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch();
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    auto* spalte = new QVBoxLayout(this);
    spalte->addWidget(PageControl1);
    spalte->addLayout(knoepfe);
    spalte->setSizeConstraint(QLayout::SetFixedSize);

    connect(Button1, &QPushButton::clicked, this, &TOptionen::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    connect(Button3, &QPushButton::clicked, this, &TOptionen::Button3Click);
    connect(Button4, &QPushButton::clicked, this, &TOptionen::Button4Click);
    connect(Button5, &QPushButton::clicked, this, &TOptionen::Button5Click);
    connect(Button6, &QPushButton::clicked, this, &TOptionen::Button6Click);
    connect(CheckBox8, &QCheckBox::clicked, this, &TOptionen::CheckBox8Click);

    if (Marlex->NurDruckoptionen != 0) {
        for (QWidget* verborgen : {TabSheet5, TabSheet1, TabSheet2})
            PageControl1->setTabVisible(PageControl1->indexOf(verborgen), false);
        PageControl1->setCurrentWidget(TabSheet4);
    }
    PendingFont = Marlex->ScreenFont;
    EinstellungenAnzeigen();
    AlteLagerMarkierung = OptLagerMarkieren;
    AlterNurLesemodus = OptNurLesemodus;
    AlterExklusivZugriff = OptExklusivZugriff;
    GroupBox4->setEnabled(!OptAutoHelp);
}

void TOptionen::seitenAnlegen()
{
    PageControl1->addTab(TabSheet1, u"Marlex"_qs);
    PageControl1->addTab(TabSheet2, u"Daten"_qs);
    PageControl1->addTab(TabSheet3, u"Lager"_qs);
    PageControl1->addTab(TabSheet4, u"Druck"_qs);
    PageControl1->addTab(TabSheet5, u"Hilfe"_qs);

    // "Marlex"
    GroupBox5 = benannt(new QGroupBox(u"Marlex"_qs), "GroupBox5");
    CheckBox9 = kasten("CheckBox9", u"Marlex-Hints verwenden"_qs,
                       u"Legt fest, ob Marlex immer ein Hilfe-Hint darstellen soll"_qs);
    CheckBox10 = kasten("CheckBox10", u"Abfrage vor Beenden von Marlex"_qs,
                        u"Fragt ab, ob Sie Marlex wirklich beenden wollen"_qs);
    Button3 = benannt(new QPushButton(u"Schriftauswahl"_qs), "Button3",
                      u"Auswahl der Schrift für die Bildschirmanzeige"_qs);
    Button3->setAutoDefault(false);
    auto* marlex = new QVBoxLayout(GroupBox5);
    marlex->addWidget(CheckBox9);
    marlex->addWidget(CheckBox10);
    marlex->addWidget(Button3, 0, Qt::AlignLeft);
    RadioGroup1 = benannt(new QGroupBox(u"Tab-Position"_qs), "RadioGroup1",
                          u"Hier können Sie festlegen, wo sich der Text 'Datenliste', 'Aktueller Datensatz' und "
                          u"'Lager' befinden soll"_qs);
    RadioOben = benannt(new QRadioButton(u"Oben"_qs), "RadioOben");
    RadioUnten = benannt(new QRadioButton(u"Unten"_qs), "RadioUnten");
    m_tabPosition->addButton(RadioOben, 0);
    m_tabPosition->addButton(RadioUnten, 1);
    auto* reiter = new QVBoxLayout(RadioGroup1);
    reiter->addWidget(RadioOben);
    reiter->addWidget(RadioUnten);
    auto* seite1 = new QVBoxLayout(TabSheet1);
    seite1->addWidget(GroupBox5);
    seite1->addWidget(RadioGroup1);
    seite1->addStretch();

    // "Daten"
    CheckBox1 = kasten("CheckBox1", u"Neuindizierung bei jedem Start"_qs,
                       u"Legt fest, ob die Marlex-Dateien geprüft werden sollen"_qs);
    CheckBox2 = kasten("CheckBox2", u"Exklusiv-Zugriff"_qs,
                       u"Legt fest, ob die Daten von mehreren Benutzern verwendet werden dürfen"_qs);
    CheckBox3 = kasten("CheckBox3", u"Darstellung in Farbe"_qs,
                       u"Legt fest, ob die Symbole in Farbe dargestellt werden sollen"_qs);
    CheckBox5 = kasten("CheckBox5", u"Formel darstellen"_qs, u"Legt fest, ob die Formel dargestellt werden soll"_qs);
    CheckBox12 = kasten("CheckBox12", u"Dateien im Nur-Lesemodus öffnen"_qs,
                        u"Klicken Sie das Kontrollkästchen an, wenn Sie nicht bearbeiten wollen"_qs);
    CheckBox11 = kasten("CheckBox11", u"Lagerdatensätze in Datenliste markieren"_qs,
                        u"Legt fest, ob in der Datenliste die im Lager befindlichen Datensätze markiert werden "
                        u"sollen"_qs);
    auto* seite2 = new QVBoxLayout(TabSheet2);
    for (QCheckBox* k : {CheckBox1, CheckBox2, CheckBox3, CheckBox5, CheckBox12, CheckBox11})
        seite2->addWidget(k);
    seite2->addStretch();

    // "Lager"
    Edit2 = benannt(new QLineEdit, "Edit2", u"Lieferant festlegen"_qs);
    Edit3 = benannt(new QLineEdit, "Edit3", u"Verwender festlegen"_qs);
    CheckBox4 = kasten("CheckBox4", u"Etikettenanzahl nach Druck auf 0 setzen"_qs,
                       u"Legt fest, ob die Anzahl der Etiketten nach einem Druck auf Null gesetzt werden soll"_qs);
    auto* seite3 = new QFormLayout(TabSheet3);
    seite3->addRow(u"Lieferant:"_qs, Edit2);
    seite3->addRow(u"Verwender:"_qs, Edit3);
    seite3->addRow(CheckBox4);

    // "Druck"
    GroupBox1 = benannt(new QGroupBox(u"Etiketten"_qs), "GroupBox1",
                        u"Nehmen Sie hier Ihre Etiketteneinstellungen vor"_qs);
    Edit5 = benannt(new QLineEdit, "Edit5");
    Button4 = auswahlknopf("Button4");
    auto* etiketten = new QFormLayout(GroupBox1);
    etiketten->addRow(u"Standardetikett:"_qs, mitKnopf(Edit5, Button4));
    GroupBox2 = benannt(new QGroupBox(u"Stoffinfo"_qs), "GroupBox2",
                        u"Nehmen Sie hier Ihre Stoffinfoeinstellungen vor"_qs);
    Edit6 = benannt(new QLineEdit, "Edit6");
    Button5 = auswahlknopf("Button5");
    auto* stoffinfo = new QFormLayout(GroupBox2);
    stoffinfo->addRow(u"Standardstoffinfo:"_qs, mitKnopf(Edit6, Button5));
    const QString randHint = u"Stellen Sie hier den Rand in mm ein"_qs;
    GroupBox3 = benannt(new QGroupBox(u"Rand in mm"_qs), "GroupBox3", randHint);
    Edit7 = benannt(new QLineEdit, "Edit7", randHint);
    Edit8 = benannt(new QLineEdit, "Edit8", randHint);
    Edit9 = benannt(new QLineEdit, "Edit9", randHint);
    Edit10 = benannt(new QLineEdit, "Edit10", randHint);
    CheckBox6 = kasten("CheckBox6", u"Nur bei Etiketten bennutzen"_qs,
                       u"Schalten Sie diese Checkbox aus, wenn Sie den Rand ebenso bei Reports und Stoffinfos "
                       u"verwenden wollen"_qs);
    auto* rand = new QGridLayout(GroupBox3);
    rand->addWidget(new QLabel(u"Oben:"_qs), 0, 0);
    rand->addWidget(Edit7, 0, 1);
    rand->addWidget(new QLabel(u"Unten:"_qs), 0, 2);
    rand->addWidget(Edit8, 0, 3);
    rand->addWidget(new QLabel(u"Rechts:"_qs), 1, 0);
    rand->addWidget(Edit9, 1, 1);
    rand->addWidget(new QLabel(u"Links:"_qs), 1, 2);
    rand->addWidget(Edit10, 1, 3);
    rand->addWidget(CheckBox6, 2, 0, 1, 4);
    CheckBox7 = kasten("CheckBox7", u"Farb-Druck"_qs,
                       u"Legt fest, ob die Etiketten in Farbe gedruckt werden sollen"_qs);
    auto* seite4 = new QVBoxLayout(TabSheet4);
    seite4->addWidget(GroupBox1);
    seite4->addWidget(GroupBox2);
    seite4->addWidget(GroupBox3);
    seite4->addWidget(CheckBox7);
    seite4->addStretch();

    // "Hilfe"
    CheckBox8 = kasten("CheckBox8", u"Hilfe automatisch mit installiertem Browser öffnen"_qs,
                       u"Schalten Sie das Kästchen ein, um die Hilfe automatisch mit einem installiertem Browser "
                       u"zu öffnen"_qs);
    GroupBox4 = benannt(new QGroupBox(u"Browser - Datei"_qs), "GroupBox4",
                        u"Geben Sie hier die Browser - Datei für die Hilfe ein"_qs);
    Edit1 = benannt(new QLineEdit, "Edit1");
    Button6 = auswahlknopf("Button6");
    auto* browser = new QHBoxLayout(GroupBox4);
    browser->addLayout(mitKnopf(Edit1, Button6));
    auto* seite5 = new QVBoxLayout(TabSheet5);
    seite5->addWidget(CheckBox8);
    seite5->addWidget(GroupBox4);
    seite5->addStretch();
}

int TOptionen::radioGroup1ItemIndex() const
{
    return m_tabPosition->checkedId();
}

void TOptionen::EinstellungenAnzeigen()
{
    const Dialogoptionen w = DialogoptionenLesen(*Marlex->IniDatei);
    CheckBox9->setChecked(w.hint);
    CheckBox10->setChecked(w.abfrageVorBeenden);
    CheckBox12->setChecked(w.nurLesemodus);
    CheckBox1->setChecked(w.indexCheck);
    CheckBox2->setChecked(w.exklusivZugriff);
    CheckBox3->setChecked(w.darstellungInFarbe);
    CheckBox5->setChecked(w.formelDarstellen);
    CheckBox11->setChecked(w.lagerMarkieren);
    Edit2->setText(w.lieferant);
    Edit3->setText(w.verwender);
    CheckBox7->setChecked(w.farbDruck);
    // Any value but 0 puts the tabs at the bottom, as the main window reads it.
    (w.tabPosition == 0 ? RadioOben : RadioUnten)->setChecked(true);
    Edit5->setText(w.standardEtikett);
    Edit6->setText(w.standardStoffinfo);
    Edit7->setText(w.randOben);
    Edit8->setText(w.randUnten);
    Edit9->setText(w.randRechts);
    Edit10->setText(w.randLinks);
    CheckBox6->setChecked(w.onlyEtikett);
    CheckBox4->setChecked(w.etikettAnzahlLoeschen);
    CheckBox8->setChecked(w.autoHelp);
    Edit1->setText(w.helpBrowser);
}

void TOptionen::EinstellungenSpeichern()
{
    Dialogoptionen w;
    w.hint = CheckBox9->isChecked();
    w.abfrageVorBeenden = CheckBox10->isChecked();
    w.nurLesemodus = CheckBox12->isChecked();
    w.indexCheck = CheckBox1->isChecked();
    w.exklusivZugriff = CheckBox2->isChecked();
    w.darstellungInFarbe = CheckBox3->isChecked();
    w.formelDarstellen = CheckBox5->isChecked();
    w.lagerMarkieren = CheckBox11->isChecked();
    w.lieferant = Edit2->text();
    w.verwender = Edit3->text();
    w.farbDruck = CheckBox7->isChecked();
    w.tabPosition = radioGroup1ItemIndex();
    w.standardEtikett = Edit5->text();
    w.standardStoffinfo = Edit6->text();
    w.randOben = Edit7->text();
    w.randUnten = Edit8->text();
    w.randRechts = Edit9->text();
    w.randLinks = Edit10->text();
    w.onlyEtikett = CheckBox6->isChecked();
    w.fontName = PendingFont.family();
    // A font given in pixels has no point size; the size in force stays.
    w.fontSize = PendingFont.pointSize() > 0 ? PendingFont.pointSize() : OptFontSize;
    w.etikettAnzahlLoeschen = CheckBox4->isChecked();
    w.autoHelp = CheckBox8->isChecked();
    w.helpBrowser = Edit1->text();
    Marlex->IniDatei->write(DialogoptionenAenderungen(w));
}

bool TOptionen::RaenderPruefen()
{
    const auto abweisen = [this](QLineEdit* feld, const QString& meldung) {
        PageControl1->setCurrentWidget(TabSheet4);
        widgets::MessageBox::error(this, meldung);
        feld->setFocus();
        feld->selectAll();
        return false;
    };
    const std::array<std::pair<QLineEdit*, QString>, 4> felder = {
        {{Edit7, u"Oben"_qs}, {Edit8, u"Unten"_qs}, {Edit9, u"Rechts"_qs}, {Edit10, u"Links"_qs}}};
    std::array<double, 4> mm{};
    for (std::size_t i = 0; i < felder.size(); ++i) {
        const auto& [feld, name] = felder[i];
        // Empty, as a new settings file has them: nothing typed, nothing to refuse.
        if (feld->text().trimmed().isEmpty())
            continue;
        const std::optional<double> wert = reports::randMm(feld->text());
        if (!wert)
            return abweisen(feld, u"Der Rand „%1“ (Rand in mm) „%2“ ist keine gültige Millimeterangabe. Bitte tragen "
                                  u"Sie eine Zahl ab 0 ein, zum Beispiel 10 oder 10,5."_qs.arg(name, feld->text()));
        mm[i] = *wert;
    }
    // The labels are always printed with these margins, on an A4 page.
    report::PageSetup seite;
    seite.setUnits(report::Unit::MM);
    seite.setPaperSize(report::PaperSize::A4);
    seite.setOrientation(report::Orientation::Portrait);
    seite.setTopMargin(mm[0]);
    seite.setBottomMargin(mm[1]);
    seite.setRightMargin(mm[2]);
    seite.setLeftMargin(mm[3]);
    const QRectF bereich = seite.printableRectMm();
    if (bereich.height() <= 0.0 || bereich.width() <= 0.0) {
        const bool hoehe = bereich.height() <= 0.0;
        const QSizeF papier = seite.pageSizeMm();
        const QLocale deutsch(QLocale::German);
        return abweisen(hoehe ? Edit7 : Edit10,
                        u"Die Ränder „%1“ und „%2“ (Rand in mm) lassen auf einer Seite von %3 mm %4 keinen Platz zum "
                        u"Drucken. Bitte verkleinern Sie sie."_qs.arg(hoehe ? u"Oben"_qs : u"Links"_qs,
                                                                      hoehe ? u"Unten"_qs : u"Rechts"_qs,
                                                                      deutsch.toString(hoehe ? papier.height()
                                                                                             : papier.width()),
                                                                      hoehe ? u"Höhe"_qs : u"Breite"_qs));
    }
    return true;
}

void TOptionen::Button1Click()
{
    if (!RaenderPruefen())
        return;
    const bool nurLesen = CheckBox12->isChecked();
    const bool exklusiv = CheckBox2->isChecked();
    const bool zugriffWechseln = nurLesen != AlterNurLesemodus || exklusiv != AlterExklusivZugriff;
    if (zugriffWechseln && Marlex->offeneBearbeitung()
        && widgets::MessageBox::askYesNo(this,
                                         u"Ein Datensatz wird gerade bearbeitet. Für den neuen Zugriff werden die "
                                         u"Tabellen neu geöffnet; die Bearbeitung wird dabei beendet und das "
                                         u"Geänderte gespeichert.\n\nJetzt umschalten?"_qs,
                                         widgets::Answer::No, widgets::MessageKind::Warning)
               != widgets::Answer::Yes)
        return;

    // The tables first: the settings file then says how they are open.
    QString grund;
    if (zugriffWechseln && !Marlex->ZugriffsartWechseln(nurLesen, exklusiv, grund)) {
        CheckBox12->setChecked(AlterNurLesemodus);
        CheckBox2->setChecked(AlterExklusivZugriff);
        widgets::MessageBox::warning(this, u"Die Tabellen lassen sich nicht %1 öffnen; sie bleiben geöffnet, wie sie "
                                           u"waren, und die Einstellung ist zurückgesetzt.\n\n%2"_qs
                                               .arg(nurLesen != AlterNurLesemodus
                                                        ? (nurLesen ? u"im Nur-Lesemodus"_qs : u"zum Schreiben"_qs)
                                                        : (exklusiv ? u"exklusiv"_qs : u"gemeinsam"_qs),
                                                    grund));
        return;
    }
    try {
        EinstellungenSpeichern();
    } catch (const ini::IniError& fehler) {
        if (zugriffWechseln) {
            QString zurueck;
            Marlex->ZugriffsartWechseln(AlterNurLesemodus, AlterExklusivZugriff, zurueck);
        }
        widgets::MessageBox::error(this, u"Die Einstellungen konnten nicht gespeichert werden; es bleibt alles, wie "
                                         u"es war.\n\n"_qs
                                             + fehler.message());
        return;
    }
    EinstellungenLaden(*Marlex->IniDatei);
    Marlex->OptionenAnwenden(PendingFont, AlteLagerMarkierung, zugriffWechseln);
    accept();
}

void TOptionen::Button3Click()
{
    QFontDialog FontDialog1(schriftMitStil(PendingFont), this);
    FontDialog1.setObjectName(u"FontDialog1"_qs);
    FontDialog1.setOption(QFontDialog::DontUseNativeDialog);
    if (FontDialog1.exec() != QDialog::Accepted)
        return;
    // Only the name and the size are stored: the screen shows the font so,
    // whatever style was picked.
    const QFont gewaehlt = FontDialog1.selectedFont();
    PendingFont = QFont(gewaehlt.family(), gewaehlt.pointSize() > 0 ? gewaehlt.pointSize() : PendingFont.pointSize());
}

void TOptionen::Button4Click()
{
    layoutWaehlen(Edit5, u"ETI"_qs, 1);
}

void TOptionen::Button5Click()
{
    layoutWaehlen(Edit6, u"STO"_qs, 2);
}

void TOptionen::layoutWaehlen(QLineEdit* feld, const QString& endung, int filterIndex)
{
    const QString datei = dateiWaehlen(this, "OpenDialog1", layoutFilter, filterIndex, endung, feld->text());
    if (!datei.isEmpty())
        feld->setText(datei);
}

void TOptionen::Button6Click()
{
    const QString datei = dateiWaehlen(this, "OpenDialog2", browserFilter, 1, u"EXE"_qs, Edit1->text());
    if (!datei.isEmpty())
        Edit1->setText(datei);
}

void TOptionen::CheckBox8Click()
{
    GroupBox4->setEnabled(!CheckBox8->isChecked());
}
