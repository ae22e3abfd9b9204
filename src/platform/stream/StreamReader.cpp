#include "stream/StreamReader.h"

#include <bit>
#include <cstring>

#include <QFile>
#include <QIODevice>

#include "codepage/CodePage.h"
#include "stream/Extended.h"
#include "stream/StreamError.h"

namespace stream {

namespace {

constexpr char kSignature[] = {'T', 'P', 'F', '0'};
constexpr std::uint8_t kFlagsMarker = 0xF0;
constexpr std::uint8_t kResourceMarker = 0xFF;
constexpr std::uint16_t kResourceTypeRcData = 10;

QString tooLargeMessage(const QString& fileName)
{
    return QStringLiteral("Die Layoutdatei „%1“ ist zu groß für eine Layoutdatei.").arg(fileName);
}

// Walks one record of the buffer. Every read checks the bytes that are left
// first, so no length in the data can make it read or allocate past the end.
class Parser {
public:
    // Positions in messages are offset by base, where the data began in the file.
    Parser(const QByteArray& data, qint64 position, qint64 base, const ClassRegistry& classes,
           const QString& fileName)
        : m_data(data), m_position(position), m_base(base), m_classes(classes), m_fileName(fileName) {}

    qint64 position() const { return m_position; }

    Object record()
    {
        if (peek() == kResourceMarker)
            resourceHeader();
        const qint64 signatureAt = m_position;
        if (remaining() < 4 || std::memcmp(m_data.constData() + m_position, kSignature, 4) != 0) {
            fail(signatureAt, isTextForm() ? QStringLiteral("sie ist in Textform gespeichert, gelesen wird die Binärform")
                                           : QStringLiteral("die Kennung „TPF0“ fehlt"));
        }
        m_position += 4;
        return object(0);
    }

private:
    [[noreturn]] void fail(qint64 at, const QString& detail) const
    {
        throw StreamError(QStringLiteral("Die Layoutdatei „%1“ ist beschädigt (Position %2): %3.")
                              .arg(m_fileName, QString::number(m_base + at), detail)
                              .toStdString());
    }

    qint64 remaining() const { return m_data.size() - m_position; }

    // The designer can also save a layout as text ("object Name: TClass").
    bool isTextForm() const
    {
        const QByteArray start = m_data.mid(m_position, 16).trimmed();
        for (const char* keyword : {"object ", "inherited ", "inline "}) {
            if (start.startsWith(keyword))
                return true;
        }
        return false;
    }

    void need(qint64 count)
    {
        if (count > remaining())
            fail(m_position, QStringLiteral("die Daten enden vorzeitig"));
    }

    // Called for every object and value: bounds the nesting (the stack) and
    // the number of entries (the memory a small file can claim).
    void enter(int depth)
    {
        if (depth > StreamReader::kMaxDepth)
            fail(m_position, QStringLiteral("die Daten sind zu tief verschachtelt"));
        if (++m_entries > StreamReader::kMaxEntries)
            fail(m_position, QStringLiteral("die Daten enthalten zu viele Einträge"));
    }

    std::uint8_t peek()
    {
        need(1);
        return static_cast<std::uint8_t>(m_data[m_position]);
    }

    std::uint64_t littleEndian(int size)
    {
        need(size);
        std::uint64_t value = 0;
        for (int i = size - 1; i >= 0; --i)
            value = (value << 8) | static_cast<std::uint8_t>(m_data[m_position + i]);
        m_position += size;
        return value;
    }

    std::uint8_t u8() { return static_cast<std::uint8_t>(littleEndian(1)); }
    std::uint16_t u16() { return static_cast<std::uint16_t>(littleEndian(2)); }
    std::uint32_t u32() { return static_cast<std::uint32_t>(littleEndian(4)); }
    std::uint64_t u64() { return littleEndian(8); }

    QByteArray bytes(qint64 count, qint64 lengthAt)
    {
        if (count > remaining())
            fail(lengthAt, QStringLiteral("die Längenangabe %1 reicht über das Ende der Daten hinaus").arg(count));
        QByteArray result = m_data.mid(m_position, count);
        m_position += count;
        return result;
    }

