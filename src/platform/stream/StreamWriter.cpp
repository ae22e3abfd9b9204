#include "stream/StreamWriter.h"

#include <bit>
#include <limits>

#include <QIODevice>
#include <QSaveFile>

#include "codepage/CodePage.h"
#include "stream/Extended.h"
#include "stream/StreamError.h"

namespace stream {

namespace {

constexpr std::uint8_t kFlagsMarker = 0xF0;
constexpr qsizetype kMaxShortString = 255;

// Builds one record in memory; what the stream form cannot hold is an error
// naming the file, never a silently different stream.
class Encoder {
public:
    explicit Encoder(const QString& fileName) : m_fileName(fileName) {}

    QByteArray record(const Object& object)
    {
        m_out.append("TPF0", 4);
        this->object(object);
        return m_out;
    }

private:
    [[noreturn]] void fail(const QString& detail) const
    {
        const QString message = m_fileName.isEmpty()
            ? QStringLiteral("Das Layout kann nicht geschrieben werden: %1.").arg(detail)
            : QStringLiteral("Die Layoutdatei „%1“ kann nicht geschrieben werden: %2.").arg(m_fileName, detail);
        throw StreamError(message.toStdString());
    }

    void type(ValueType type) { m_out.append(static_cast<char>(type)); }

    void littleEndian(std::uint64_t value, int size)
    {
        for (int i = 0; i < size; ++i)
            m_out.append(static_cast<char>(value >> (8 * i)));
    }

    void shortString(const QString& text, const QString& what)
    {
        const auto exact = codepage::CodePage::windows1252().encodeExactly(text);
        if (!exact)
            fail(QStringLiteral("%1 „%2“ enthält Zeichen außerhalb von Windows-1252").arg(what, text));
        const QByteArray bytes = QByteArray::fromStdString(*exact);
        if (bytes.size() > kMaxShortString)
            fail(QStringLiteral("%1 „%2“ ist länger als 255 Zeichen").arg(what, text));
        m_out.append(static_cast<char>(bytes.size()));
        m_out.append(bytes);
    }

    // Names and set members end their lists when empty, so an empty one
    // cannot be written.
    void nonEmptyShortString(const QString& text, const QString& what)
    {
        if (text.isEmpty())
            fail(QStringLiteral("%1 ist leer").arg(what));
        shortString(text, what);
    }

    void longBytes(const QByteArray& bytes)
    {
        if (static_cast<quint64>(bytes.size()) > std::numeric_limits<std::uint32_t>::max())
            fail(QStringLiteral("ein Wert ist länger als 4 GB"));
        littleEndian(static_cast<std::uint64_t>(bytes.size()), 4);
        m_out.append(bytes);
    }

    void object(const Object& object)
    {
        std::uint8_t flags = object.flags & (Inherited | Inline);
        if (object.childPosition)
            flags |= ChildPos;
        if (flags != 0) {
            m_out.append(static_cast<char>(kFlagsMarker | flags));
            if (object.childPosition)
                integer(*object.childPosition);
        }
        nonEmptyShortString(object.className, QStringLiteral("Der Klassenname"));
        shortString(object.name, QStringLiteral("Der Komponentenname"));
        properties(object);
        for (const Object& child : object.children)
            this->object(child);
        m_out.append('\0');
    }

    void properties(const PropertyList& list)
    {
        for (const Property& property : list.properties()) {
            nonEmptyShortString(property.name, QStringLiteral("Der Eigenschaftsname"));
            value(property.value);
        }
        m_out.append('\0');
    }

    void integer(std::int64_t value)
    {
        if (value >= std::numeric_limits<std::int8_t>::min() && value <= std::numeric_limits<std::int8_t>::max()) {
            type(ValueType::Int8);
            littleEndian(static_cast<std::uint64_t>(value), 1);
        } else if (value >= std::numeric_limits<std::int16_t>::min() && value <= std::numeric_limits<std::int16_t>::max()) {
            type(ValueType::Int16);
            littleEndian(static_cast<std::uint64_t>(value), 2);
        } else if (value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max()) {
            type(ValueType::Int32);
            littleEndian(static_cast<std::uint64_t>(value), 4);
        } else {
            type(ValueType::Int64);
            littleEndian(static_cast<std::uint64_t>(value), 8);
        }
    }

