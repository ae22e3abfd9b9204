#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include <QString>

namespace dbase {

// A single-byte code page, chosen by a table's language-driver byte, and the
// translation of field text to and from Unicode.
class CodePage {
public:
    // Windows-1252 for the ANSI drivers, 437 and 850 for the DOS ones, and the
    // other drivers users meet; an unknown or zero driver gives Windows-1252.
    static const CodePage& forLanguageDriver(std::uint8_t driver);
    static const CodePage& windows1252();

    int number() const { return m_number; } // 1252, 437, 850, ...

    QString decode(std::string_view bytes) const;
    // Characters the code page cannot hold become '?'.
    std::string encode(const QString& text) const;
    char16_t toUnicode(unsigned char byte) const { return m_toUnicode[byte]; }

    CodePage(int number, const char16_t (&table)[256]);

private:
    struct Reverse {
        char16_t unicode;
        unsigned char byte;
    };
    int m_number;
    const char16_t* m_toUnicode;
    std::array<Reverse, 256> m_fromUnicode; // sorted by code point for encode()
};

} // namespace dbase
