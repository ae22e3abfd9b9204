#pragma once

#include <array>
#include <cstdint>

#include <QImage>
#include <QString>

class QIODevice;

// Writes pictures as GIF89a files: one or more frames, each with the exact
// colours of its picture in a palette of at most 256 entries (shared by all
// frames or one per frame), with loop count, delay, disposal, transparency
// and comments. giflib does the LZW coding and writes the file's blocks.
//
// A picture that GIF cannot hold (more than 256 colours in a palette, no
// pixels, a size or position beyond GIF's 65535) is refused: the write
// returns false, GifLastError says why and GifFehlertext() says it in German,
// and no byte reaches the stream or file.

// One frame; the writer reads it, the caller owns it.
struct TFrameInfo {
    QImage Bitmap;             // the picture; only its colours count, alpha is ignored
    std::int32_t Left = 0;     // position on the logical screen, pixels
    std::int32_t Top = 0;
    std::int32_t Width = 0;    // the picture's size when the frame was made;
    std::int32_t Height = 0;   // the writer uses the picture's own size
    std::int32_t DelayMs = 0;  // display time; written in hundredths of a second
    bool Interlaced = false;
    bool Transparent = false;  // mark TransparentColor as transparent when it occurs
    std::uint32_t TransparentColor = 0; // red in the lowest byte, then green, then blue
    std::uint8_t Disposal = 0; // 0 to 3: the GIF disposal method; other values write 0
    QString Comment;           // a comment extension before the frame; empty: none
};

// The whole picture.
struct TGifDocument {
    std::int32_t FrameCount = 0;                 // 1 to 256
    std::array<const TFrameInfo*, 256> Frames{}; // the first FrameCount are the frames, in order
    std::uint16_t LoopCount = 0;                 // of the looping block, 0 = endless
    // All frames share one palette. When the frames together have more than
    // 256 colours, each frame gets a palette of its own instead.
    bool GlobalPalette = true;
};

// Outcome of the last write.
enum : std::uint8_t {
    GifOk = 0,
    GifSchreibfehler = 2,      // the write failed (or the document is not one GIF can hold)
    GifZuVieleFarben = 4,      // a palette would need more than 256 colours
    GifPaletteAbgebrochen = 6, // a palette build did not finish
    GifGroesseUngueltig = 8,   // a picture without pixels, or beyond 65535 pixels
    GifDateiFehler = 10,       // the file could not be written
};
extern std::uint8_t GifLastError;

// The outcome of the last write as a German sentence for a message box;
// empty after success.
QString GifFehlertext();

// Saves `bitmap` as a single-frame GIF file, replacing an existing one. The
// file is written only when the whole picture was encoded, and replaced in
// one step, so a failure leaves the file as it was (or none).
bool SaveBitmapAsGif(const QString& fileName, const QImage& bitmap, bool interlaced = false,
                     bool transparent = false, std::uint32_t transparentColor = 0xFFFFFF);

// Writes `bitmap` as a single-frame GIF (global palette, no delay, no
// comment) to `stream`; nothing is written on failure.
bool WriteBitmapGif(QIODevice& stream, const QImage& bitmap, bool interlaced, bool transparent,
                    std::uint32_t transparentColor);

// Writes the document to `stream`; nothing is written on failure.
bool WriteGifDocument(QIODevice& stream, const TGifDocument& document);

// Bits per palette index for a palette of `colors` entries: 1 for up to 2,
// ..., 8 for up to 256; 0 for more (no GIF palette holds them).
int BitsForColors(int colors);
