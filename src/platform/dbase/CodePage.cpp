#include "dbase/CodePage.h"

#include <algorithm>

#include "dbase/CodePageTables.h"

namespace dbase {

CodePage::CodePage(int number, const char16_t (&table)[256])
    : m_number(number), m_toUnicode(table) {
    for (int b = 0; b < 256; ++b)
        m_fromUnicode[static_cast<size_t>(b)] = {table[b], static_cast<unsigned char>(b)};
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

QString CodePage::decode(std::string_view bytes) const {
    QString text(static_cast<qsizetype>(bytes.size()), Qt::Uninitialized);
    QChar* out = text.data();
    for (char c : bytes)
        *out++ = QChar(m_toUnicode[static_cast<unsigned char>(c)]);
    return text;
}

std::string CodePage::encode(const QString& text) const {
    std::string bytes;
    bytes.reserve(static_cast<size_t>(text.size()));
    const auto lookup = [this](char16_t unit) -> char {
        if (unit < 0x80 && m_toUnicode[unit] == unit)
            return static_cast<char>(unit);
        const auto it = std::lower_bound(
            m_fromUnicode.begin(), m_fromUnicode.end(), unit,
            [](const Reverse& entry, char16_t u) { return entry.unicode < u; });
        return it != m_fromUnicode.end() && it->unicode == unit ? static_cast<char>(it->byte) : '?';
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text.at(i);
        if (ch.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            bytes.push_back('?'); // outside the BMP: no single-byte code page holds it
            ++i;
            continue;
        }
        bytes.push_back(lookup(ch.unicode()));
    }
    return bytes;
}

} // namespace dbase
