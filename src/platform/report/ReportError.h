#pragma once

#include <stdexcept>

#include <QString>

namespace report {

// The one exception type of the report layer. The message is German text for
// the user and names the file or printer concerned where there is one.
class ReportError : public std::runtime_error {
public:
    explicit ReportError(const QString& message)
        : std::runtime_error(message.toStdString())
    {
    }

    QString message() const { return QString::fromStdString(what()); }
};

} // namespace report
