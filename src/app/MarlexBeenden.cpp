// Quitting: from the menu or by the close box, asking first where the
// user would lose something or wants to be asked, and storing the window's
// settings on the way out.

#include <algorithm>

#include <QAction>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QTimer>

#include "app/Marlex.h"
#include "app/RegisterAenderung.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "widgets/DataSource.h"
#include "widgets/MessageBox.h"

namespace {

std::array<dbase::Table*, 7> tabellen()
{
    return {Datas->Table1, Datas->Table2, Datas->Table3, Datas->Table4,
            Datas->Table5, Datas->Table6, Datas->Table7};
}

} // namespace

void TMarlex::beendenVerbinden()
{
    connect(Beenden1, &QAction::triggered, this, &TMarlex::Beenden1Click);
}

bool TMarlex::offeneBearbeitung() const
{
    if (EditModus == 1 || EingabeModus == 1 || LagerEditModus == 1)
        return true;
    if (!Datas)
        return false;
    for (const dbase::Table* t : tabellen()) {
        if (t->active() && (t->cachedUpdates() || t->state() == dbase::TableState::Edit
                            || t->state() == dbase::TableState::Insert))
            return true;
    }
    return false;
}

void TMarlex::bearbeitungVerwerfen()
{
    if (!Datas)
        return;
    for (dbase::Table* t : tabellen()) {
        if (!t->active())
            continue;
        try {
            // Closing the tables would store a changed record: what the user
            // chose to drop must not reach the files.
            if (t->state() == dbase::TableState::Edit || t->state() == dbase::TableState::Insert)
                t->cancel();
            if (t->cachedUpdates()) {
                t->cancelUpdates();
                t->setCachedUpdates(false);
            }
        } catch (const std::exception&) {
            // A table that cannot even drop its changes keeps them unwritten
            // until the program ends; quitting goes on.
        }
    }
}

bool TMarlex::eingabeUngespeichert()
{
    if (!Datas)
        return false;
    try {
        lagerzelleUebernehmen();
        for (widgets::DataSource* quelle :
             {Datas->DataSource1, Datas->DataSource2, Datas->DataSource3, Datas->DataSource6})
            quelle->updateRecord();
    } catch (const dbase::DbaseError&) {
        return true; // typed, though it does not fit its field
    }
    const std::array<dbase::Table*, 3> neuerStoff = {Datas->Table1, Datas->Table2, Datas->Table6};
    for (dbase::Table* t : tabellen()) {
        if (!t->active())
            continue;
        // A new substance's rows hold what the program put in them at the
        // start of the input; only what differs from that was typed.
        const auto zeile = std::find(neuerStoff.begin(), neuerStoff.end(), t);
        if (EingabeModus == 1 && zeile != neuerStoff.end()) {
            if (Zeilenwerte(*t) != m_eingabeAnfang[static_cast<std::size_t>(zeile - neuerStoff.begin())])
                return true;
            continue;
        }
        if (t->cachedUpdates() || t->state() == dbase::TableState::Insert)
            return true;
        if (t->state() == dbase::TableState::Edit) {
            const dbase::RecordView vorher = t->storedRecord();
            const dbase::RecordView jetzt = t->currentRecord();
            for (int i = 0; i < t->fieldCount(); ++i)
                if (jetzt.raw(i) != vorher.raw(i))
                    return true;
        }
    }
    return false;
}

bool TMarlex::beendenBestaetigen()
{
    // An edit mode with nothing typed loses nothing: quitting then asks
    // only as the option says.
    const bool bearbeitung = offeneBearbeitung();
    if (bearbeitung && eingabeUngespeichert()) {
        if (widgets::MessageBox::askYesNo(this,
                                          QStringLiteral("Ein Datensatz wird gerade bearbeitet. Was noch nicht "
                                                         "gespeichert ist, geht beim Beenden verloren.\n\n"
                                                         "Marlex trotzdem beenden?"),
                                          widgets::Answer::No, widgets::MessageKind::Warning)
            != widgets::Answer::Yes)
            return false;
    } else if (OptAbfrageVorBeenden
               && widgets::MessageBox::askOkCancel(this, QStringLiteral("Marlex beenden?")) != widgets::Answer::Ok) {
        return false;
    }
    if (bearbeitung)
        bearbeitungVerwerfen();
    fenstereinstellungenSpeichern();
    return true;
}

bool TMarlex::FormCloseQuery()
{
    return beendenBestaetigen();
}

void TMarlex::Beenden1Click()
{
    if (!beendenBestaetigen())
        return;
    m_beendenBestaetigt = true;
    close();
    m_beendenBestaetigt = false;
}

void TMarlex::closeEvent(QCloseEvent* event)
{
    if (!m_beendenBestaetigt && !FormCloseQuery()) {
        event->ignore();
        return;
    }
    event->accept();
    // The main window's end is the program's, whatever other window is
    // still open.
    QCoreApplication::quit();
}
