#pragma once

#include <cstdint>
#include <optional>
#include <variant>
#include <vector>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "stream/Extended.h"
#include "stream/Font.h"

namespace stream {

struct CollectionItem;

// The value type byte that opens every value in the stream.
enum class ValueType : std::uint8_t {
    Null = 0, // ends lists, property lists, collections and children
    List = 1,
    Int8 = 2,
    Int16 = 3,
    Int32 = 4,
    Extended = 5,
    String = 6,
    Ident = 7,
    False = 8,
    True = 9,
    Binary = 10,
    Set = 11,
    LString = 12,
    Nil = 13,
    Collection = 14,
    Single = 15,
    Currency = 16,
    Date = 17,
    WString = 18,
    Int64 = 19,
    Utf8String = 20,
};

// One property value of any type the stream knows. Integers of every width are
// one kind (the writer picks the width again); the three string forms stay
// apart because the writer must give each its own form back.
class Value {
public:
    enum class Kind {
        Nil,
        Integer,
        Extended,
        Single,
        Currency,
        Date,
        String,     // ANSI string (short or long form), Windows-1252
        WideString, // UTF-16
        Utf8String,
        Identifier,
        Boolean,
        Binary,
        Set,
        List,
        Collection,
    };
    using List = std::vector<Value>;
    using Collection = std::vector<CollectionItem>;

    Value(); // nil
    Value(const Value&);
    Value(Value&&) noexcept;
    Value& operator=(const Value&);
    Value& operator=(Value&&) noexcept;
    ~Value();

    static Value integer(std::int64_t value);
    static Value extended(double value);
    // The ten bytes as read; the number is their nearest double, and the
    // writer writes the very same bytes back (an extended holds more than a
    // double).
    static Value extended(const ExtendedBytes& bytes);
    static Value single(float value);
    // Currency is a fixed-point number stored as value * 10000.
    static Value currency(std::int64_t scaledBy10000);
    // A date-time as a day count since 30 Dec 1899 with the time as fraction.
    static Value date(double dayCount);
    // The writer stores it in Windows-1252 when it can, else as a wide string.
    static Value string(const QString& text);
    // Bytes as read from the stream; the text is their Windows-1252 reading,
    // and the writer writes the very same bytes back.
    static Value ansiString(const QByteArray& bytes);
    static Value wideString(const QString& text);
    static Value utf8String(const QString& text);
    static Value identifier(const QString& name);
    static Value boolean(bool value);
    static Value nil();
    static Value binary(const QByteArray& bytes);
    static Value set(const QStringList& members);
    static Value list(List items);
    static Value collection(Collection items);

    Kind kind() const;

    // Each accessor answers only for its own kinds: nullopt or nullptr else.
    std::optional<std::int64_t> toInteger() const;
    // Integer, extended, single, currency and date values as a number.
    std::optional<double> toNumber() const;
    // The three string kinds as text.
    std::optional<QString> toText() const;
    // The stored bytes of an ANSI string (encoded on demand for made ones);
    // nullopt for other kinds and for text Windows-1252 cannot hold.
    std::optional<QByteArray> ansiBytes() const;
    std::optional<QString> toIdentifier() const;
    std::optional<bool> toBoolean() const;
    std::optional<float> toSingle() const;
    std::optional<std::int64_t> currencyScaled() const;
    // The ten bytes of an extended: as read, or converted from the number.
    std::optional<ExtendedBytes> extendedBytes() const;
    bool isNil() const;
    const QByteArray* binary() const;
    const QStringList* setMembers() const;
    const List* list() const;
    const Collection* collection() const;

    friend bool operator==(const Value& a, const Value& b);

private:
    struct Extended {
        double value;
        std::optional<ExtendedBytes> bytes; // as read
        bool operator==(const Extended& other) const { return value == other.value; }
    };
    struct Currency { std::int64_t scaled; bool operator==(const Currency&) const = default; };
    struct Date { double value; bool operator==(const Date&) const = default; };
    struct AnsiString {
        QString text;
        QByteArray bytes; // empty with non-empty text: made by a caller, not read
        bool operator==(const AnsiString& other) const { return text == other.text; }
    };
    struct WideString { QString text; bool operator==(const WideString&) const = default; };
    struct Utf8String { QString text; bool operator==(const Utf8String&) const = default; };
    struct Identifier { QString name; bool operator==(const Identifier&) const = default; };
    struct Set { QStringList members; bool operator==(const Set&) const = default; };
    struct Nil { bool operator==(const Nil&) const = default; };
    // The order matches Kind.
    using Data = std::variant<Nil, std::int64_t, Extended, float, Currency, Date, AnsiString,
                              WideString, Utf8String, Identifier, bool, QByteArray, Set, List,
                              Collection>;

    explicit Value(Data data);
    Data m_data;
};

// A named property as it stands in the stream: dotted names such as
// "Font.Name" or "Page.Values" are kept whole.
struct Property {
    QString name;
    Value value;
    friend bool operator==(const Property&, const Property&) = default;
};

// The ordered properties of an object or collection item, with typed look-ups
// that fall back to a default when the property is missing or of another kind
// (layouts made by other versions of the designer carry what they like).
// Names compare without regard to ASCII case, as the component library's
// property look-up does; when a name occurs twice the later one counts, as it
// would when the stream is applied in order.
class PropertyList {
public:
    const std::vector<Property>& properties() const { return m_properties; }
    bool isEmpty() const { return m_properties.empty(); }

    const Value* find(QStringView name) const;
    bool contains(QStringView name) const { return find(name) != nullptr; }
    // Appends, keeping whatever is there (the reader keeps duplicates).
    void append(const QString& name, Value value);
    // Replaces the value that find() would return, or appends.
    void set(const QString& name, Value value);

    std::int64_t integer(QStringView name, std::int64_t fallback = 0) const;
    double number(QStringView name, double fallback = 0.0) const;
    QString string(QStringView name, const QString& fallback = {}) const;
    QString identifier(QStringView name, const QString& fallback = {}) const;
    bool boolean(QStringView name, bool fallback = false) const;
    QStringList setMembers(QStringView name) const;
    QByteArray binary(QStringView name) const;
    // A list of strings such as "Lines.Strings"; non-string items are skipped.
    QStringList strings(QStringView name) const;
    // A list of numbers such as "Page.Values"; non-numeric items are skipped.
    std::vector<double> numbers(QStringView name) const;
    // A colour stored as a "cl..." identifier or a $00BBGGRR integer.
    Colour colour(QStringView name, const Colour& fallback) const;
    // "Font.Name", "Font.Height", "Font.Style", "Font.Color", "Font.Charset";
    // what is missing comes from the fallback (the parent's font).
    Font font(const Font& fallback) const;

    friend bool operator==(const PropertyList&, const PropertyList&) = default;

private:
    Property* findMutable(QStringView name);
    std::vector<Property> m_properties;
};

// One item of a collection property; the index is only stored by forms that
// inherit the collection.
struct CollectionItem : PropertyList {
    std::optional<std::int64_t> index;
    friend bool operator==(const CollectionItem&, const CollectionItem&) = default;
};

} // namespace stream