    QByteArray shortBytes()
    {
        const qint64 at = m_position;
        return bytes(u8(), at);
    }

    QByteArray longBytes()
    {
        const qint64 at = m_position;
        return bytes(u32(), at);
    }

    QString shortString() { return codepage::CodePage::windows1252().decode(shortBytes()); }

    // Resource wrapper: FF, type 0A 00 (RCDATA), the name as a zero-ended
    // string or FF + ordinal, a flags word, the data size.
    void resourceHeader()
    {
        const qint64 start = m_position;
        ++m_position;
        if (u16() != kResourceTypeRcData)
            fail(start, QStringLiteral("ungültiger Ressourcenkopf"));
        if (peek() == kResourceMarker) {
            m_position += 1;
            u16();
        } else {
            const qint64 end = m_data.indexOf('\0', m_position);
            if (end < 0)
                fail(start, QStringLiteral("ungültiger Ressourcenkopf"));
            m_position = end + 1;
        }
        u16(); // memory flags
        const qint64 sizeAt = m_position;
        const std::uint32_t size = u32();
        if (size > remaining())
            fail(sizeAt, QStringLiteral("die Längenangabe %1 reicht über das Ende der Daten hinaus").arg(size));
    }

    Object object(int depth)
    {
        enter(depth);
        Object result;
        if ((peek() & 0xF0) == kFlagsMarker) {
            result.flags = u8() & 0x0F;
            if (result.flags & ChildPos) {
                const qint64 at = m_position;
                const auto position = value(depth + 1).toInteger();
                if (!position)
                    fail(at, QStringLiteral("die Position in der Besitzerliste ist keine ganze Zahl"));
                result.childPosition = position;
            }
        }
        const qint64 classAt = m_position;
        result.className = shortString();
        if (result.className.isEmpty())
            fail(classAt, QStringLiteral("der Klassenname fehlt"));
        if (!m_classes.contains(result.className)) {
            throw StreamError(QStringLiteral("Die Layoutdatei „%1“ nennt die Klasse „%2“, die nicht "
                                             "registriert ist (Klasse nicht gefunden).")
                                  .arg(m_fileName, result.className)
                                  .toStdString());
        }
        result.name = shortString();
        properties(result, depth);
        while (peek() != 0)
            result.children.push_back(object(depth + 1));
        ++m_position;
        return result;
    }

    void properties(PropertyList& list, int depth)
    {
        for (QString name = shortString(); !name.isEmpty(); name = shortString())
            list.append(name, value(depth + 1));
    }

    Value value(int depth)
    {
        enter(depth);
        const qint64 typeAt = m_position;
        const std::uint8_t type = u8();
        switch (static_cast<ValueType>(type)) {
        case ValueType::List: {
            Value::List items;
            while (peek() != 0)
                items.push_back(value(depth + 1));
            ++m_position;
            return Value::list(std::move(items));
        }
        case ValueType::Int8: return Value::integer(static_cast<std::int8_t>(u8()));
        case ValueType::Int16: return Value::integer(static_cast<std::int16_t>(u16()));
        case ValueType::Int32: return Value::integer(static_cast<std::int32_t>(u32()));
        case ValueType::Int64: return Value::integer(static_cast<std::int64_t>(u64()));
        case ValueType::Extended: {
            need(10);
            ExtendedBytes raw;
            std::memcpy(raw.data(), m_data.constData() + m_position, raw.size());
            m_position += 10;
            return Value::extended(raw);
        }
        case ValueType::Single: return Value::single(std::bit_cast<float>(u32()));
        case ValueType::Currency: return Value::currency(static_cast<std::int64_t>(u64()));
        case ValueType::Date: return Value::date(std::bit_cast<double>(u64()));
        case ValueType::String: return Value::ansiString(shortBytes());
        case ValueType::LString: return Value::ansiString(longBytes());
        case ValueType::WString: return Value::wideString(wideString());
        case ValueType::Utf8String: return Value::utf8String(QString::fromUtf8(longBytes()));
        case ValueType::Ident: return Value::identifier(shortString());
        case ValueType::False: return Value::boolean(false);
        case ValueType::True: return Value::boolean(true);
        case ValueType::Nil: return Value::nil();
        case ValueType::Binary: return Value::binary(longBytes());
        case ValueType::Set: {
            QStringList members;
            for (QString member = shortString(); !member.isEmpty(); member = shortString()) {
                enter(depth + 1);
                members.append(member);
            }
            return Value::set(members);
        }
        case ValueType::Collection: return Value::collection(collection(depth));
        case ValueType::Null:
            break;
        }
        fail(typeAt, QStringLiteral("unbekannter Werttyp %1").arg(type));
    }

