#include "dbase/KeyExpression.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "dbase/DbaseError.h"

namespace dbase {

namespace {

constexpr int numericKeyLength = 12;
constexpr int bcdDigitBytes = numericKeyLength - 2;
constexpr int bcdMaxDigits = bcdDigitBytes * 2;
constexpr unsigned char exponentBias = 0x34;
constexpr unsigned char negativeFlag = 0x80;
constexpr int dateKeyLength = 8;

std::string littleEndian(std::uint64_t bits)
{
    std::string out(dateKeyLength, '\0');
    for (int i = 0; i < dateKeyLength; ++i)
        out[static_cast<size_t>(i)] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return out;
}

QString numberText(double value)
{
    return QString::number(value, 'g', 17);
}

} // namespace

std::string encodeNumericKey(double value)
{
    if (!std::isfinite(value))
        throw DbaseError("Der Wert " + numberText(value).toStdString()
                         + " kann nicht als numerischer Indexschlüssel abgelegt werden.");

    std::string key(numericKeyLength, '\0');
    key[0] = static_cast<char>(exponentBias);
    key[1] = 0x01;
    if (value == 0.0) // also -0.0: one zero in the index
        return key;

    // The shortest text that reads back as the same double gives the decimal
    // digits a numeric field held ("12.3", not 12.300000000000000711).
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, std::fabs(value),
                                      std::chars_format::scientific);
    const std::string_view text(buffer, static_cast<size_t>(result.ptr - buffer));
    const size_t ePos = text.find('e');
    std::string digits;
    for (char c : text.substr(0, ePos))
        if (c != '.')
            digits += c;
    int tenPower = 0;
    std::from_chars(text.data() + ePos + 1 + (text[ePos + 1] == '+' ? 1 : 0),
                    text.data() + text.size(), tenPower);
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
    if (digits.size() > static_cast<size_t>(bcdMaxDigits))
        digits.resize(static_cast<size_t>(bcdMaxDigits));

    // Value = 0.d1d2d3... * 10^exponent: the exponent counts the digits before
    // the decimal point (negative for values below 0.1).
    const int exponent = tenPower + 1;
    if (exponent + exponentBias < 0 || exponent + exponentBias > 0xFF)
        throw DbaseError("Der Wert " + numberText(value).toStdString()
                         + " ist für einen numerischen Indexschlüssel zu groß oder zu klein.");

    const int nDigits = static_cast<int>(digits.size());
    key[0] = static_cast<char>(exponentBias + exponent);
    unsigned char lengthByte = static_cast<unsigned char>(((nDigits + 1) / 2) * 8 + 1);
    if (value < 0)
        lengthByte |= negativeFlag;
    key[1] = static_cast<char>(lengthByte);
    for (int i = 0; i < nDigits; ++i) {
        const int digit = digits[static_cast<size_t>(i)] - '0';
        auto& byte = key[static_cast<size_t>(2 + i / 2)];
        byte = static_cast<char>(static_cast<unsigned char>(byte) | (i % 2 == 0 ? digit << 4 : digit));
    }
    return key;
}

double decodeNumericKey(std::string_view bytes)
{
    if (bytes.size() < static_cast<size_t>(numericKeyLength))
        throw DbaseError("Numerischer Indexschlüssel ist kürzer als 12 Bytes.");
    const auto byte = [&](int i) { return static_cast<unsigned char>(bytes[static_cast<size_t>(i)]); };

    std::string text;
    if (byte(1) & negativeFlag)
        text += '-';
    text += "0.";
    bool anyDigit = false;
    for (int i = 0; i < bcdDigitBytes; ++i) {
        for (int nibble : {byte(2 + i) >> 4, byte(2 + i) & 0x0F}) {
            if (nibble > 9)
                throw DbaseError("Numerischer Indexschlüssel enthält eine ungültige Ziffer.");
            text += static_cast<char>('0' + nibble);
            anyDigit = anyDigit || nibble != 0;
        }
    }
    if (!anyDigit)
        return 0.0;
    text += 'e';
    text += std::to_string(static_cast<int>(byte(0)) - exponentBias);
    // strtod rounds the decimal text correctly, so a key decodes to exactly
    // the double it was made from.
    return std::strtod(text.c_str(), nullptr);
}

std::string encodeDateKey(const QDate& date)
{
    // A blank date sorts before every real one.
    const double julianDay = date.isValid() ? static_cast<double>(date.toJulianDay()) : 0.0;
    return littleEndian(std::bit_cast<std::uint64_t>(julianDay));
}

double decodeDateKey(std::string_view bytes)
{
    if (bytes.size() < static_cast<size_t>(dateKeyLength))
        throw DbaseError("Datums-Indexschlüssel ist kürzer als 8 Bytes.");
    std::uint64_t bits = 0;
    for (int i = 0; i < dateKeyLength; ++i)
        bits |= static_cast<std::uint64_t>(static_cast<unsigned char>(bytes[static_cast<size_t>(i)])) << (8 * i);
    return std::bit_cast<double>(bits);
}

void writeSortableDouble(double value, char* out)
{
    if (value == 0.0)
        value = 0.0; // -0.0 and 0.0 are one key
    std::uint64_t bits = std::bit_cast<std::uint64_t>(value);
    // Negative numbers: flip everything so larger magnitudes sort first;
    // positive numbers: set the sign bit so they sort after all negatives.
    bits = (bits & (std::uint64_t{1} << 63)) ? ~bits : bits | (std::uint64_t{1} << 63);
    for (int i = 0; i < 8; ++i)
        out[i] = static_cast<char>((bits >> (8 * (7 - i))) & 0xFF);
}

std::string sortableDouble(double value)
{
    std::string out(8, '\0');
    writeSortableDouble(value, out.data());
    return out;
}

} // namespace dbase
