// The name list and the display of the current substance.

#include <cstdlib>
#include <string>

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QTabWidget>
#include <QToolButton>

#include "app/Datennavigator.h"
#include "app/Marlex.h"
#include "app/NameRules.h"
#include "app/SymbolBild.h"
#include "app/TabellenLeihe.h"
#include "data/Datas.h"
#include "data/ListeEinlesen.h"
#include "data/Optionen.h"
#include "dbase/Filter.h"
#include "graphics/GraphicsError.h"
#include "search/Namentabellen.h"
#include "widgets/DBComboBox.h"
#include "widgets/DBEdit.h"
#include "widgets/DBGrid.h"
#include "widgets/DBImage.h"
#include "widgets/DBRichEdit.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

// Lines the name table steps through row by row to follow the list; a
// longer way is a jump by record number.
constexpr int zeilenschritt = 16;

// Field positions of chemie.dbf the display reads.
enum ChemieFeld {
    GEFSYM1 = 6, GEFSYM2 = 7, GEFSYM3 = 8, CANCER = 12, KREBS = 16, WIRKUNG = 24, UNTERRICHT = 33,
    MEMOTEXT = 37, GEFSYM4 = 42
};

QString fortschrittText(bool gefiltert, bool markieren)
{
    if (gefiltert)
        return markieren ? QStringLiteral("Datenliste wird gefiltert eingelesen und Datensätze werden nach "
                                          "Vorhandensein im Lager überprüft...")
                         : QStringLiteral("Datenliste wird gefiltert eingelesen...");
    return markieren ? QStringLiteral("Datenliste wird neueingelesen und Datensätze werden nach Vorhandensein "
                                      "im Lager überprüft...")
                     : QStringLiteral("Datenliste wird neueingelesen...");
}

} // namespace

void TMarlex::DatenquellenVerbinden()
{
    if (m_datenquellenVerbunden || !Datas)
        return;
    m_datenquellenVerbunden = true;
    for (widgets::DBRichEdit* edit : {DBRichEdit1, DBRichEdit2, DBRichEdit3})
        edit->setDataSource(Datas->DataSource2);
    DBRichEdit4->setDataSource(Datas->DataSource1);
    for (widgets::DBEdit* edit : {DBEdit15, DBEdit18, DBEdit19, DBEdit23, DBEdit24, DBEdit25, DBEdit26, DBEdit46,
                                  DBEdit47, DBEdit48, DBEdit49, DBEdit50, DBEdit51, DBEdit52, DBEdit53, DBEdit54,
                                  DBEdit55})
        edit->setDataSource(Datas->DataSource2);
    for (widgets::DBComboBox* auswahl : auswahlfelder())
        auswahl->setDataSource(Datas->DataSource2);
    DBImage1->setDataSource(Datas->DataSource6);
    DBGrid1->setDataSource(Datas->DataSource3);
    Datas->Table3->setBeforePost(LagerDatumStempeln);
}

