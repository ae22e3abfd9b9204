#include "stream/Colour.h"

#include <array>

#include "stream/Value.h"

namespace stream {

namespace {

struct NamedColour {
    const char16_t* name;
    std::uint32_t stored;
};

constexpr std::uint32_t system(std::uint32_t index) { return Colour::kSystemFlag | index; }

// The colour identifiers of the component library with their TColor values.
// Where two names share a value the first is the one the library writes.
constexpr std::array<NamedColour, 54> kNamedColours = {{
    {u"clBlack", 0x000000},
    {u"clMaroon", 0x000080},
    {u"clGreen", 0x008000},
    {u"clOlive", 0x008080},
    {u"clNavy", 0x800000},
    {u"clPurple", 0x800080},
    {u"clTeal", 0x808000},
    {u"clGray", 0x808080},
    {u"clSilver", 0xC0C0C0},
    {u"clRed", 0x0000FF},
    {u"clLime", 0x00FF00},
    {u"clYellow", 0x00FFFF},
    {u"clBlue", 0xFF0000},
    {u"clFuchsia", 0xFF00FF},
    {u"clAqua", 0xFFFF00},
    {u"clWhite", 0xFFFFFF},
    {u"clMoneyGreen", 0xC0DCC0},
    {u"clSkyBlue", 0xF0CAA6},
    {u"clCream", 0xF0FBFF},
    {u"clMedGray", 0xA4A0A0},
    {u"clScrollBar", system(0)},
    {u"clBackground", system(1)},
    {u"clActiveCaption", system(2)},
    {u"clInactiveCaption", system(3)},
    {u"clMenu", system(4)},
    {u"clWindow", system(5)},
    {u"clWindowFrame", system(6)},
    {u"clMenuText", system(7)},
    {u"clWindowText", system(8)},
    {u"clCaptionText", system(9)},
    {u"clActiveBorder", system(10)},
    {u"clInactiveBorder", system(11)},
    {u"clAppWorkSpace", system(12)},
    {u"clHighlight", system(13)},
    {u"clHighlightText", system(14)},
    {u"clBtnFace", system(15)},
    {u"clBtnShadow", system(16)},
    {u"clGrayText", system(17)},
    {u"clBtnText", system(18)},
    {u"clInactiveCaptionText", system(19)},
    {u"clBtnHighlight", system(20)},
    {u"cl3DDkShadow", system(21)},
    {u"cl3DLight", system(22)},
    {u"clInfoText", system(23)},
    {u"clInfoBk", system(24)},
    {u"clHotLight", system(26)},
    {u"clGradientActiveCaption", system(27)},
    {u"clGradientInactiveCaption", system(28)},
    {u"clMenuHighlight", system(29)},
    {u"clMenuBar", system(30)},
    {u"clNone", Colour::kNone},
    {u"clDefault", Colour::kDefault},
    // Older names for the same values.
    {u"clLtGray", 0xC0C0C0},
    {u"clDkGray", 0x808080},
}};

// The classic Windows colour scheme, $00BBGGRR by system colour index.
constexpr std::array<std::uint32_t, 31> kSystemScheme = {
    0xC8D0D4, // scroll bar
    0xA56E3A, // desktop
    0x6A240A, // active caption
    0x808080, // inactive caption
    0xC8D0D4, // menu
    0xFFFFFF, // window
    0x000000, // window frame
    0x000000, // menu text
    0x000000, // window text
    0xFFFFFF, // caption text
    0xC8D0D4, // active border
    0xC8D0D4, // inactive border
    0x808080, // application workspace
    0x6A240A, // highlight
    0xFFFFFF, // highlight text
    0xC8D0D4, // button face
    0x808080, // button shadow
    0x808080, // grey text
    0x000000, // button text
    0xC8D0D4, // inactive caption text
    0xFFFFFF, // button highlight
    0x404040, // 3D dark shadow
    0xC8D0D4, // 3D light
    0x000000, // info text
    0xE1FFFF, // info background
    0xC8D0D4, // (unused index 25)
    0x800000, // hot light
    0xF0CAA6, // gradient active caption
    0xC0C0C0, // gradient inactive caption
    0xC56A31, // menu highlight
    0xC8D0D4, // menu bar
};

} // namespace

std::optional<Colour> Colour::fromIdentifier(QStringView name)
{
    for (const NamedColour& named : kNamedColours) {
        if (name.compare(QStringView(named.name), Qt::CaseInsensitive) == 0)
            return Colour(named.stored);
    }
    return std::nullopt;
}

std::optional<Colour> Colour::fromValue(const Value& value)
{
    if (auto number = value.toInteger())
        return Colour(static_cast<std::uint32_t>(*number));
    if (auto name = value.toIdentifier())
        return fromIdentifier(*name);
    return std::nullopt;
}

QString Colour::identifier() const
{
    for (const NamedColour& named : kNamedColours) {
        if (named.stored == m_stored)
            return QString::fromUtf16(named.name);
    }
    return {};
}

std::uint32_t Colour::rgbValue() const
{
    if (isSystem()) {
        const std::uint32_t index = m_stored & 0xFF;
        return index < kSystemScheme.size() ? kSystemScheme[index] : 0;
    }
    if (isNone() || isDefault())
        return 0;
    return m_stored & 0xFFFFFF;
}

} // namespace stream