    void wideString(const QString& text)
    {
        type(ValueType::WString);
        littleEndian(static_cast<std::uint64_t>(text.size()), 4);
        for (QChar unit : text)
            littleEndian(unit.unicode(), 2);
    }

    void ansiString(const Value& value)
    {
        const auto bytes = value.ansiBytes();
        if (!bytes) {
            wideString(*value.toText());
        } else if (bytes->size() <= kMaxShortString) {
            type(ValueType::String);
            m_out.append(static_cast<char>(bytes->size()));
            m_out.append(*bytes);
        } else {
            type(ValueType::LString);
            longBytes(*bytes);
        }
    }

    void value(const Value& value)
    {
        switch (value.kind()) {
        case Value::Kind::Nil:
            type(ValueType::Nil);
            break;
        case Value::Kind::Integer:
            integer(*value.toInteger());
            break;
        case Value::Kind::Extended: {
            type(ValueType::Extended);
            const ExtendedBytes bytes = *value.extendedBytes();
            m_out.append(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size()));
            break;
        }
        case Value::Kind::Single:
            type(ValueType::Single);
            littleEndian(std::bit_cast<std::uint32_t>(*value.toSingle()), 4);
            break;
        case Value::Kind::Currency:
            type(ValueType::Currency);
            littleEndian(static_cast<std::uint64_t>(*value.currencyScaled()), 8);
            break;
        case Value::Kind::Date:
            type(ValueType::Date);
            littleEndian(std::bit_cast<std::uint64_t>(*value.toNumber()), 8);
            break;
        case Value::Kind::String:
            ansiString(value);
            break;
        case Value::Kind::WideString:
            wideString(*value.toText());
            break;
        case Value::Kind::Utf8String:
            type(ValueType::Utf8String);
            longBytes(value.toText()->toUtf8());
            break;
        case Value::Kind::Identifier:
            type(ValueType::Ident);
            shortString(*value.toIdentifier(), QStringLiteral("Der Bezeichner"));
            break;
        case Value::Kind::Boolean:
            type(*value.toBoolean() ? ValueType::True : ValueType::False);
            break;
        case Value::Kind::Binary:
            type(ValueType::Binary);
            longBytes(*value.binary());
            break;
        case Value::Kind::Set:
            type(ValueType::Set);
            for (const QString& member : *value.setMembers())
                nonEmptyShortString(member, QStringLiteral("Ein Element einer Menge"));
            m_out.append('\0');
            break;
        case Value::Kind::List:
            type(ValueType::List);
            for (const Value& item : *value.list())
                this->value(item);
            m_out.append('\0');
            break;
        case Value::Kind::Collection:
            type(ValueType::Collection);
            for (const CollectionItem& item : *value.collection()) {
                if (item.index)
                    integer(*item.index);
                type(ValueType::List);
                properties(item);
            }
            m_out.append('\0');
            break;
        }
    }

    const QString& m_fileName;
    QByteArray m_out;
};

} // namespace

StreamWriter::StreamWriter(QIODevice& device, const QString& fileName) : m_device(device), m_fileName(fileName) {}

QByteArray StreamWriter::toBytes(const Object& object)
{
    const QString noFile;
    return Encoder(noFile).record(object);
}

void StreamWriter::writeRecord(const Object& object)
{
    const QByteArray bytes = Encoder(m_fileName).record(object);
    if (m_device.write(bytes) != bytes.size()) {
        throw StreamError(QStringLiteral("Die Layoutdatei „%1“ kann nicht geschrieben werden: %2")
                              .arg(m_fileName, m_device.errorString())
                              .toStdString());
    }
}

void StreamWriter::writeFile(const QString& path, const std::vector<Object>& records)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        throw StreamError(QStringLiteral("Die Layoutdatei „%1“ kann nicht angelegt werden: %2")
                              .arg(path, file.errorString())
                              .toStdString());
    }
    StreamWriter writer(file, path);
    for (const Object& object : records)
        writer.writeRecord(object);
    if (!file.commit()) {
        throw StreamError(QStringLiteral("Die Layoutdatei „%1“ kann nicht geschrieben werden: %2")
                              .arg(path, file.errorString())
                              .toStdString());
    }
}

} // namespace stream
