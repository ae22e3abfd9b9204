#include "graphics/Dib.h"

#include <limits>

#include <QPainter>

#include "graphics/DataFault.h"

namespace graphics::dib {
namespace {

constexpr quint32 InfoHeaderBytes = 40;
constexpr quint32 CoreHeaderBytes = 12;
constexpr quint32 BiRgb = 0;
constexpr quint32 BiBitfields = 3;
constexpr qint32 PixelsPerMetreAt96Dpi = 3780;

quint16 u16(const unsigned char* p) { return quint16(p[0] | (p[1] << 8)); }
quint32 u32(const unsigned char* p) { return quint32(u16(p)) | (quint32(u16(p + 2)) << 16); }
void put16(QByteArray& out, quint16 v) { out.append(char(v & 0xFF)).append(char(v >> 8)); }
void put32(QByteArray& out, quint32 v) { put16(out, quint16(v & 0xFFFF)); put16(out, quint16(v >> 16)); }

// One channel of a bit-field pixel scaled to 0..255.
struct Channel {
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;

    explicit Channel(quint32 m) : mask(m)
    {
        if (mask == 0)
            return;
        while (((mask >> shift) & 1) == 0)
            ++shift;
        max = mask >> shift;
    }
    int value(quint32 pixel) const
    {
        return max == 0 ? 0 : int((quint64((pixel & mask) >> shift) * 255 + max / 2) / max);
    }
};

qint64 rowBytes(qint64 width, int bitCount) { return ((width * bitCount + 31) / 32) * 4; }

} // namespace

std::optional<Bitmap> decode(const unsigned char* data, qsizetype size, bool paletteIndices)
{
    if (size < 4)
        throw DataFault{QStringLiteral("Bitmap ohne Kopf")};
    const quint32 headerSize = u32(data);
    if (headerSize == CoreHeaderBytes)
        return std::nullopt;
    if (headerSize < InfoHeaderBytes || headerSize > quint32(size))
        throw DataFault{QStringLiteral("Bitmapkopf mit ungültiger Größe %1").arg(headerSize)};

    const auto width = qint32(u32(data + 4));
    const auto rawHeight = qint32(u32(data + 8));
    const int bitCount = u16(data + 14);
    const quint32 compression = u32(data + 16);
    const quint32 coloursUsed = u32(data + 32);

    if (width <= 0 || rawHeight == 0 || rawHeight == std::numeric_limits<qint32>::min())
        throw DataFault{QStringLiteral("Bitmap mit Größe %1 × %2").arg(width).arg(rawHeight)};
    const qint64 height = rawHeight < 0 ? -qint64(rawHeight) : rawHeight;
    if (qint64(width) * height > MaxPixels)
        throw DataFault{QStringLiteral("Bitmap mit %1 × %2 Bildpunkten ist zu groß").arg(width).arg(height)};
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw DataFault{QStringLiteral("Bitmap mit %1 Bit je Bildpunkt").arg(bitCount)};
    if (compression != BiRgb && compression != BiBitfields)
        return std::nullopt;
    if (compression == BiBitfields && bitCount != 16 && bitCount != 32)
        throw DataFault{QStringLiteral("Bitfelder bei %1 Bit je Bildpunkt").arg(bitCount)};

    qint64 offset = headerSize;
    quint32 masks[3] = {0, 0, 0};
    if (compression == BiBitfields) {
        // Version 4 and 5 headers hold the masks themselves; a plain info
        // header is followed by them.
        const qint64 at = headerSize >= 52 ? 40 : headerSize;
        if (at + 12 > size)
            throw DataFault{QStringLiteral("Bitmap ohne Farbmasken")};
        for (int i = 0; i < 3; ++i)
            masks[i] = u32(data + at + 4 * i);
        if (headerSize < 52)
            offset += 12;
    } else if (bitCount == 16) {
        masks[0] = 0x7C00, masks[1] = 0x03E0, masks[2] = 0x001F;
    } else if (bitCount == 32) {
        masks[0] = 0xFF0000, masks[1] = 0x00FF00, masks[2] = 0x0000FF;
    }

    const qint64 paletteMax = bitCount <= 8 ? (qint64(1) << bitCount) : 0;
    const qint64 paletteSize = coloursUsed == 0 ? paletteMax : qint64(coloursUsed);
    if (bitCount <= 8 && paletteSize > paletteMax)
        throw DataFault{QStringLiteral("Farbtabelle mit %1 Einträgen").arg(coloursUsed)};
    if (paletteSize > 256)
        throw DataFault{QStringLiteral("Farbtabelle mit %1 Einträgen").arg(coloursUsed)};
    const qint64 entryBytes = paletteIndices ? 2 : 4;
    const qint64 paletteOffset = offset;
    offset += paletteSize * entryBytes;

    const qint64 stride = rowBytes(width, bitCount);
    // The last row need not be padded: some writers cut it.
    const qint64 bitsNeeded = stride * (height - 1) + (qint64(width) * bitCount + 7) / 8;
    if (offset > size || bitsNeeded > size - offset)
        throw DataFault{QStringLiteral("Bitmapdaten reichen über das Ende hinaus")};
    if (paletteIndices)
        return std::nullopt; // the colours live in a palette the metafile selects; we keep none

    Bitmap result;
    result.bottomUp = rawHeight > 0;
    const unsigned char* bits = data + offset;
    const auto rowAt = [&](qint64 y) { return bits + (result.bottomUp ? height - 1 - y : y) * stride; };

    if (bitCount <= 8) {
        QImage image(width, int(height), QImage::Format_Indexed8);
        if (image.isNull())
            throw DataFault{QStringLiteral("Bitmap zu groß für den Speicher")};
        // Indexes past a short colour table show black instead of reading
        // beyond it.
        QList<QRgb> table(paletteMax, qRgb(0, 0, 0));
        for (qint64 i = 0; i < paletteSize; ++i) {
            const unsigned char* e = data + paletteOffset + 4 * i;
            table[i] = qRgb(e[2], e[1], e[0]);
        }
        image.setColorTable(table);
        const int perByte = 8 / bitCount;
        const int mask = (1 << bitCount) - 1;
        for (qint64 y = 0; y < height; ++y) {
            const unsigned char* row = rowAt(y);
            uchar* line = image.scanLine(int(y));
            for (qint32 x = 0; x < width; ++x) {
                const int shift = 8 - bitCount * (1 + x % perByte);
                line[x] = uchar((row[x / perByte] >> shift) & mask);
            }
        }
        result.image = std::move(image);
        return result;
    }

    QImage image(width, int(height), QImage::Format_RGB32);
    if (image.isNull())
        throw DataFault{QStringLiteral("Bitmap zu groß für den Speicher")};
    const Channel red(masks[0]), green(masks[1]), blue(masks[2]);
    for (qint64 y = 0; y < height; ++y) {
        const unsigned char* row = rowAt(y);
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(int(y)));
        for (qint32 x = 0; x < width; ++x) {
            if (bitCount == 24) {
                const unsigned char* p = row + 3 * x;
                line[x] = qRgb(p[2], p[1], p[0]);
            } else {
                const quint32 pixel = bitCount == 16 ? u16(row + 2 * x) : u32(row + 4 * x);
                line[x] = qRgb(red.value(pixel), green.value(pixel), blue.value(pixel));
            }
        }
    }
    result.image = std::move(image);
    return result;
}

QByteArray encode24(const QImage& image)
{
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    const qint64 stride = rowBytes(flat.width(), 24);
    const qint64 bitsSize = stride * flat.height();

    QByteArray out;
    out.reserve(InfoHeaderBytes + bitsSize);
    put32(out, InfoHeaderBytes);
    put32(out, quint32(flat.width()));
    put32(out, quint32(flat.height())); // positive: bottom-up rows
    put16(out, 1);
    put16(out, 24);
    put32(out, BiRgb);
    put32(out, quint32(bitsSize));
    put32(out, PixelsPerMetreAt96Dpi);
    put32(out, PixelsPerMetreAt96Dpi);
    put32(out, 0);
    put32(out, 0);
    for (int y = flat.height() - 1; y >= 0; --y) {
        const uchar* line = flat.constScanLine(y);
        for (int x = 0; x < flat.width(); ++x)
            out.append(char(line[3 * x + 2])).append(char(line[3 * x + 1])).append(char(line[3 * x]));
        out.append(QByteArray(stride - 3 * flat.width(), '\0'));
    }
    return out;
}

} // namespace graphics::dib
