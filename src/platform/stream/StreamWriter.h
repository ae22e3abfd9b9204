#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

#include "stream/Object.h"

class QIODevice;

namespace stream {

// Writes objects in the binary component stream form, one "TPF0" record per
// object, the way the component library's writer does: integers in the
// smallest of 8, 16 and 32 bits (64 only when needed), strings as short
// strings up to 255 bytes and long strings above, text that Windows-1252
// cannot hold as wide strings. The program itself never writes layouts; tests
// and the demo data generator do.
//
// The filer flags come from Object::flags; ChildPos is set exactly when the
// object has a child position.
class StreamWriter {
public:
    StreamWriter(QIODevice& device, const QString& fileName);

    void writeRecord(const Object& object);

    // One record as bytes.
    static QByteArray toBytes(const Object& object);
    // Records one after the other; the file is replaced only when everything
    // was written.
    static void writeFile(const QString& path, const std::vector<Object>& records);

private:
    QIODevice& m_device;
    QString m_fileName;
};

} // namespace stream