void TMarlex::NamenlisteLesen(const std::function<void()>& schritt)
{
    DatenquellenVerbinden();
    dbase::Table& namen = *Datas->Table1;
    dbase::Table* lager = OptLagerMarkieren ? Datas->Table3 : nullptr;

    widgets::NameLines zeilen;
    {
        // The storage grid keeps its order, filter and row; the lookups
        // need the key order, which the storage page replaces by the name
        // order, and the whole of lager.dbf: a substance is in storage when
        // any stock item holds it, whatever the storage filter shows.
        std::optional<TabellenLeihe> lagerLeihe;
        if (lager) {
            lagerLeihe.emplace(*lager);
            lagerLeihe->ohneFilter();
        }
        // The controls bound to the two tables need not follow every row.
        widgets::DataSource::Silence stillNamen(*Datas->DataSource1);
        widgets::DataSource::Silence stillLager(*Datas->DataSource3);
        if (lager && lager->indexName() != QLatin1String("CARN_SUB"))
            lager->setIndexName(QStringLiteral("CARN_SUB"));
        zeilen.reserve(namen.recordCount());
        // In the order of the file, each line put at its place in name
        // order: a register larger than the table's record cache is read
        // once from start to end instead of a jump per name.
        // The names of a substance mostly follow one another in the file:
        // their substance is looked up in storage once.
        std::string schluessel;
        std::string voriger;
        std::uint8_t marke = KeinLagerMarke;
        namen.visitInFileOrder([&](const dbase::RecordView& satz, std::uint32_t recNo, std::size_t stelle) {
            // Name rows: NAME1, STRIPNAME1, CARN, SUBCARN.
            if (lager) {
                schluessel.assign(satz.raw(2)).append(satz.raw(3));
                if (schluessel != voriger) {
                    marke = lager->findKey(satz, {2, 3}) ? LagerMarke : KeinLagerMarke;
                    voriger.swap(schluessel);
                }
            }
            zeilen.place(stelle, satz.text(0), marke, recNo);
            if (schritt)
                schritt();
        });
        zeilen.closeGaps();
    }
    namen.first();
    RecNoList = RecNoListe(zeilen.recNos());
    ListBox1->setLines(std::move(zeilen));
}

void TMarlex::DatenlisteEinlesen()
{
    dbase::Table& namen = *Datas->Table1;
    const QString datei = ListenFilterAktiv == 1 ? filterDatei() : AktuelleNamenDatei;
    const QString index = ListenFilterAktiv == 1 ? filterIndexDatei() : AktuelleIndexDatei;
    if (namen.tableName() != datei) {
        const QString vorherDatei = namen.tableName();
        const QString vorherIndex = namen.indexFiles();
        namen.close();
        namen.setTableName(datei);
        namen.setIndexFiles(index);
        try {
            namen.open();
        } catch (const dbase::DbaseError&) {
            // The list still shows the earlier table's names: keep them
            // reachable and let the caller report why the switch failed.
            namen.setTableName(vorherDatei);
            namen.setIndexFiles(vorherIndex);
            namen.open();
            namen.moveBy(VorherigerListenIndex);
            throw;
        }
    }

    const Fortschrittsanzeige fortschritt(QStringLiteral("Datenliste neu einlesen"),
                                          fortschrittText(ListenFilterAktiv == 1, OptLagerMarkieren),
                                          static_cast<int>(namen.recordCount()));
    NamenlisteLesen(&Fortschrittsanzeige::schritt);

    ChemieSatzAnzahl = static_cast<int>(Datas->Table2->recordCount());
    VorherigerListenIndex = 0;
    AktuellerListenIndex = 0;

    PageControl1->setCurrentWidget(TabSheet1);
    // Its button keeps its state: the record page shows the navigator again.
    if (Datennavigator)
        Datennavigator->hide();
    ListBox1->setFocus();
    ListBox1->setItemIndex(ListBox1->count() > 0 ? 0 : -1);
    AktuellenDatensatzZeigen();
}

void TMarlex::symbolbilderLeeren()
{
    for (SymbolBild* bild : symbolbilder())
        bild->clearPicture();
}

void TMarlex::datensatzBefehleFreigeben(bool enabled)
{
    for (QAction* item : {ndern1, Kopie1, Lschen1, Memo1, Synonym1, Stoffinfo1, Datensatzanzeigen1,
                          Datensatzbearbeiten1, Datensatzkopieren1, Stoffinfoanzeigen1, Stoffinfodrucken1})
        item->setEnabled(enabled);
    for (QToolButton* button : {ToolButton41, ToolButton42, ToolButton52, ToolButton53, ToolButton57, ToolButton58,
                                ToolButton23, ToolButton24, ToolButton39, ToolButton40})
        button->setEnabled(enabled);
}

