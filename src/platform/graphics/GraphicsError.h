#pragma once

#include <stdexcept>

#include <QString>

namespace graphics {

// The one exception type of the graphics layer. The message is German text
// for the user and names the picture file (or the data's origin) concerned.
class GraphicsError : public std::runtime_error {
public:
    explicit GraphicsError(const QString& message) : std::runtime_error(message.toStdString()) {}
    QString message() const { return QString::fromUtf8(what()); }
};

} // namespace graphics
