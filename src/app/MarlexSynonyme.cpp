// The synonym commands of the main window: the related names of the current
// substance, a name added to it, the current name changed or removed. Every
// change goes into namen.dbf and each name table the list shows (a changed
// or removed name into the research tables as well), in all of them or in
// none, and the list is read again.

#include <algorithm>
#include <iterator>

#include <QAction>
#include <QTimer>
#include <QToolButton>

#include "app/Marlex.h"
#include "app/Namenstabellen.h"
#include "app/RegisterAenderung.h"
#include "data/Datas.h"
#include "data/Optionen.h"
#include "dbase/Table.h"
#include "search/StoffZeilen.h"
#include "search/Synoadd.h"
#include "search/Synoaendern.h"
#include "search/Synonyme.h"
#include "widgets/ErrorText.h"
#include "widgets/MessageBox.h"
#include "widgets/NameList.h"

namespace {

// The name row the list's current line stands for.
struct Namenszeile {
    std::uint32_t recNo = 0;
    QString name;
    QString carn;
    QString subcarn;
};

Namenszeile aktuelleZeile(dbase::Table& namen)
{
    return {namen.recNo(), namen.fieldByName("NAME1").asString(), namen.fieldByName("CARN").asString(),
            namen.fieldByName("SUBCARN").asString()};
}

// The row of `tabelle` that stands for `zeile` of the list's table: the row
// itself there, elsewhere the first row of the substance with its name; 0
// when the table has none. `zeilen` are the substance's rows in `tabelle`.
std::uint32_t entsprechendeZeile(const dbase::Table& tabelle, const std::vector<StoffZeile>& zeilen,
                                 const Namenszeile& zeile)
{
    if (&tabelle == Datas->Table1)
        return zeile.recNo;
    for (const StoffZeile& z : zeilen) {
        if (z.text == zeile.name)
            return z.recNo;
    }
    return 0;
}

// Refuses a name the substance cannot take, saying why: an empty one, or
// one of `andereNamen`, the names it has besides the one being changed.
bool nameZulaessig(QWidget* fenster, const QString& name, const std::vector<StoffZeile>& andereNamen)
{
    if (name.trimmed().isEmpty()) {
        widgets::MessageBox::warning(fenster, QStringLiteral("Bitte geben Sie einen Synonymnamen ein."));
        return false;
    }
    for (const StoffZeile& z : andereNamen) {
        if (z.text == name) {
            widgets::MessageBox::warning(fenster,
                                         QStringLiteral("Der Stoff hat schon ein Synonym \"%1\".").arg(name));
            return false;
        }
    }
    return true;
}

// Whether the substance's names in `tabelle` are the ones it has: those of
// the list's table and of namen.dbf are. A research table the list does not
// show may still hold a name since changed in the register, or only one of
// the substance's names.
bool zeigtNamenDesStoffs(const Namenstabellen& tabellen, const dbase::Table* tabelle)
{
    return std::ranges::find(tabellen.alle(), tabelle) != tabellen.alle().end();
}

bool listeHatZeile(const TMarlex& m)
{
    return m.ListBox1->itemIndex() >= 0 && !Datas->Table1->isEmpty();
}

} // namespace

void TMarlex::synonymBefehleVerbinden()
{
    connect(VerwanteSynonymeanzeigen1, &QAction::triggered, this, &TMarlex::VerwanteSynonymeanzeigen1Click);
    connect(Hinzufgen1, &QAction::triggered, this, &TMarlex::Hinzufgen1Click);
    connect(ToolButton53, &QToolButton::clicked, this, &TMarlex::Hinzufgen1Click);
    connect(ndern2, &QAction::triggered, this, &TMarlex::ndern2Click);
    connect(Entfernen1, &QAction::triggered, this, &TMarlex::Entfernen1Click);
    connect(ToolButton52, &QToolButton::clicked, this, &TMarlex::Entfernen1Click);
    // Lines dropped on the button remove the current line's name only, once
    // the drop has ended.
    connect(this, &TMarlex::listenzeilenAbgelegt, this, [this](QObject* ziel) {
        if (ziel == ToolButton52)
            QTimer::singleShot(0, this, &TMarlex::Entfernen1Click);
    });
}

void TMarlex::VerwanteSynonymeanzeigen1Click()
{
    if (!listeHatZeile(*this))
        return;
    TSynonyme dialog(this);
    dialog.exec();
}

void TMarlex::Hinzufgen1Click()
{
    if (OptNurLesemodus || !listeHatZeile(*this))
        return;
    TSynoadd dialog(this);
    dialog.exec();
}

void TMarlex::ndern2Click()
{
    if (OptNurLesemodus || !listeHatZeile(*this))
        return;
    TSynoaendern dialog(this);
    dialog.exec();
}

