#pragma once

#include <vector>

#include <QByteArray>
#include <QString>

#include "stream/ClassRegistry.h"
#include "stream/Object.h"

class QIODevice;

namespace stream {

// Reads the binary component stream: records that each open with "TPF0"
// (optionally inside a resource header) and hold one component with its
// properties and the components it owns. Several records may follow one
// another, as in the sheet and report layouts.
//
// Everything the stream holds is read into the tree, known or not, so that
// unknown properties never stop a load; only an unregistered class, a damaged
// or truncated stream, or absurd nesting is an error (StreamError naming the
// file and the byte position). A record is returned whole or not at all.
class StreamReader {
public:
    // Files larger than this are not layouts; refusing them keeps a wrong
    // file from filling the memory.
    static constexpr qint64 kMaxSize = 256 * 1024 * 1024;
    // Components and values nested deeper than this are refused.
    static constexpr int kMaxDepth = 64;
    // Objects, properties, values and set members in one record; a real
    // layout holds a few ten thousand.
    static constexpr qint64 kMaxEntries = 1'000'000;

    // Reads the device from its current position to its end. Positions in
    // messages count from that start. After each record the device (when it
    // can seek) stands just behind it.
    StreamReader(QIODevice& device, const ClassRegistry& classes, const QString& fileName);
    StreamReader(const QByteArray& data, const ClassRegistry& classes, const QString& fileName);

    // The records of a whole file, all or none.
    static std::vector<Object> readFile(const QString& path, const ClassRegistry& classes);

    bool atEnd() const { return m_position >= m_data.size(); }
    qint64 position() const { return m_position; }

    Object readRecord();
    // The remaining records, all or none.
    std::vector<Object> readAllRecords();

private:
    QIODevice* m_device = nullptr;
    qint64 m_deviceStart = 0;
    QByteArray m_data;
    qint64 m_position = 0;
    ClassRegistry m_classes;
    QString m_fileName;
};

} // namespace stream