void TMarlex::BearbeitungFreigeben(bool enabled)
{
    // The list popup's edit and copy items write as their menu items do.
    for (QAction* item : {ndern1, Neueingabe1, Kopie1, Lschen1, Eingabe1, ndern2, Hinzufgen1, Entfernen1, Update1,
                          Datensatzbearbeiten1, Datensatzkopieren1})
        item->setEnabled(enabled);
    for (QToolButton* button : {ToolButton38, ToolButton41, ToolButton42, ToolButton52, ToolButton53, ToolButton22,
                                ToolButton23, ToolButton24})
        button->setEnabled(enabled);
    for (QAction* item : {Neu2, Editieren2, Lschen2, Etikettfestlegen1})
        item->setEnabled(enabled);
    // The storage page's new and delete buttons come back only with its
    // edit mode.
    if (!enabled) {
        ToolButton25->setEnabled(false);
        ToolButton30->setEnabled(false);
    }
    ToolButton31->setEnabled(enabled);
}

void TMarlex::lagerzustandZeigen(const QString& carn, const QString& subcarn)
{
    // Read-only mode takes nothing into storage.
    if (OptLagerMarkieren) {
        const int zeile = ListBox1->itemIndex();
        Menu31->setEnabled(!OptNurLesemodus && (zeile < 0 || ListBox1->marker(zeile) != LagerMarke));
        return;
    }
    const bool imLager = lagerHatStoff(carn, subcarn);
    StatusPanel[3]->setText(imLager ? QStringLiteral("Im Lager") : QStringLiteral("Nicht im Lager"));
    Menu31->setEnabled(!OptNurLesemodus && !imLager);
}

void TMarlex::symbolBilderZeigen()
{
    dbase::Table& chemie = *Datas->Table2;
    const auto text = [&chemie](int position) { return chemie.field(position).asString(); };
    const int farbe = FarbDarstellung != 0 ? 1 : 0;

    const std::array<std::pair<int, SymbolBild*>, 4> gefahr = {
        {{GEFSYM1, Image2}, {GEFSYM2, Image3}, {GEFSYM3, Image4}, {GEFSYM4, Image12}}};
    for (const auto& [feld, bild] : gefahr)
        bild->setPicture(bildZuCode(Bilder.GefahrBilder, GefahrCodes, text(feld), farbe));

    if (SchutzRegelGilt(chemie)) {
        Image5->setPicture(Bilder.SchutzBilder[0][farbe]);
        Image6->setPicture(Bilder.SchutzBilder[1][farbe]);
        Image7->setPicture(Bilder.SchutzBilder[2][farbe]);
    }

    Image8->setPicture(bildZuCode(Bilder.UnterrichtBilder, UnterrichtCodes, text(UNTERRICHT), farbe));
    const QString cancer = text(CANCER);
    Image9->setPicture(cancer.isEmpty() ? bildZuCode(Bilder.KrebsBilder, KrebsCodes, text(KREBS), farbe)
                                        : bildZuCode(Bilder.CancerBilder, CancerCodes, cancer, farbe));
    Image10->setPicture(bildZuCode(Bilder.WirkungBilder, WirkungCodes, text(WIRKUNG), farbe));
}

void TMarlex::keineDatenZeigen()
{
    try {
        DBImage1->setPicture(graphics::Picture::load(symbolDatei(Programmverzeichnis, QLatin1String(KeineDatenStamm),
                                                                 Symbolendung, FarbDarstellung == 1)));
    } catch (const graphics::GraphicsError&) {
        // Without the picture the structure field simply stays empty; the
        // set-up has already said which pictures are missing.
        DBImage1->clearPicture();
    }
    BearbeitungFreigeben(!OptNurLesemodus);
    datensatzBefehleFreigeben(false);
    ToolButton55->setEnabled(false);
    Ansehen1->setEnabled(false);
    PageControl1->setTabVisible(PageControl1->indexOf(TabSheet2), false);
}

