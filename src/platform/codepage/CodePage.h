#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <QByteArrayView>
#include <QString>

namespace codepage {

// A single-byte code page and the translation of text to and from Unicode:
// Windows-1252 (the ANSI code page of German Windows, in which tables, the
// component stream and metafiles keep their text), the DOS pages and the
// other pages dBASE language drivers name. Bytes a page leaves undefined
// decode to the C1 control of the same value, as Windows maps them, so every
// byte survives a round trip.
class CodePage {
public:
    // The page a dBASE language-driver byte names: Windows-1252 for the ANSI
    // drivers, 437 and 850 for the DOS ones, and the other drivers users
    // meet; an unknown or zero driver gives Windows-1252.
    static const CodePage& forLanguageDriver(std::uint8_t driver);
    static const CodePage& windows1252();

    int number() const { return m_number; } // 1252, 437, 850, ...

    // Takes std::string, std::string_view and QByteArray alike.
    QString decode(QByteArrayView bytes) const;
    // Characters the code page cannot hold become '?' (one for a character
    // outside the BMP), as Windows' own conversion does.
    std::string encode(const QString& text) const;
    // nullopt when a character has no byte in the code page.
    std::optional<std::string> encodeExactly(const QString& text) const;
    char16_t toUnicode(unsigned char byte) const { return m_toUnicode[byte]; }

    CodePage(int number, const char16_t (&table)[256]);

private:
    struct Reverse {
        char16_t unicode;
        unsigned char byte;
    };
    // The byte for one UTF-16 unit; nullopt when the page has none.
    std::optional<char> byteFor(char16_t unit) const;
    // False (exact) or '?' for a character without a byte.
    bool encodeInto(const QString& text, std::string& bytes, bool exact) const;

    int m_number;
    const char16_t* m_toUnicode;
    // Units below 256 (most text) straight from a table, -1 for none; the
    // rest by binary search in the sorted reverse table.
    std::array<std::int16_t, 256> m_low;
    std::array<Reverse, 256> m_fromUnicode;
};

} // namespace codepage
