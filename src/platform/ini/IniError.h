#pragma once

#include <stdexcept>

#include <QString>

namespace ini {

// A settings file that cannot be written, or a value it cannot hold. The
// message is German, names the file, and is meant for the user.
class IniError : public std::runtime_error {
public:
    explicit IniError(const QString& message)
        : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString& message() const { return m_message; }

private:
    QString m_message;
};

} // namespace ini
