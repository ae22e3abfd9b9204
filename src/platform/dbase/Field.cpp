// Field values of a table's current record, converted to and from the
// stored bytes by the field's type.

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <limits>

#include <QLocale>

#include "dbase/DbaseError.h"
#include "dbase/TableImpl.h"

namespace dbase {

namespace {

std::string describe(const FieldDef& field)
{
    std::string text = "\"" + field.name + "\" (" + static_cast<char>(field.type) + " "
        + std::to_string(field.length);
    if (field.decimals != 0)
        text += "," + std::to_string(field.decimals);
    return text + ")";
}

[[noreturn]] void refuse(const FieldDef& field, const std::string& what)
{
    throw DbaseError("Das Feld " + describe(field) + " kann " + what + " nicht aufnehmen.");
}

bool isNumeric(const FieldDef& field)
{
    return field.type == FieldType::Numeric || field.type == FieldType::Float;
}

std::string rightJustified(const FieldDef& field, const std::string& text, const QString& value)
{
    if (text.size() > field.length)
        throw DbaseError("Der Wert " + value.toStdString() + " passt nicht in das Feld "
                         + describe(field) + ".");
    return std::string(field.length - text.size(), ' ') + text;
}

// A number written into a character field is never cut: that would change it.
std::string leftJustified(const FieldDef& field, const std::string& text, const QString& value)
{
    rightJustified(field, text, value); // throws when it does not fit
    return fitField(field, text);
}

// The value in decimal with exactly `decimals` places, rounded half away from
// zero on its shortest decimal text: the binary neighbour of 73.455 lies
// below it, and a user who typed 73,455 expects 73,46.
std::string fixedDecimals(double value, int decimals)
{
    std::array<char, 400> buffer{}; // any double in fixed notation
    const auto written = std::to_chars(buffer.data(), buffer.data() + buffer.size(), std::fabs(value),
                                       std::chars_format::fixed);
    const std::string shortest(buffer.data(), written.ptr);
    const std::size_t point = shortest.find('.');
    std::string digits = shortest.substr(0, point);
    std::string fraction = point == std::string::npos ? std::string() : shortest.substr(point + 1);
    const auto places = static_cast<std::size_t>(decimals);
    const bool up = fraction.size() > places && fraction[places] >= '5';
    fraction.resize(places, '0');
    digits += fraction;
    if (up) {
        auto i = digits.rbegin();
        for (; i != digits.rend() && *i == '9'; ++i)
            *i = '0';
        if (i == digits.rend())
            digits.insert(digits.begin(), '1');
        else
            ++*i;
    }
    std::string text = digits.substr(0, digits.size() - places);
    if (places != 0)
        text += "." + digits.substr(digits.size() - places);
    if (value < 0 && digits.find_first_not_of('0') != std::string::npos)
        text.insert(text.begin(), '-'); // no "-0.00"
    return text;
}

QDate parseDate(const QString& text)
{
    const QString t = text.trimmed();
    for (const char* format : {"yyyyMMdd", "dd.MM.yyyy", "d.M.yyyy", "yyyy-MM-dd", "dd.MM.yy"}) {
        const QDate date = QDate::fromString(t, QLatin1String(format));
        if (date.isValid())
            return date;
    }
    return {};
}

std::optional<bool> parseBoolean(const QString& text)
{
    const QString t = text.trimmed().toLower();
    if (t == "t" || t == "y" || t == "j" || t == "true" || t == "wahr" || t == "ja" || t == "1")
        return true;
    if (t == "f" || t == "n" || t == "false" || t == "falsch" || t == "nein" || t == "0")
        return false;
    return std::nullopt;
}

} // namespace

std::string fitField(const FieldDef& field, std::string_view bytes)
{
    std::string result(bytes.substr(0, field.length));
    result.resize(field.length, ' ');
    return result;
}

QString numberDisplayText(double value)
{
    static const QLocale german = [] {
        QLocale locale(QLocale::German, QLocale::Germany);
        locale.setNumberOptions(QLocale::OmitGroupSeparator);
        return locale;
    }();
    return german.toString(value == 0 ? 0.0 : value, 'g', 15); // no "-0"
}

std::optional<double> parseNumberText(const QString& text)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    const double value = t.toDouble(&ok);
    return ok && std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::string encodeFieldNumber(const FieldDef& field, double value)
{
    if (!std::isfinite(value))
        refuse(field, "den Wert " + QString::number(value).toStdString());
    if (field.type == FieldType::Character) {
        const QString shown = QString::number(value, 'g', 15);
        return leftJustified(field, shown.toStdString(), shown);
    }
    if (!isNumeric(field))
        refuse(field, "einen Zahlenwert");
    return rightJustified(field, fixedDecimals(value, field.decimals), numberDisplayText(value));
}

std::string encodeFieldInteger(const FieldDef& field, std::int64_t value)
{
    const std::string digits = std::to_string(value);
    const QString shown = QString::fromStdString(digits);
    if (field.type == FieldType::Character)
        return leftJustified(field, digits, shown);
    if (!isNumeric(field))
        refuse(field, "einen Zahlenwert");
    std::string text = digits;
    if (field.decimals != 0)
        text += "." + std::string(field.decimals, '0');
    return rightJustified(field, text, shown);
}

std::string encodeFieldText(const FieldDef& field, const CodePage& codePage, const QString& value)
{
    switch (field.type) {
    case FieldType::Character: {
        std::string bytes = codePage.encode(value);
        bytes.resize(field.length, ' '); // as fitField(), without a second string
        return bytes;
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        if (value.trimmed().isEmpty())
            return std::string(field.length, ' ');
        const auto number = parseNumberText(value);
        if (!number)
            throw DbaseError("Der Wert \"" + value.toStdString() + "\" ist keine Zahl (Feld "
                             + describe(field) + ").");
        return encodeFieldNumber(field, *number);
    }
    case FieldType::Date: {
        if (value.trimmed().isEmpty())
            return std::string(field.length, ' ');
        const QDate date = parseDate(value);
        if (!date.isValid())
            throw DbaseError("Der Wert \"" + value.toStdString() + "\" ist kein Datum (Feld "
                             + describe(field) + ").");
        return fitField(field, date.toString(QStringLiteral("yyyyMMdd")).toStdString());
    }
    case FieldType::Logical: {
        if (value.trimmed().isEmpty())
            return std::string(field.length, ' ');
        const auto flag = parseBoolean(value);
        if (!flag)
            throw DbaseError("Der Wert \"" + value.toStdString()
                             + "\" ist kein Wahrheitswert (Feld " + describe(field) + ").");
        return fitField(field, *flag ? "T" : "F");
    }
    default:
        refuse(field, "Text direkt im Datensatz");
    }
}

std::uint32_t memoBlock(const RecordView& record, int field)
{
    std::uint32_t block = 0;
    for (char c : record.raw(field)) {
        if (c == ' ')
            continue;
        if (c < '0' || c > '9')
            return 0;
        block = block * 10 + static_cast<std::uint32_t>(c - '0');
    }
    return block;
}

// ---------------------------------------------------------------- Impl

void Table::Impl::setField(int field, const std::string& bytes)
{
    const FieldDef& def = layout().field(field);
    // In place, padded or cut as fitField() does: rows filled in a loop
    // would otherwise allocate once more per field.
    const std::size_t kept = std::min<std::size_t>(bytes.size(), def.length);
    buffer.replace(def.offset, kept, bytes, 0, kept);
    std::fill_n(buffer.begin() + static_cast<std::ptrdiff_t>(def.offset + kept), def.length - kept, ' ');
    modified = true;
    notify([&](TableObserver& o) { o.fieldChanged(self, field); });
}

void Table::Impl::setMemo(int field, std::string data)
{
    memos[field] = std::move(data);
    modified = true;
    notify([&](TableObserver& o) { o.fieldChanged(self, field); });
}

// ---------------------------------------------------------------- Field

const FieldDef& Field::def() const
{
    return m_table->layout().field(m_index);
}

bool Field::isNull() const
{
    if (isBlobType(def().type))
        return m_table->d->memoData(m_index).empty();
    const std::string_view bytes = m_table->currentRecord().raw(m_index);
    return bytes.find_first_not_of(' ') == std::string_view::npos;
}

QString Field::asString() const
{
    const FieldDef& field = def();
    const Table::Impl& d = *m_table->d;
    switch (field.type) {
    case FieldType::Memo:
        return d.codePage().decode(d.memoData(m_index));
    case FieldType::Binary:
    case FieldType::General: {
        const std::string data = d.memoData(m_index);
        return QString::fromLatin1(data.data(), static_cast<qsizetype>(data.size()));
    }
    case FieldType::Date: {
        const QDate date = asDate();
        return date.isValid() ? date.toString(QStringLiteral("dd.MM.yyyy")) : QString();
    }
    case FieldType::Numeric:
    case FieldType::Float: {
        // What is no number (dBASE's overflow mark, garbage) shows as stored.
        const RecordView record = m_table->currentRecord();
        const auto number = record.number(m_index);
        return number ? numberDisplayText(*number) : record.text(m_index);
    }
    default:
        return m_table->currentRecord().text(m_index);
    }
}

double Field::asFloat() const
{
    const FieldDef& field = def();
    const RecordView record = m_table->currentRecord();
    if (isNumeric(field))
        return record.number(m_index).value_or(0.0);
    if (field.type == FieldType::Logical)
        return record.logical(m_index) ? 1.0 : 0.0;
    if (field.type == FieldType::Character)
        return parseNumberText(record.text(m_index)).value_or(0.0);
    return 0.0;
}

std::int64_t Field::asInteger() const
{
    bool exact = false;
    const std::int64_t value = m_table->currentRecord().text(m_index).toLongLong(&exact);
    if (exact)
        return value;
    const double number = asFloat();
    if (!(std::fabs(number) < 9.2e18))
        return 0;
    return std::llround(number);
}

QDate Field::asDate() const
{
    const FieldDef& field = def();
    const RecordView record = m_table->currentRecord();
    if (field.type == FieldType::Date)
        return record.date(m_index).value_or(QDate());
    if (field.type == FieldType::Character)
        return parseDate(record.text(m_index));
    return {};
}

bool Field::asBoolean() const
{
    const FieldDef& field = def();
    const RecordView record = m_table->currentRecord();
    if (field.type == FieldType::Logical)
        return record.logical(m_index);
    if (isNumeric(field))
        return record.number(m_index).value_or(0.0) != 0.0;
    return parseBoolean(record.text(m_index)).value_or(false);
}

QByteArray Field::asBytes() const
{
    if (isBlobType(def().type)) {
        const std::string data = m_table->d->memoData(m_index);
        return QByteArray(data.data(), static_cast<qsizetype>(data.size()));
    }
    const std::string_view bytes = m_table->currentRecord().raw(m_index);
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string Field::raw() const
{
    return std::string(m_table->currentRecord().raw(m_index));
}

void Field::setAsString(const QString& value)
{
    const FieldDef& field = def();
    Table::Impl& d = *m_table->d;
    d.requireEditing(field);
    if (field.type == FieldType::Memo)
        d.setMemo(m_index, d.codePage().encode(value));
    else if (isBlobType(field.type))
        d.setMemo(m_index, value.toLatin1().toStdString());
    else
        d.setField(m_index, encodeFieldText(field, d.codePage(), value));
}

void Field::setAsFloat(double value)
{
    const FieldDef& field = def();
    m_table->d->requireEditing(field);
    m_table->d->setField(m_index, encodeFieldNumber(field, value));
}

void Field::setAsInteger(std::int64_t value)
{
    const FieldDef& field = def();
    m_table->d->requireEditing(field);
    m_table->d->setField(m_index, encodeFieldInteger(field, value));
}

void Field::setAsDate(const QDate& value)
{
    const FieldDef& field = def();
    m_table->d->requireEditing(field);
    if (field.type == FieldType::Date)
        m_table->d->setField(m_index, value.isValid()
                                          ? value.toString(QStringLiteral("yyyyMMdd")).toStdString()
                                          : std::string());
    else if (field.type == FieldType::Character)
        m_table->d->setField(m_index, value.toString(QStringLiteral("dd.MM.yyyy")).toStdString());
    else
        refuse(field, "ein Datum");
}

void Field::setAsBoolean(bool value)
{
    const FieldDef& field = def();
    m_table->d->requireEditing(field);
    if (field.type == FieldType::Logical || field.type == FieldType::Character)
        m_table->d->setField(m_index, value ? "T" : "F");
    else if (isNumeric(field))
        m_table->d->setField(m_index, encodeFieldInteger(field, value ? 1 : 0));
    else
        refuse(field, "einen Wahrheitswert");
}

void Field::setAsBytes(const QByteArray& value)
{
    const FieldDef& field = def();
    Table::Impl& d = *m_table->d;
    d.requireEditing(field);
    const std::string bytes(value.constData(), static_cast<std::size_t>(value.size()));
    if (isBlobType(field.type))
        d.setMemo(m_index, bytes);
    else
        d.setField(m_index, bytes);
}

void Field::clear()
{
    const FieldDef& field = def();
    Table::Impl& d = *m_table->d;
    d.requireEditing(field);
    if (isBlobType(field.type))
        d.setMemo(m_index, std::string());
    else
        d.setField(m_index, std::string());
}

} // namespace dbase
