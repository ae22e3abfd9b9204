#pragma once

#include <memory>

#include <QByteArray>
#include <QPaintDevice>
#include <QSize>
#include <QString>

namespace graphics {

class WmfPaintEngine;

// A paint device that records what a QPainter draws as a placeable Windows
// metafile (16-bit WMF), for other programs to read.
//
// The device is `sizeInPixels` large at 96 dpi, like the screen a label is
// laid out on. Coordinates are written in 1/(96·k) inch, k the largest whole
// number up to 15 that keeps the picture within the format's 16-bit
// coordinates, so positions keep fifteen steps per pixel (1440 units per inch,
// the usual twips) for pictures up to 2184 pixels a side.
//
// Recorded: pens (solid, dashed, dotted, width, colour), brushes (solid,
// hatched, none; other brushes as their colour), fonts (face, height, weight,
// italic, underline, strike-out, rotation), text in Windows-1252 with its
// character advances, lines, polylines, polygons, paths as polygons,
// rectangles, ellipses (as polygons once rotated or sheared), images as
// 24-bit bitmaps laid over white, and rectangular clipping. Text and images
// keep their colours; alpha is dropped.
class WmfWriter : public QPaintDevice {
public:
    explicit WmfWriter(const QSize& sizeInPixels);
    ~WmfWriter() override;
    WmfWriter(const WmfWriter&) = delete;
    WmfWriter& operator=(const WmfWriter&) = delete;

    QPaintEngine* paintEngine() const override;

    QSize sizeInPixels() const { return m_size; }
    int unitsPerPixel() const { return m_unitsPerPixel; }
    int unitsPerInch() const { return 96 * m_unitsPerPixel; }

    // The whole file with what has been painted so far; call it after the
    // painter has ended.
    QByteArray data() const;
    // Writes data() to `path`, replacing an existing file only once the new
    // one is complete. Failure is a GraphicsError naming the file.
    void save(const QString& path) const;

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    int m_unitsPerPixel = 1;
    std::unique_ptr<WmfPaintEngine> m_engine;
};

} // namespace graphics
