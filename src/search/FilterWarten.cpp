#include "search/FilterWarten.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QWindow>

TFilterWarten* FilterWarten = nullptr;

TFilterWarten::TFilterWarten(QWidget* parent)
    : Wartefenster(parent, u"FilterWarten"_qs, u"Bitte warten..."_qs, "StaticText1",
                   u"Filter wird vorbereitet. Bitte warten..."_qs),
      StaticText1(textfeld())
{
}

TFilterWarten::~TFilterWarten() = default;

void TFilterWarten::zeigen()
{
    show();
    raise();
    constexpr int hoechstensMs = 200;
    QElapsedTimer uhr;
    uhr.start();
    while (!(windowHandle() && windowHandle()->isExposed()) && uhr.elapsed() < hoechstensMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    repaint();
}
