#pragma once

#include <optional>

#include <QByteArray>
#include <QImage>

// Device-independent bitmaps as metafile records carry them: a
// BITMAPINFOHEADER, the colour table and the pixel rows, without a file
// header.
namespace graphics::dib {

// Bitmaps larger than this are refused: a damaged header must not make us
// allocate gigabytes.
inline constexpr qint64 MaxPixels = qint64(1) << 25;

struct Bitmap {
    QImage image;          // rows top-down, as Qt holds them
    bool bottomUp = true;  // rows were stored bottom-up (positive height)
};

// Decodes 1, 4, 8, 16, 24 and 32 bits per pixel, uncompressed or with bit
// fields, colour table in RGB colours. nullopt for well-formed bitmaps of a
// kind we do not draw (run-length or embedded JPEG/PNG compression, the old
// core header, palette-index colour tables). Malformed data (sizes past the
// end, zero or absurd dimensions) throws DataFault.
std::optional<Bitmap> decode(const unsigned char* data, qsizetype size, bool paletteIndices = false);

// A 24-bit bottom-up bitmap of `image`; transparent pixels are laid over
// white, since the metafile has no alpha.
QByteArray encode24(const QImage& image);

} // namespace graphics::dib
