#include "codepage/CodePage.h"

#include <algorithm>

#include "codepage/CodePageTables.h"

namespace codepage {

CodePage::CodePage(int number, const char16_t (&table)[256])
    : m_number(number), m_toUnicode(table) {
    m_low.fill(-1);
    // From the top down, so that a unit two bytes decode to encodes to the
    // lower byte, as the stable sort below does.
    for (int b = 255; b >= 0; --b) {
        m_fromUnicode[static_cast<std::size_t>(b)] = {table[b], static_cast<unsigned char>(b)};
        if (table[b] < 256)
            m_low[table[b]] = static_cast<std::int16_t>(b);
    }
    std::stable_sort(m_fromUnicode.begin(), m_fromUnicode.end(),
                     [](const Reverse& a, const Reverse& b) { return a.unicode < b.unicode; });
}

namespace {

const CodePage& cp437() { static const CodePage page(437, tables::cp437); return page; }
const CodePage& cp850() { static const CodePage page(850, tables::cp850); return page; }
const CodePage& cp852() { static const CodePage page(852, tables::cp852); return page; }
const CodePage& cp866() { static const CodePage page(866, tables::cp866); return page; }
const CodePage& cp1250() { static const CodePage page(1250, tables::cp1250); return page; }
const CodePage& cp1251() { static const CodePage page(1251, tables::cp1251); return page; }
const CodePage& cp1253() { static const CodePage page(1253, tables::cp1253); return page; }
const CodePage& cp1254() { static const CodePage page(1254, tables::cp1254); return page; }

} // namespace

const CodePage& CodePage::windows1252() {
    static const CodePage page(1252, tables::cp1252);
    return page;
}

const CodePage& CodePage::forLanguageDriver(std::uint8_t driver) {
    switch (driver) {
    case 0x01: case 0x0F: case 0x19: case 0x1B: case 0x5E:
        return cp437();
    case 0x02: case 0x10: case 0x1A: case 0x37:
        return cp850();
    case 0x64:
        return cp852();
    case 0x65:
        return cp866();
    case 0xC8:
        return cp1250();
    case 0xC9:
        return cp1251();
    case 0xCA:
        return cp1254();
    case 0xCB:
        return cp1253();
    default: // 0x03, 0x57, 0x58, 0x59, 0x61, none and unknown drivers
        return windows1252();
    }
}

QString CodePage::decode(QByteArrayView bytes) const {
    QString text(bytes.size(), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = QChar(m_toUnicode[static_cast<unsigned char>(c)]);
    return text;
}

std::optional<char> CodePage::byteFor(char16_t unit) const {
    if (unit < 256) {
        const std::int16_t byte = m_low[unit];
        return byte < 0 ? std::nullopt : std::optional(static_cast<char>(byte));
    }
    const auto it = std::lower_bound(m_fromUnicode.begin(), m_fromUnicode.end(), unit,
                                     [](const Reverse& entry, char16_t u) { return entry.unicode < u; });
    if (it == m_fromUnicode.end() || it->unicode != unit)
        return std::nullopt;
    return static_cast<char>(it->byte);
}

// Tables are filled record by record from text: this runs for every field
// value, so it writes into a string sized once.
bool CodePage::encodeInto(const QString& text, std::string& bytes, bool exact) const {
    const qsizetype size = text.size();
    const auto* units = reinterpret_cast<const char16_t*>(text.constData());
    bytes.resize(static_cast<std::size_t>(size));
    char* out = bytes.data();
    for (qsizetype i = 0; i < size; ++i) {
        const char16_t unit = units[i];
        if (unit < 256 && m_low[unit] >= 0) {
            *out++ = static_cast<char>(m_low[unit]);
            continue;
        }
        std::optional<char> byte;
        if (QChar::isHighSurrogate(unit) && i + 1 < size && QChar::isLowSurrogate(units[i + 1]))
            ++i; // outside the BMP: no single-byte code page holds it
        else
            byte = byteFor(unit);
        if (!byte && exact)
            return false;
        *out++ = byte ? *byte : '?';
    }
    bytes.resize(static_cast<std::size_t>(out - bytes.data()));
    return true;
}

std::string CodePage::encode(const QString& text) const {
    std::string bytes;
    encodeInto(text, bytes, false);
    return bytes;
}

std::optional<std::string> CodePage::encodeExactly(const QString& text) const {
    std::string bytes;
    if (!encodeInto(text, bytes, true))
        return std::nullopt;
    return bytes;
}

} // namespace codepage
