// The record page's small windows, the data navigator and the supplement to
// the classification, shown and hidden by its check buttons, and the
// blinking of the button of the edit mode that is on.

#include <QTimer>
#include <QToolButton>

#include "app/Datennavigator.h"
#include "app/Einstufung.h"
#include "app/Marlex.h"

namespace {

// The two pictures a blinking button alternates between.
constexpr int bildAendern = 1;
constexpr int bildNeu = 3;
constexpr int bildLagerEdit = 8;
constexpr int bildAendernBlinkt = 30;
constexpr int bildNeuBlinkt = 31;

void umschalten(QWidget* fenster)
{
    if (!fenster)
        return;
    fenster->setVisible(!fenster->isVisible());
}

} // namespace

void TMarlex::hilfsfensterVerbinden()
{
    connect(ToolButton2, &QToolButton::clicked, this, &TMarlex::ToolButton2Click);
    connect(ToolButton6, &QToolButton::clicked, this, &TMarlex::ToolButton6Click);
    connect(Timer1, &QTimer::timeout, this, &TMarlex::Timer1Timer);
}

void TMarlex::ToolButton2Click()
{
    umschalten(Datennavigator);
}

void TMarlex::ToolButton6Click()
{
    umschalten(Einstufung);
}

void TMarlex::Timer1Timer()
{
    if (EditModus == 1) {
        const int bild = buttonImage(ToolButton41) == bildAendern ? bildAendernBlinkt : bildAendern;
        setButtonImage(ToolButton41, bild);
        setButtonImage(ToolButton23, bild);
    } else if (EingabeModus == 1) {
        setButtonImage(ToolButton22, buttonImage(ToolButton22) == bildNeu ? bildNeuBlinkt : bildNeu);
    } else if (LagerEditModus == 1) {
        setButtonImage(ToolButton31, buttonImage(ToolButton31) == bildLagerEdit ? bildAendernBlinkt : bildLagerEdit);
    }
}
