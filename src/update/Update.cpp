#include "widgets/Benannt.h"
#include "update/Update.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDate>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/Marlex.h"
#include "app/Shell.h"
#include "app/Ueber.h"
#include "data/Datas.h"
#include "data/DatenAuffrischen.h"
#include "data/ListeEinlesen.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "reports/TabellenWache.h"
#include "search/Namentabellen.h"
#include "update/Datenupdate.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/ScreenCentre.h"

QString TUpdate::Updateadresse()
{
    return TUeber::Herstelleradresse + QStringLiteral("update/");
}

const QString TUpdate::Berichtsdatei = QStringLiteral("UPDATE.TXT");

namespace {

using widgets::benannt;

const QString dateiHinweis = QStringLiteral("Wählen Sie hier die Updatedatei aus");

// The wait window of the batch mode, shown and painted before the move and
// hidden on every way out of it.
class Warten {
public:
    Warten()
    {
        if (!DatenAuffrischen)
            return;
        DatenAuffrischen->show();
        QCoreApplication::processEvents();
    }
    ~Warten()
    {
        if (DatenAuffrischen)
            DatenAuffrischen->hide();
    }
    Warten(const Warten&) = delete;
    Warten& operator=(const Warten&) = delete;

    static void namenslisteAnsagen()
    {
        if (!DatenAuffrischen)
            return;
        DatenAuffrischen->Label1->setText(QStringLiteral("Namensliste wird aufgefrischt. Bitte warten..."));
        QCoreApplication::processEvents();
    }
};

bool istNamenDbf(const dbase::Table& namen)
{
    return namen.active()
        && namen.tableName().compare(namentabellenDatei(Namentabelle::Stamm), Qt::CaseInsensitive) == 0;
}

} // namespace

TUpdate::TUpdate(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
                          | Qt::WindowCloseButtonHint),
      RadioGroup1(benannt(new QGroupBox(QStringLiteral("Update-Auswahl"), this), "RadioGroup1",
                          QStringLiteral("Wählen Sie hier die Updateeinstellung aus"))),
      Internet(benannt(new QRadioButton(QStringLiteral("Datendatei aus dem Internet laden"), RadioGroup1),
                       "Internet")),
      Aktualisieren(benannt(new QRadioButton(QStringLiteral("Daten in Marlex99 aktualisieren"), RadioGroup1),
                            "Aktualisieren")),
      Label1(benannt(new QLabel(QStringLiteral("Updatedatei:"), this), "Label1")),
      Edit1(benannt(new QLineEdit(this), "Edit1", dateiHinweis)),
      Button3(benannt(new QPushButton(QStringLiteral("&Durchsuchen"), this), "Button3", dateiHinweis)),
      Button1(benannt(new QPushButton(QStringLiteral("&Ok"), this), "Button1",
                      QStringLiteral("Drücken Sie hier, um das Auffrischen der Daten fortzusetzen"))),
      Button2(benannt(new QPushButton(QStringLiteral("&Abbruch"), this), "Button2",
                      QStringLiteral("Drücken Sie hier, um das Auffrischen der Daten zu beenden"))),
      Memo1(benannt(new QPlainTextEdit(this), "Memo1")),
      OpenDialog1(benannt(new QFileDialog(this), "OpenDialog1")),
      Table1(std::make_unique<dbase::Table>()),
      m_auswahl(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("Update"));
    setWindowTitle(QStringLiteral("Update"));
    widgets::centreOnScreen(this);

    m_auswahl->addButton(Internet, 0);
    m_auswahl->addButton(Aktualisieren, 1);
    Internet->setChecked(true);
    auto* auswahlSpalte = new QVBoxLayout(RadioGroup1);
    auswahlSpalte->addWidget(Internet);
    auswahlSpalte->addWidget(Aktualisieren);

    Button1->setDefault(true);
    Memo1->hide();

    // The table to merge is a dBASE table; a user's copy from Windows may
    // spell its extension in capitals or not.
    OpenDialog1->setOption(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::ExistingFile);
    OpenDialog1->setDefaultSuffix(QStringLiteral("DBF"));
    OpenDialog1->setNameFilters({QStringLiteral("DBF - Dateien (*.DBF *.dbf)"), QStringLiteral("Alle Dateien (*)")});

    auto* datei = new QHBoxLayout;
    datei->addWidget(Label1);
    datei->addWidget(Edit1, 1);
    datei->addWidget(Button3);
    auto* knoepfe = new QHBoxLayout;
    knoepfe->addStretch(1);
    knoepfe->addWidget(Button1);
    knoepfe->addWidget(Button2);
    auto* haupt = new QVBoxLayout(this);
    haupt->addWidget(RadioGroup1);
    haupt->addLayout(datei);
    haupt->addWidget(Memo1);
    haupt->addLayout(knoepfe);
    setMinimumWidth(460);
    haupt->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_auswahl, &QButtonGroup::idClicked, this, &TUpdate::RadioGroup1Click);
    connect(Button3, &QPushButton::clicked, this, &TUpdate::Button3Click);
    connect(Button1, &QPushButton::clicked, this, &TUpdate::Button1Click);
    connect(Button2, &QPushButton::clicked, this, &QDialog::reject);
    RadioGroup1Click();
}

