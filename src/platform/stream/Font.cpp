#include "stream/Font.h"

#include <array>
#include <cstdlib>

namespace stream {

namespace {

struct NamedCharset {
    const char16_t* name;
    int value;
};

constexpr std::array<NamedCharset, 19> kCharsets = {{
    {u"ANSI_CHARSET", 0},
    {u"DEFAULT_CHARSET", 1},
    {u"SYMBOL_CHARSET", 2},
    {u"MAC_CHARSET", 77},
    {u"SHIFTJIS_CHARSET", 128},
    {u"HANGEUL_CHARSET", 129},
    {u"JOHAB_CHARSET", 130},
    {u"GB2312_CHARSET", 134},
    {u"CHINESEBIG5_CHARSET", 136},
    {u"GREEK_CHARSET", 161},
    {u"TURKISH_CHARSET", 162},
    {u"VIETNAMESE_CHARSET", 163},
    {u"HEBREW_CHARSET", 177},
    {u"ARABIC_CHARSET", 178},
    {u"BALTIC_CHARSET", 186},
    {u"RUSSIAN_CHARSET", 204},
    {u"THAI_CHARSET", 222},
    {u"EASTEUROPE_CHARSET", 238},
    {u"OEM_CHARSET", 255},
}};

constexpr double kDesignerDpi = 96.0;
constexpr double kPointsPerInch = 72.0;

} // namespace

double Font::pointSize() const
{
    // A positive height includes the internal leading, which only the font
    // itself knows; taking it as the character height errs a little large.
    return std::abs(height) * kPointsPerInch / kDesignerDpi;
}

std::optional<int> Font::charsetFromIdentifier(QStringView name)
{
    for (const NamedCharset& charset : kCharsets) {
        if (name.compare(QStringView(charset.name), Qt::CaseInsensitive) == 0)
            return charset.value;
    }
    return std::nullopt;
}

} // namespace stream
