#pragma once

#include <stdexcept>
#include <string>

#include <QString>

namespace demo {

// The one error of the demo generator: a message a person can act on, naming
// the file (and line) concerned.
class DemoError : public std::runtime_error {
public:
    explicit DemoError(const QString& message) : std::runtime_error(message.toStdString()) {}
};

} // namespace demo