void TMarlex::AktuellenDatensatzZeigen()
{
    DatenquellenVerbinden();
    symbolbilderLeeren();
    dbase::Table& namen = *Datas->Table1;
    dbase::Table& chemie = *Datas->Table2;

    const int zeile = ListBox1->itemIndex();
    if (zeile < 0 || namen.isEmpty()) {
        // No line, no row: nothing may act on a record that is not there,
        // and the status bar tells of none.
        keineDatenZeigen();
        Menu31->setEnabled(false);
        StatusPanel[0]->setText(QStringLiteral("0 / %1").arg(ChemieSatzAnzahl));
        StatusPanel[3]->clear();
        return;
    }
    AktuellerListenIndex = zeile;
    // A step of a line or a few is a move; a jump (Home, End, a click far
    // off) goes to the line's record at once instead of through every row
    // between.
    const int abstand = zeile - VorherigerListenIndex;
    const std::uint32_t satz = ListBox1->recNo(zeile);
    if (std::abs(abstand) <= zeilenschritt || satz == 0 || !namen.gotoRecNo(satz))
        namen.moveBy(abstand);
    VorherigerListenIndex = zeile;

    const QString carn = namen.fieldByName("CARN").asString();
    const QString subcarn = namen.fieldByName("SUBCARN").asString();
    QString memoFehler;
    if (chemie.findKey({carn, subcarn})) {
        dbase::Table& formeln = *Datas->Table6;
        if (formeln.findKey({carn})) {
            // The row may be the one already shown while a "no data" picture
            // covers it: show the field afresh.
            DBImage1->setDataField(DBImage1->dataField());
        } else {
            DBImage1->clearPicture();
        }
        lagerzustandZeigen(carn, subcarn);
        for (widgets::DBRichEdit* edit : {DBRichEdit1, DBRichEdit2, DBRichEdit3, DBRichEdit4})
            FormelFormatieren(*edit);
        symbolBilderZeigen();
        datensatzBefehleFreigeben(true);
        BearbeitungFreigeben(!OptNurLesemodus);
        // A damaged memo must not keep the rest of the record from view: it
        // counts as empty, and the user is told once the record is shown.
        bool memo = false;
        try {
            memo = !chemie.field(MEMOTEXT).isNull();
        } catch (const dbase::DbaseError& fehler) {
            memoFehler = widgets::errorText(fehler);
        }
        ToolButton55->setEnabled(memo);
        Ansehen1->setEnabled(memo);
        PageControl1->setTabVisible(PageControl1->indexOf(TabSheet2), true);
    } else {
        keineDatenZeigen();
    }
    StatusPanel[0]->setText(QStringLiteral("%1 / %2").arg(chemie.recNo()).arg(ChemieSatzAnzahl));
    if (!memoFehler.isEmpty())
        widgets::MessageBox::error(
            this, QStringLiteral("Der Memotext dieses Stoffes kann nicht gelesen werden:\n\n") + memoFehler);
}

void TMarlex::ListBox1Click()
{
    try {
        AktuellenDatensatzZeigen();
    } catch (const std::exception& e) {
        widgets::MessageBox::error(this, widgets::errorText(e));
    }
}

void TMarlex::PopupMenu1Popup()
{
    const int zeile = ListBox1->itemIndex();
    // A name may hold "&", which a menu would take for a mnemonic.
    Menu11->setText(zeile < 0 ? QStringLiteral("Akt. Datensatz")
                              : ListBox1->text(zeile).replace(u'&', QStringLiteral("&&")));
}

void TMarlex::DBRichEdit3Exit()
{
    // The second name is often a formula; typing undid its subscripts.
    FormelFormatieren(*DBRichEdit3);
}

void TMarlex::Datensatzanzeigen1Click()
{
    PageControl1->setCurrentWidget(TabSheet2);
    if (Datennavigator && ToolButton2->isChecked())
        Datennavigator->show();
}
