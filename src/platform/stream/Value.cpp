#include "stream/Value.h"

#include <algorithm>

#include "codepage/CodePage.h"

namespace stream {

Value::Value() = default;
Value::Value(const Value&) = default;
Value::Value(Value&&) noexcept = default;
Value& Value::operator=(const Value&) = default;
Value& Value::operator=(Value&&) noexcept = default;
Value::~Value() = default;
Value::Value(Data data) : m_data(std::move(data)) {}

Value Value::integer(std::int64_t value) { return Value(Data(value)); }
Value Value::extended(double value) { return Value(Data(Extended{value, std::nullopt})); }
Value Value::extended(const ExtendedBytes& bytes) { return Value(Data(Extended{extendedToDouble(bytes), bytes})); }
Value Value::single(float value) { return Value(Data(value)); }
Value Value::currency(std::int64_t scaledBy10000) { return Value(Data(Currency{scaledBy10000})); }
Value Value::date(double dayCount) { return Value(Data(Date{dayCount})); }
Value Value::string(const QString& text) { return Value(Data(AnsiString{text, {}})); }
Value Value::ansiString(const QByteArray& bytes) { return Value(Data(AnsiString{codepage::CodePage::windows1252().decode(bytes), bytes})); }
Value Value::wideString(const QString& text) { return Value(Data(WideString{text})); }
Value Value::utf8String(const QString& text) { return Value(Data(Utf8String{text})); }
Value Value::identifier(const QString& name) { return Value(Data(Identifier{name})); }
Value Value::boolean(bool value) { return Value(Data(value)); }
Value Value::nil() { return Value(); }
Value Value::binary(const QByteArray& bytes) { return Value(Data(bytes)); }
Value Value::set(const QStringList& members) { return Value(Data(Set{members})); }
Value Value::list(List items) { return Value(Data(std::move(items))); }
Value Value::collection(Collection items) { return Value(Data(std::move(items))); }

Value::Kind Value::kind() const
{
    static_assert(std::is_same_v<std::variant_alternative_t<std::size_t(Kind::String), Data>, AnsiString>);
    static_assert(std::is_same_v<std::variant_alternative_t<std::size_t(Kind::Collection), Data>, Collection>);
    static_assert(std::variant_size_v<Data> == std::size_t(Kind::Collection) + 1);
    return static_cast<Kind>(m_data.index());
}

std::optional<std::int64_t> Value::toInteger() const
{
    if (const auto* value = std::get_if<std::int64_t>(&m_data))
        return *value;
    return std::nullopt;
}

std::optional<double> Value::toNumber() const
{
    switch (kind()) {
    case Kind::Integer: return static_cast<double>(std::get<std::int64_t>(m_data));
    case Kind::Extended: return std::get<Extended>(m_data).value;
    case Kind::Single: return std::get<float>(m_data);
    case Kind::Currency: return static_cast<double>(std::get<Currency>(m_data).scaled) / 10000.0;
    case Kind::Date: return std::get<Date>(m_data).value;
    default: return std::nullopt;
    }
}

std::optional<QString> Value::toText() const
{
    switch (kind()) {
    case Kind::String: return std::get<AnsiString>(m_data).text;
    case Kind::WideString: return std::get<WideString>(m_data).text;
    case Kind::Utf8String: return std::get<Utf8String>(m_data).text;
    default: return std::nullopt;
    }
}

std::optional<QByteArray> Value::ansiBytes() const
{
    const auto* string = std::get_if<AnsiString>(&m_data);
    if (!string)
        return std::nullopt;
    if (!string->bytes.isEmpty() || string->text.isEmpty())
        return string->bytes;
    const auto bytes = codepage::CodePage::windows1252().encodeExactly(string->text);
    if (!bytes)
        return std::nullopt;
    return QByteArray::fromStdString(*bytes);
}

std::optional<QString> Value::toIdentifier() const
{
    if (const auto* identifier = std::get_if<Identifier>(&m_data))
        return identifier->name;
    return std::nullopt;
}

std::optional<bool> Value::toBoolean() const
{
    if (const auto* value = std::get_if<bool>(&m_data))
        return *value;
    return std::nullopt;
}

std::optional<float> Value::toSingle() const
{
    if (const auto* value = std::get_if<float>(&m_data))
        return *value;
    return std::nullopt;
}

std::optional<std::int64_t> Value::currencyScaled() const
{
    if (const auto* value = std::get_if<Currency>(&m_data))
        return value->scaled;
    return std::nullopt;
}

std::optional<ExtendedBytes> Value::extendedBytes() const
{
    const auto* extended = std::get_if<Extended>(&m_data);
    if (!extended)
        return std::nullopt;
    return extended->bytes ? *extended->bytes : doubleToExtended(extended->value);
}

bool Value::isNil() const { return std::holds_alternative<Nil>(m_data); }
const QByteArray* Value::binary() const { return std::get_if<QByteArray>(&m_data); }
const Value::List* Value::list() const { return std::get_if<List>(&m_data); }
const Value::Collection* Value::collection() const { return std::get_if<Collection>(&m_data); }

const QStringList* Value::setMembers() const
{
    const auto* set = std::get_if<Set>(&m_data);
    return set ? &set->members : nullptr;
}

bool operator==(const Value& a, const Value& b)
{
    return a.m_data == b.m_data;
}

// ---------------------------------------------------------------------------

namespace {

bool sameName(QStringView a, QStringView b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

const Value* PropertyList::find(QStringView name) const
{
    const auto found = std::find_if(m_properties.rbegin(), m_properties.rend(),
                                    [&](const Property& property) { return sameName(property.name, name); });
    return found == m_properties.rend() ? nullptr : &found->value;
}

Property* PropertyList::findMutable(QStringView name)
{
    const auto found = std::find_if(m_properties.rbegin(), m_properties.rend(),
                                    [&](const Property& property) { return sameName(property.name, name); });
    return found == m_properties.rend() ? nullptr : &*found;
}

void PropertyList::append(const QString& name, Value value)
{
    m_properties.push_back(Property{name, std::move(value)});
}

void PropertyList::set(const QString& name, Value value)
{
    if (Property* existing = findMutable(name))
        existing->value = std::move(value);
    else
        append(name, std::move(value));
}

std::int64_t PropertyList::integer(QStringView name, std::int64_t fallback) const
{
    const Value* value = find(name);
    return value ? value->toInteger().value_or(fallback) : fallback;
}

double PropertyList::number(QStringView name, double fallback) const
{
    const Value* value = find(name);
    return value ? value->toNumber().value_or(fallback) : fallback;
}

QString PropertyList::string(QStringView name, const QString& fallback) const
{
    const Value* value = find(name);
    return value ? value->toText().value_or(fallback) : fallback;
}

QString PropertyList::identifier(QStringView name, const QString& fallback) const
{
    const Value* value = find(name);
    return value ? value->toIdentifier().value_or(fallback) : fallback;
}

bool PropertyList::boolean(QStringView name, bool fallback) const
{
    const Value* value = find(name);
    return value ? value->toBoolean().value_or(fallback) : fallback;
}

QStringList PropertyList::setMembers(QStringView name) const
{
    const Value* value = find(name);
    const QStringList* members = value ? value->setMembers() : nullptr;
    return members ? *members : QStringList();
}

QByteArray PropertyList::binary(QStringView name) const
{
    const Value* value = find(name);
    const QByteArray* bytes = value ? value->binary() : nullptr;
    return bytes ? *bytes : QByteArray();
}

QStringList PropertyList::strings(QStringView name) const
{
    QStringList result;
    const Value* value = find(name);
    if (const Value::List* items = value ? value->list() : nullptr) {
        for (const Value& item : *items) {
            if (auto text = item.toText())
                result.append(*text);
        }
    }
    return result;
}

std::vector<double> PropertyList::numbers(QStringView name) const
{
    std::vector<double> result;
    const Value* value = find(name);
    if (const Value::List* items = value ? value->list() : nullptr) {
        for (const Value& item : *items) {
            if (auto number = item.toNumber())
                result.push_back(*number);
        }
    }
    return result;
}

Colour PropertyList::colour(QStringView name, const Colour& fallback) const
{
    const Value* value = find(name);
    return value ? Colour::fromValue(*value).value_or(fallback) : fallback;
}

Font PropertyList::font(const Font& fallback) const
{
    Font font = fallback;
    font.name = string(u"Font.Name", fallback.name);
    font.height = static_cast<int>(integer(u"Font.Height", fallback.height));
    if (contains(u"Font.Style"))
        font.style = setMembers(u"Font.Style");
    font.colour = colour(u"Font.Color", fallback.colour);
    if (const Value* charset = find(u"Font.Charset")) {
        if (auto number = charset->toInteger())
            font.charset = static_cast<int>(*number);
        else if (auto name = charset->toIdentifier())
            font.charset = Font::charsetFromIdentifier(*name).value_or(fallback.charset);
    }
    return font;
}

} // namespace stream
