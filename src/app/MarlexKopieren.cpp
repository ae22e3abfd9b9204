// Copying the shown substance into a new one and deleting it with its name
// and formula rows. Both change every table they touch or none of them; the
// copy's name row goes into namen.dbf and each name table the list shows,
// a deleted substance's names leave the research tables too.

#include <QAction>
#include <QTimer>
#include <QToolButton>

#include "app/Kopieren.h"
#include "app/Marlex.h"
#include "app/Namenstabellen.h"
#include "app/RegisterAenderung.h"
#include "app/Stoffnummer.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "search/StoffZeilen.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

enum ChemieFeld { CARN = 2, SUBCARN = 3 };
// Copied as numbers, so that an empty value becomes 0.
constexpr const char* zahlenfelder[] = {"MOLMASSE", "SMT", "SDT"};

// Whether chemie.dbf stands on the substance of the list's current line, the
// one the record page shows.
bool stoffGezeigt(const TMarlex& m)
{
    dbase::Table& namen = *Datas->Table1;
    dbase::Table& chemie = *Datas->Table2;
    return m.ListBox1->itemIndex() >= 0 && !namen.isEmpty() && chemie.recNo() != 0
        && chemie.field(CARN).asString() == namen.fieldByName("CARN").asString()
        && chemie.field(SUBCARN).asString() == namen.fieldByName("SUBCARN").asString();
}

} // namespace

void TMarlex::kopierBefehleVerbinden()
{
    connect(Kopie1, &QAction::triggered, this, &TMarlex::Kopie1Click);
    connect(Datensatzkopieren1, &QAction::triggered, this, &TMarlex::Kopie1Click);
    connect(ToolButton42, &QToolButton::clicked, this, &TMarlex::Kopie1Click);
    connect(ToolButton24, &QToolButton::clicked, this, &TMarlex::Kopie1Click);
    connect(Lschen1, &QAction::triggered, this, &TMarlex::Lschen1Click);
    // The dialog opens once the drop has ended, not inside the drag's events.
    connect(this, &TMarlex::listenzeilenAbgelegt, this, [this](QObject* ziel) {
        if (ziel == ToolButton42)
            QTimer::singleShot(0, this, &TMarlex::Kopie1Click);
    });
}

void TMarlex::Kopie1Click()
{
    if (OptNurLesemodus || !stoffGezeigt(*this))
        return;
    TKopieren dialog(this);
    dialog.exec();
}

void TMarlex::stoffKopieren(const QString& name)
{
    dbase::Table& chemie = *Datas->Table2;
    try {
        if (!stoffGezeigt(*this))
            return;
        // No other user appends to chemie.dbf from the choice of the number
        // to the copy's store, so that the number stays free; the copy is
        // made from the substance as stored now.
        const dbase::AppendHold nummerFrei(chemie);
        chemie.refreshRecord();
        // The values of the copy, read before the append moves the cursor.
        const QString carn = chemie.field(CARN).asString();
        QByteArrayList werte;
        for (int i = 0; i < chemie.fieldCount(); ++i)
            werte << chemie.field(i).asBytes();
        std::vector<double> zahlen;
        for (const char* feld : zahlenfelder)
            zahlen.push_back(chemie.fieldByName(feld).asFloat());
        const QString subcarn = FreieSubcarn(chemie, carn, ChemieSatzAnzahl + 1);
        {
            const dbase::NotificationHold stillNamen(*Datas->Table1);
            const dbase::NotificationHold stillChemie(chemie);
            const Namenstabellen tabellen;
            RegisterAendern(this, QStringLiteral("Der Datensatz kann nicht kopiert werden."),
                            [&](RegisterAenderung& aenderung) {
                                for (dbase::Table* t : tabellen.alle())
                                    aenderung.anhaengen(*t, [&](dbase::Table& zeile) {
                                        NamenszeileFuellen(zeile, name, carn, subcarn);
                                    });
                                aenderung.anhaengen(chemie, [&](dbase::Table& stoff) {
                                    for (int i = 0; i < werte.size(); ++i)
                                        stoff.field(i).setAsBytes(werte[i]);
                                    stoff.field(SUBCARN).setAsString(subcarn);
                                    for (std::size_t k = 0; k < zahlen.size(); ++k)
                                        stoff.fieldByName(zahlenfelder[k]).setAsFloat(zahlen[k]);
                                });
                            });
        }
        DatenlisteEinlesen();
    } catch (const dbase::RecordDeletedError& fehler) {
        inzwischenGeloescht(fehler);
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("Der Datensatz kann nicht kopiert werden.\n\n")
                                             + widgets::errorText(fehler));
    }
}

void TMarlex::Lschen1Click()
{
    if (OptNurLesemodus || !stoffGezeigt(*this))
        return;
    dbase::Table& namen = *Datas->Table1;
    dbase::Table& chemie = *Datas->Table2;
    dbase::Table& formeln = *Datas->Table6;
    try {
        const QString name = namen.fieldByName("NAME1").asString();
        if (widgets::MessageBox::askYesNo(
                this, QStringLiteral("Soll der Datensatz zum Synonym '%1' gelöscht werden?").arg(name),
                widgets::Answer::No, widgets::MessageKind::Warning)
            != widgets::Answer::Yes)
            return;
        const QString carn = chemie.field(CARN).asString();
        const QString subcarn = chemie.field(SUBCARN).asString();
        const std::uint32_t stoff = chemie.recNo();
        {
            const dbase::NotificationHold stillNamen(namen);
            const dbase::NotificationHold stillChemie(chemie);
            const dbase::NotificationHold stillFormeln(formeln);
            const Namenstabellen tabellen;
            // Every row to go is known before the first goes.
            std::vector<std::pair<dbase::Table*, std::uint32_t>> zeilen{{&chemie, stoff}};
            std::vector<dbase::Table*> stoffTabellen{&formeln};
            stoffTabellen.insert(stoffTabellen.end(), tabellen.mitRecherchen().begin(),
                                 tabellen.mitRecherchen().end());
            for (dbase::Table* t : stoffTabellen) {
                for (const StoffZeile& z : ZeilenDesStoffs(*t, carn, subcarn))
                    zeilen.emplace_back(t, z.recNo);
            }
            RegisterAendern(this, QStringLiteral("Der Stoff kann nicht gelöscht werden."),
                            [&](RegisterAenderung& aenderung) {
                                for (const auto& [t, r] : zeilen)
                                    aenderung.entfernen(*t, r);
                            });
        }
        DatenlisteEinlesen();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("Der Stoff kann nicht gelöscht werden.\n\n")
                                             + widgets::errorText(fehler));
    }
}