    QString wideString()
    {
        const qint64 at = m_position;
        const std::uint32_t count = u32();
        const QByteArray raw = bytes(qint64{count} * 2, at);
        QString text(count, Qt::Uninitialized);
        for (std::uint32_t i = 0; i < count; ++i) {
            const auto low = static_cast<std::uint8_t>(raw[2 * i]);
            const auto high = static_cast<std::uint8_t>(raw[2 * i + 1]);
            text[i] = QChar(static_cast<char16_t>(low | (high << 8)));
        }
        return text;
    }

    // Items until a zero byte; each item an optional integer index, then a
    // list of properties.
    Value::Collection collection(int depth)
    {
        Value::Collection items;
        while (peek() != 0) {
            CollectionItem item;
            const auto type = static_cast<ValueType>(peek());
            if (type == ValueType::Int8 || type == ValueType::Int16 || type == ValueType::Int32)
                item.index = value(depth + 1).toInteger();
            const qint64 listAt = m_position;
            if (u8() != static_cast<std::uint8_t>(ValueType::List))
                fail(listAt, QStringLiteral("ein Element einer Sammlung beginnt nicht mit einer Liste"));
            properties(item, depth + 1);
            items.push_back(std::move(item));
        }
        ++m_position;
        return items;
    }

    const QByteArray& m_data;
    qint64 m_position;
    qint64 m_base;
    qint64 m_entries = 0;
    const ClassRegistry& m_classes;
    const QString& m_fileName;
};

} // namespace

StreamReader::StreamReader(QIODevice& device, const ClassRegistry& classes, const QString& fileName)
    : m_device(&device), m_classes(classes), m_fileName(fileName)
{
    if (!device.isReadable()) {
        throw StreamError(
            QStringLiteral("Die Layoutdatei „%1“ kann nicht gelesen werden.").arg(fileName).toStdString());
    }
    m_deviceStart = device.isSequential() ? 0 : device.pos();
    if (!device.isSequential() && device.size() - device.pos() > kMaxSize)
        throw StreamError(tooLargeMessage(fileName).toStdString());
    // In chunks: a pipe has no size to check first.
    constexpr qint64 kChunk = 64 * 1024;
    for (QByteArray chunk = device.read(kChunk); !chunk.isEmpty(); chunk = device.read(kChunk)) {
        m_data += chunk;
        if (m_data.size() > kMaxSize)
            throw StreamError(tooLargeMessage(fileName).toStdString());
    }
}

StreamReader::StreamReader(const QByteArray& data, const ClassRegistry& classes, const QString& fileName)
    : m_data(data), m_classes(classes), m_fileName(fileName)
{
    if (m_data.size() > kMaxSize)
        throw StreamError(tooLargeMessage(fileName).toStdString());
}

std::vector<Object> StreamReader::readFile(const QString& path, const ClassRegistry& classes)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        throw StreamError(QStringLiteral("Die Layoutdatei „%1“ kann nicht geöffnet werden: %2")
                              .arg(path, file.errorString())
                              .toStdString());
    }
    StreamReader reader(file, classes, path);
    return reader.readAllRecords();
}

Object StreamReader::readRecord()
{
    Parser parser(m_data, m_position, m_deviceStart, m_classes, m_fileName);
    Object record = parser.record();
    m_position = parser.position();
    if (m_device && !m_device->isSequential())
        m_device->seek(m_deviceStart + m_position);
    return record;
}

std::vector<Object> StreamReader::readAllRecords()
{
    std::vector<Object> records;
    while (!atEnd())
        records.push_back(readRecord());
    return records;
}

} // namespace stream
