#pragma once

#include <cstdint>

// Constants of the 16-bit Windows metafile shared by the reader and the
// writer, named as the records and fields are known in the format.
namespace graphics::wmf {

inline constexpr std::uint32_t PlaceableKey = 0x9AC6CDD7;
inline constexpr int PlaceableHeaderBytes = 22;
inline constexpr int MetaHeaderWords = 9;
inline constexpr int RecordHeaderWords = 3;
inline constexpr std::uint16_t MetaVersion = 0x0300;
inline constexpr std::uint16_t DiskMetafile = 2;

// XOR of the ten 16-bit words before the checksum in a placeable header.
inline std::uint16_t placeableChecksum(const unsigned char* header)
{
    std::uint16_t sum = 0;
    for (int i = 0; i < 10; ++i)
        sum ^= static_cast<std::uint16_t>(header[2 * i] | (header[2 * i + 1] << 8));
    return sum;
}

enum Function : std::uint16_t {
    Eof = 0x0000,
    SaveDc = 0x001E,
    RealizePalette = 0x0035,
    CreatePalette = 0x00F7,
    SetBkMode = 0x0102,
    SetMapMode = 0x0103,
    SetPolyFillMode = 0x0106,
    SetStretchBltMode = 0x0107,
    RestoreDc = 0x0127,
    SelectObject = 0x012D,
    SetTextAlign = 0x012E,
    DibCreatePatternBrush = 0x0142,
    DeleteObject = 0x01F0,
    CreatePatternBrush = 0x01F9,
    SetBkColor = 0x0201,
    SetTextColor = 0x0209,
    SetWindowOrg = 0x020B,
    SetWindowExt = 0x020C,
    LineTo = 0x0213,
    MoveTo = 0x0214,
    CreatePenIndirect = 0x02FA,
    CreateFontIndirect = 0x02FB,
    CreateBrushIndirect = 0x02FC,
    Polygon = 0x0324,
    Polyline = 0x0325,
    ExcludeClipRect = 0x0415,
    IntersectClipRect = 0x0416,
    Ellipse = 0x0418,
    Rectangle = 0x041B,
    SetPixel = 0x041F,
    TextOut = 0x0521,
    PolyPolygon = 0x0538,
    RoundRect = 0x061C,
    CreateRegion = 0x06FF,
    Arc = 0x0817,
    Pie = 0x081A,
    Chord = 0x0830,
    DibBitBlt = 0x0940,
    ExtTextOut = 0x0A32,
    DibStretchBlt = 0x0B41,
    StretchDib = 0x0F43,
};

enum MapMode : std::uint16_t { MmText = 1, MmIsotropic = 7, MmAnisotropic = 8 };
enum BkMode : std::uint16_t { Transparent = 1, Opaque = 2 };
enum PolyFillMode : std::uint16_t { Alternate = 1, Winding = 2 };

enum TextAlign : std::uint16_t {
    TaUpdateCp = 0x0001,
    TaRight = 0x0002,
    TaCenter = 0x0006,
    TaHorizontalMask = 0x0006,
    TaBottom = 0x0008,
    TaBaseline = 0x0018,
    TaVerticalMask = 0x0018,
};

enum ExtTextOutOption : std::uint16_t { EtoOpaque = 0x0002, EtoClipped = 0x0004 };

enum PenStyle : std::uint16_t {
    PsSolid = 0, PsDash = 1, PsDot = 2, PsDashDot = 3, PsDashDotDot = 4, PsNull = 5, PsInsideFrame = 6,
    PsStyleMask = 0x000F,
};

enum BrushStyle : std::uint16_t { BsSolid = 0, BsNull = 1, BsHatched = 2, BsDibPattern = 5, BsDibPatternPt = 6 };

enum HatchStyle : std::uint16_t {
    HsHorizontal = 0, HsVertical = 1, HsFDiagonal = 2, HsBDiagonal = 3, HsCross = 4, HsDiagCross = 5,
};

enum RasterOp : std::uint32_t {
    SrcCopy = 0x00CC0020,
    SrcPaint = 0x00EE0086,
    SrcAnd = 0x008800C6,
    SrcInvert = 0x00660046,
    NotSrcCopy = 0x00330008,
    PatCopy = 0x00F00021,
    Blackness = 0x00000042,
    Whiteness = 0x00FF0062,
};

inline constexpr std::uint16_t DibRgbColors = 0;
inline constexpr std::uint16_t FwNormal = 400;
inline constexpr int FaceNameBytes = 32; // LOGFONT's face name, NUL included

} // namespace graphics::wmf
