// The main window's own settings: its place, size and state, the printer
// choice and the storage grid's column widths, read at start and stored
// when the window closes.

#include "app/Marlex.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QScreen>

#include "data/Fensterlage.h"
#include "data/Optionen.h"
#include "ini/IniFile.h"
#include "widgets/DBGrid.h"
#include "widgets/MessageBox.h"

namespace {

const QString SektionLager = QStringLiteral("Lager");

} // namespace

Feldbreiten FeldbreitenLesen(const QString& wert, int spalten)
{
    Feldbreiten gelesen;
    QString rest = wert;
    // Each width is the decimal number before the next point; the text
    // written at closing ends every number with one.
    while (!rest.isEmpty()) {
        const qsizetype punkt = rest.indexOf(u'.');
        bool ok = punkt > 0 && static_cast<int>(gelesen.breiten.size()) < spalten;
        const int breite = ok ? rest.left(punkt).toInt(&ok) : 0;
        if (!ok || breite <= 0 || breite > 10000) {
            gelesen.vollstaendig = false;
            break;
        }
        gelesen.breiten.push_back(breite);
        rest.remove(0, punkt + 1);
    }
    return gelesen;
}

QString FeldbreitenText(const std::vector<int>& breiten)
{
    QString text;
    for (const int breite : breiten)
        text += QString::number(breite) + u'.';
    return text;
}

Qt::WindowStates fensterzustand(int state)
{
    switch (state) {
    case 1: return Qt::WindowMinimized;
    case 2: return Qt::WindowMaximized;
    default: return Qt::WindowNoState;
    }
}

void TMarlex::fensterzustandSetzen()
{
    const QPoint lage(OptXPos, OptYPos);
    const QScreen* bildschirm = QGuiApplication::screenAt(lage);
    const QRect fenster = fensterAufBildschirm(lage, QSize(OptBreite, OptHoehe), QRect(0, 0, 640, 480),
                                               bildschirm ? bildschirm : QGuiApplication::primaryScreen());
    move(fenster.topLeft());
    resize(fenster.size());
    setWindowState(fensterzustand(OptState));
}

void TMarlex::closeEvent(QCloseEvent* event)
{
    if (FormCloseQuery())
        event->accept();
    else
        event->ignore();
}

bool TMarlex::FormCloseQuery()
{
    if (OptAbfrageVorBeenden
        && widgets::MessageBox::askOkCancel(this, QStringLiteral("Marlex beenden?")) != widgets::Answer::Ok)
        return false;
    // One save for all: the settings are stored together or not at all.
    try {
        IniDatei->write(ini::IniChanges()
                            .setInteger(SektionMarlex, QStringLiteral("xpos"), x())
                            .setInteger(SektionMarlex, QStringLiteral("ypos"), y())
                            .setInteger(SektionMarlex, QStringLiteral("breite"), width())
                            .setInteger(SektionMarlex, QStringLiteral("hoehe"), height())
                            .setInteger(SektionMarlex, QStringLiteral("state"), zustandsnummer(windowState()))
                            .setInteger(SektionOptionen, QStringLiteral("AktPrinterIndex"), DruckerIndex)
                            .setString(SektionLager, QStringLiteral("Feldbreiten"),
                                       FeldbreitenText(DBGrid1->columnWidths())));
    } catch (const ini::IniError& fehler) {
        // Settings lost are no reason to keep the user from quitting.
        widgets::MessageBox::warning(this, QStringLiteral("Größe und Lage des Fensters, der Drucker und die "
                                                          "Spaltenbreiten des Lagers konnten nicht gespeichert "
                                                          "werden.\n")
                                               + fehler.message());
    }
    return true;
}
