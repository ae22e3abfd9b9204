#pragma once

#include <QByteArray>
#include <QString>

// Windows-1252, the code page of the text in metafiles written on German
// Windows.
namespace graphics::cp1252 {

// Every byte decodes; the five bytes the code page leaves undefined become
// the C1 control of the same value, as Windows maps them.
QString decode(const char* bytes, qsizetype length);

// Characters without a byte in the code page become "?", as Windows' own
// conversion does when it writes text into a metafile.
QByteArray encode(const QString& text);

} // namespace graphics::cp1252