bool TMarlex::synonymHinzufuegen(const QString& name, const QString& carn, const QString& subcarn)
{
    try {
        {
            const dbase::NotificationHold still(*Datas->Table1);
            const Namenstabellen tabellen;
            // The list may show an extract: the names namen.dbf holds count
            // as well.
            std::vector<StoffZeile> namenDesStoffs;
            for (dbase::Table* t : tabellen.alle())
                std::ranges::copy(ZeilenDesStoffs(*t, carn, subcarn), std::back_inserter(namenDesStoffs));
            if (!nameZulaessig(this, name, namenDesStoffs))
                return false;
            RegisterAendern(this, QStringLiteral("Das Synonym kann nicht hinzugefügt werden."),
                            [&](RegisterAenderung& aenderung) {
                                for (dbase::Table* t : tabellen.alle())
                                    aenderung.anhaengen(*t, [&](dbase::Table& zeile) {
                                        NamenszeileFuellen(zeile, name, carn, subcarn);
                                    });
                            });
        }
        DatenlisteEinlesen();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("Das Synonym kann nicht hinzugefügt werden.\n\n")
                                             + widgets::errorText(fehler));
    }
    return true;
}

bool TMarlex::synonymUmbenennen(const QString& name)
{
    dbase::Table& namen = *Datas->Table1;
    try {
        const Namenszeile zeile = aktuelleZeile(namen);
        if (name == zeile.name)
            return true;
        {
            const dbase::NotificationHold still(namen);
            const Namenstabellen tabellen;
            std::vector<std::pair<dbase::Table*, std::uint32_t>> ziele;
            std::vector<StoffZeile> andereNamen;
            for (dbase::Table* t : tabellen.mitRecherchen()) {
                const std::vector<StoffZeile> zeilen = ZeilenDesStoffs(*t, zeile.carn, zeile.subcarn);
                const std::uint32_t r = entsprechendeZeile(*t, zeilen, zeile);
                if (r)
                    ziele.emplace_back(t, r);
                if (zeigtNamenDesStoffs(tabellen, t))
                    std::ranges::copy_if(zeilen, std::back_inserter(andereNamen),
                                         [r](const StoffZeile& z) { return z.recNo != r; });
            }
            if (!nameZulaessig(this, name, andereNamen))
                return false;
            RegisterAendern(this, QStringLiteral("Das Synonym kann nicht geändert werden."),
                            [&](RegisterAenderung& aenderung) {
                                for (const auto& [t, r] : ziele)
                                    aenderung.aendern(*t, r, [&](dbase::Table& z) { NamenSetzen(z, name); });
                            });
        }
        DatenlisteEinlesen();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("Das Synonym kann nicht geändert werden.\n\n")
                                             + widgets::errorText(fehler));
    }
    return true;
}

void TMarlex::Entfernen1Click()
{
    if (OptNurLesemodus || !listeHatZeile(*this))
        return;
    dbase::Table& namen = *Datas->Table1;
    try {
        const Namenszeile zeile = aktuelleZeile(namen);
        bool geaendert = false;
        {
            const dbase::NotificationHold still(namen);
            const Namenstabellen tabellen;
            // The row in each name table. None the list shows or namen.dbf
            // may lose the substance's last name; a research table the list
            // does not show keeps it, so the research still has the
            // substance it found.
            std::vector<std::pair<dbase::Table*, std::uint32_t>> ziele;
            bool letzte = false;
            for (dbase::Table* t : tabellen.mitRecherchen()) {
                const std::vector<StoffZeile> zeilen = ZeilenDesStoffs(*t, zeile.carn, zeile.subcarn);
                const std::uint32_t r = entsprechendeZeile(*t, zeilen, zeile);
                if (r == 0)
                    continue;
                if (zeilen.size() > 1)
                    ziele.emplace_back(t, r);
                else if (zeigtNamenDesStoffs(tabellen, t))
                    letzte = true;
            }
            if (letzte) {
                widgets::MessageBox::information(
                    this, QStringLiteral("Das letzte Synonym (%1) kann nicht gelöscht werden!").arg(zeile.name));
                return;
            }
            if (widgets::MessageBox::askYesNo(this,
                                              QStringLiteral("Soll %1 aus der Liste entfernt werden?").arg(zeile.name),
                                              widgets::Answer::No, widgets::MessageKind::Warning)
                != widgets::Answer::Yes)
                return;
            RegisterAendern(this, QStringLiteral("Das Synonym kann nicht entfernt werden."),
                            [&](RegisterAenderung& aenderung) {
                                for (const auto& [t, r] : ziele)
                                    aenderung.entfernen(*t, r);
                            });
            geaendert = true;
        }
        if (geaendert)
            DatenlisteEinlesen();
    } catch (const dbase::DbaseError& fehler) {
        widgets::MessageBox::error(this, QStringLiteral("Das Synonym kann nicht entfernt werden.\n\n")
                                             + widgets::errorText(fehler));
    }
}
