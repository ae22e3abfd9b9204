#pragma once

#include <QString>

namespace widgets {

// The pictures of tool buttons and menus come from one freedesktop icon
// theme, so they look alike on every desktop and say the same thing
// everywhere. The program ships the theme as one resource file beside the
// program file; where that file is missing, the copy installed on the system
// is used.
inline constexpr const char* IconThemeName = "breeze";
inline constexpr const char* IconThemeFile = "breeze-icons.rcc";

// Makes the theme the application's icon theme, once per process; later
// calls only tell whether it is available. False when neither the shipped
// nor an installed copy of the theme was found: QIcon::fromTheme() then
// gives null icons.
bool installIconTheme(const QString& programDirectory);

} // namespace widgets
