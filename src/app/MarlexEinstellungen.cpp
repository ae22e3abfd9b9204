// The main window's own settings: its place, size and state, the printer
// choice and the storage grid's column widths, read at start and stored
// when the program ends.

#include "app/Marlex.h"

#include <QGuiApplication>
#include <QScreen>
#include <QTimer>
#include <QWindow>

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

QString EigeneFeldbreitenText(const std::vector<bool>& eigene)
{
    QString text;
    for (const bool eigen : eigene)
        text += eigen ? u'1' : u'0';
    return text;
}

std::vector<int> EigeneFeldbreiten(const std::vector<int>& breiten, const QString& eigene)
{
    if (eigene.isEmpty())
        return breiten;
    std::vector<int> gelten;
    for (std::size_t i = 0; i < breiten.size(); ++i)
        gelten.push_back(static_cast<qsizetype>(i) < eigene.size() && eigene[static_cast<qsizetype>(i)] == u'1'
                             ? breiten[i]
                             : -1);
    return gelten;
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
    m_aeussereLage = fensterAufBildschirm(lage, QSize(OptBreite, OptHoehe), QRect(0, 0, 640, 480),
                                          bildschirm ? bildschirm : QGuiApplication::primaryScreen());
    move(m_aeussereLage->topLeft());
    resize(m_aeussereLage->size());
    // Where the platform knows the frame before the window is shown, the
    // bounds are right from the first paint.
    create();
    aeussereLageAnwenden();
    setWindowState(fensterzustand(OptState));
}

void TMarlex::aeussereLageAnwenden()
{
    if (!m_aeussereLage || windowState() != Qt::WindowNoState)
        return;
    const QWindow* fenster = windowHandle();
    const QMargins rahmen = fenster ? fenster->frameMargins() : QMargins();
    if (rahmen.isNull())
        return;
    // The stored width and height are the window's outer ones, frame and
    // title bar included, as they are written at closing; taken as the
    // inner size the window would grow by its frame at every start.
    resize(m_aeussereLage->size().shrunkBy(rahmen));
    move(m_aeussereLage->topLeft());
    m_aeussereLage.reset();
}

void TMarlex::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    aeussereLageAnwenden();
    // Some desktops tell the frame only once the window is on the screen.
    if (m_aeussereLage)
        QTimer::singleShot(0, this, &TMarlex::aeussereLageAnwenden);
}

void TMarlex::fenstereinstellungenSpeichern()
{
    // The outer bounds, as the window was placed from them at start (of the
    // maximised window while it is maximised).
    const QRect lage = frameGeometry();
    // One save for all: the settings are stored together or not at all.
    try {
        IniDatei->write(ini::IniChanges()
                            .setInteger(SektionMarlex, QStringLiteral("xpos"), lage.x())
                            .setInteger(SektionMarlex, QStringLiteral("ypos"), lage.y())
                            .setInteger(SektionMarlex, QStringLiteral("breite"), lage.width())
                            .setInteger(SektionMarlex, QStringLiteral("hoehe"), lage.height())
                            .setInteger(SektionMarlex, QStringLiteral("state"), zustandsnummer(windowState()))
                            .setInteger(SektionOptionen, QStringLiteral("AktPrinterIndex"), DruckerIndex)
                            .setString(SektionLager, QStringLiteral("Feldbreiten"),
                                       FeldbreitenText(DBGrid1->columnWidths()))
                            .setString(SektionLager, QStringLiteral("EigeneFeldbreiten"),
                                       EigeneFeldbreitenText(DBGrid1->ownColumnWidths())));
    } catch (const ini::IniError& fehler) {
        // Settings lost are no reason to keep the user from quitting.
        widgets::MessageBox::warning(this, QStringLiteral("Größe und Lage des Fensters, der Drucker und die "
                                                          "Spaltenbreiten des Lagers konnten nicht gespeichert "
                                                          "werden.\n")
                                               + fehler.message());
    }
}
