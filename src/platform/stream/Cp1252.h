#pragma once

#include <optional>

#include <QByteArray>
#include <QString>

namespace stream {

// Windows-1252, the ANSI code page of German Windows, in which the component
// stream stores its short and long strings and its names.
namespace cp1252 {

// Every byte decodes; the five bytes that Windows-1252 leaves undefined
// become the C1 control of the same value, as Windows itself maps them.
QString decode(const QByteArray& bytes);

// nullopt when a character has no byte in the code page.
std::optional<QByteArray> encode(const QString& text);

} // namespace cp1252
} // namespace stream
