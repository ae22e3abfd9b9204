#pragma once

#include "widgets/Benannt.h"
#include <initializer_list>

#include <QHBoxLayout>
#include <QPushButton>
#include <QString>

// What the program's small modal dialogs share in their making.

using widgets::benannt;

// A dialog's frame: a title and a close box, no help button.
inline constexpr Qt::WindowFlags Dialograhmen =
    Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// The row of buttons at the dialog's foot, to the right; the first is the
// default button, the others are not pressed by Enter.
inline QHBoxLayout* Knopfreihe(std::initializer_list<QPushButton*> knoepfe)
{
    auto* reihe = new QHBoxLayout;
    reihe->addStretch();
    bool erster = true;
    for (QPushButton* knopf : knoepfe) {
        knopf->setDefault(erster);
        knopf->setAutoDefault(erster);
        erster = false;
        reihe->addWidget(knopf);
    }
    return reihe;
}
