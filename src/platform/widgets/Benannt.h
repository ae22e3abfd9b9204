#pragma once

#include <QLatin1String>
#include <QString>

namespace widgets {

// A component made with the name the other windows and the tests find it
// by, and its tool tip where it has one; for the member lists of dialogs.
template <typename W>
W* benannt(W* widget, const char* name, const QString& hinweis = {})
{
    widget->setObjectName(QLatin1String(name));
    if (!hinweis.isEmpty())
        widget->setToolTip(hinweis);
    return widget;
}

} // namespace widgets
