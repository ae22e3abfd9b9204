#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>

namespace stream {

// A picture as a layout stores it in a binary property.
//
// "Picture.Data" holds the graphic's class name as a short string, then the
// class's own data. Bitmaps, JPEG images and metafiles write a 32-bit size
// and then their file (BMP, JPEG, WMF/EMF); icons, PNG and GIF images write
// their file directly. Seen in public form files: "TBitmap" + size + "BM...",
// "TJPEGImage" + size + FF D8, "TMetafile" + size + D7 CD C6 9A (placeable
// WMF) or 01 00 00 00 (EMF), "TIcon" + 00 00 01 00, "TPngImage" + 89 "PNG",
// "TGIFImage" + "GIF89a"; an empty bitmap is "TBitmap" + size 0.
//
// Glyph-style properties of a fixed class ("Glyph.Data", a bitmap) have no
// class name: the size and the BMP file follow at once.
struct Picture {
    QString graphicClass; // empty for glyph data
    QByteArray file;      // the graphic's own file; empty for an empty picture

    // Parses a "Picture.Data" value; a size that runs past the data is a
    // StreamError naming the file.
    static Picture fromPictureData(const QByteArray& data, const QString& fileName);
    static Picture fromGlyphData(const QByteArray& data, const QString& fileName);
    // The "Picture.Data" value for this picture (the demo data generator
    // stores its pictures so).
    QByteArray toPictureData() const;

    bool isEmpty() const { return file.isEmpty(); }
    bool isMetafile() const;
    // The decoded image for the file kinds Qt reads (BMP, JPEG, PNG, GIF,
    // ICO); a null image for metafiles, which the graphics layer draws, and
    // for data no reader accepts.
    QImage toImage() const;
};

} // namespace stream
