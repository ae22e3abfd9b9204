#pragma once

#include <cstdint>
#include <optional>

#include <QString>
#include <QStringView>

namespace stream {

class Value;

// A colour as the component library stores it (TColor): $00BBGGRR for an RGB
// colour, $80000000 | index for a system colour of the Windows colour scheme,
// and the two markers clNone and clDefault.
class Colour {
public:
    static constexpr std::uint32_t kNone = 0x1FFFFFFF;
    static constexpr std::uint32_t kDefault = 0x20000000;
    static constexpr std::uint32_t kSystemFlag = 0x80000000;

    constexpr Colour() = default;
    explicit constexpr Colour(std::uint32_t stored) : m_stored(stored) {}
    static constexpr Colour fromRgb(std::uint8_t red, std::uint8_t green, std::uint8_t blue)
    {
        return Colour(red | (std::uint32_t{green} << 8) | (std::uint32_t{blue} << 16));
    }
    // "clRed", "clBtnFace", ... with or without regard to case; nullopt for
    // a name the library does not know.
    static std::optional<Colour> fromIdentifier(QStringView name);
    // An identifier or an integer value; nullopt for other values.
    static std::optional<Colour> fromValue(const Value& value);

    std::uint32_t stored() const { return m_stored; }
    bool isNone() const { return m_stored == kNone; }
    bool isDefault() const { return m_stored == kDefault; }
    bool isSystem() const { return (m_stored & kSystemFlag) != 0; }

    // The colour to paint with, system colours taken from the classic Windows
    // scheme (clWindow white, clWindowText black, clBtnFace light grey).
    // clNone and clDefault have no colour of their own: callers decide (clNone
    // is "transparent"); they give black here.
    std::uint8_t red() const { return static_cast<std::uint8_t>(rgbValue()); }
    std::uint8_t green() const { return static_cast<std::uint8_t>(rgbValue() >> 8); }
    std::uint8_t blue() const { return static_cast<std::uint8_t>(rgbValue() >> 16); }

    // The identifier the library would write for this colour, or an empty
    // string when it writes the number.
    QString identifier() const;

    friend bool operator==(const Colour&, const Colour&) = default;

private:
    std::uint32_t rgbValue() const; // $00BBGGRR after resolving system colours
    std::uint32_t m_stored = 0; // clBlack
};

} // namespace stream