TUpdate::~TUpdate() = default;

void TUpdate::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    Edit1->setFocus();
}

int TUpdate::RadioGroup1ItemIndex() const
{
    return m_auswahl->checkedId();
}

void TUpdate::RadioGroup1Click()
{
    const bool datei = RadioGroup1ItemIndex() != 0;
    Label1->setEnabled(datei);
    Edit1->setEnabled(datei);
    Button3->setEnabled(datei);
}

void TUpdate::Button3Click()
{
    if (OpenDialog1->exec() != QDialog::Accepted || OpenDialog1->selectedFiles().isEmpty())
        return;
    Edit1->setText(QDir::toNativeSeparators(OpenDialog1->selectedFiles().constFirst()));
}

void TUpdate::Button1Click()
{
    if (RadioGroup1ItemIndex() == 0) {
        Shell::oeffnenOderMelden(this, QUrl(Updateadresse()));
        accept();
        return;
    }
    if (Edit1->text().isEmpty()) {
        widgets::MessageBox::information(this, QStringLiteral("Es wurde keine Datendatei angegeben..."));
        return;
    }
    if (datenAktualisieren())
        accept();
}

bool TUpdate::datenAktualisieren()
{
    TDatas& datas = *Datas;
    dbase::Table& namen = *datas.Table1;
    dbase::Table& chemie = *datas.Table2;

    Table1->close();
    Table1->setTableName(Edit1->text());
    Table1->setReadOnly(true);
    update::Updatestand stand;
    bool gelaufen = false;
    try {
        Table1->open();
        // Whatever the list shows (a filter's copies, a research table,
        // chemie.dbf narrowed by the list filter), the update goes into the
        // register itself; the guard puts the list's tables back.
        reports::TabellenWache wache{&namen, &chemie};
        if (!istNamenDbf(namen))
            reports::namenDesRegistersOeffnen(namen);
        namen.setFiltered(false);
        chemie.setFiltered(false);
        update::Datenupdate lauf(*Table1, chemie, namen);
        if (OptWin98) {
            Fortschrittsanzeige anzeige(QStringLiteral("Bitte warten"), QStringLiteral("Daten werden aufgefrischt..."),
                                        static_cast<int>(Table1->recordCount()));
            lauf.satzweise(&Fortschrittsanzeige::schritt);
        } else {
            Warten warten;
            lauf.inEinem(&Warten::namenslisteAnsagen);
        }
        stand = lauf.stand();
        gelaufen = true;
        wache.restore();
    } catch (const std::exception& fehler) {
        if (!gelaufen) {
            // Refused before anything was written: the file, its layout, the
            // register's name table.
            Table1->close();
            widgets::MessageBox::error(this, QStringLiteral("Das Update kann nicht ausgeführt werden:\n\n")
                                                 + widgets::errorText(fehler));
            return false;
        }
        // Merged, but the list's tables could not be put back.
        if (!stand.fehler.isEmpty())
            stand.fehler += u' ';
        stand.fehler += widgets::errorText(fehler).simplified();
    }
    Table1->close();

    const QStringList zeilen = update::berichtszeilen(QDate::currentDate(), stand);
    Memo1->setPlainText(zeilen.join(u'\n'));
    QString gespeichert =
        QStringLiteral("Die Update-Informationen wurden in der Datei %1 abgespeichert.").arg(Berichtsdatei);
    try {
        update::berichtSchreiben(Berichtsdatei, zeilen);
    } catch (const update::UpdateFehler& fehler) {
        gespeichert = widgets::errorText(fehler);
    }
    if (stand.fehler.isEmpty())
        widgets::MessageBox::information(this, gespeichert);
    else
        widgets::MessageBox::error(this, QStringLiteral("Das Update wurde wegen eines Fehlers abgebrochen:\n\n%1\n\n"
                                                        "Es wurden %2 Datensätze aufgefrischt und %3 übernommen; "
                                                        "sie bleiben in der Datenbank.\n\n%4")
                                             .arg(stand.fehler)
                                             .arg(stand.aufgefrischt)
                                             .arg(stand.uebernommen)
                                             .arg(gespeichert));
    // Reads ChemieSatzAnzahl again too.
    if (Marlex)
        Marlex->DatenlisteEinlesen();
    return true;
}
