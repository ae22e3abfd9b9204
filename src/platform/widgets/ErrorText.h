#pragma once

#include <exception>

#include <QString>

namespace widgets {

// What the user reads of an exception. The program's own errors (the
// layers' and subsystems' error types, all derived from std::runtime_error)
// carry a German message for the user and are shown as they are. Whatever
// comes from elsewhere (std::bad_alloc, std::system_error and the other
// errors of the standard library, a plain std::exception) gets a German
// sentence saying what happened, with its own text below as the technical
// detail.
QString errorText(const std::exception& error);

} // namespace widgets
