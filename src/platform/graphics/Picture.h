#pragma once

#include <memory>

#include <QImage>
#include <QRectF>
#include <QSize>
#include <QString>

class QPainter;

namespace graphics {

class WmfReader;

// A picture as the program holds it: nothing, a raster image or a metafile
// drawn afresh at whatever size it is shown. Copies share their data.
class Picture {
public:
    enum class Kind { Empty, Raster, Vector };

    Picture() = default;
    explicit Picture(QImage image);

    // Files larger than this are no pictures the program shows.
    static constexpr qint64 MaxFileBytes = 64 * 1024 * 1024;

    // Loads a picture file, choosing the format by the extension whatever its
    // case: BMP, DIB, GIF, PNG, JPG, JPEG and WMF. The file is found ignoring
    // case and may be written with "\". A missing, unreadable or damaged file
    // or another extension is a GraphicsError naming the file.
    static Picture load(const QString& path);

    // A picture from a table field or layout: the format is recognised by the
    // data's signature (BMP, GIF, PNG, JPEG, placeable or plain WMF), else
    // taken from `formatHint` (an extension such as "BMP" or "WMF"). No data
    // is an empty picture. `origin` names the data in messages.
    static Picture fromData(const QByteArray& bytes, const QString& formatHint = {},
                            const QString& origin = QStringLiteral("Bilddaten"));

    Kind kind() const;
    bool isEmpty() const { return kind() == Kind::Empty; }
    // Pixels; a metafile's at 96 dpi from its frame and units per inch.
    QSize size() const;
    // Draws the picture stretched into `target`; an empty one draws nothing.
    void draw(QPainter& painter, const QRectF& target) const;
    // The picture rendered at `size` on a transparent ground; a null image
    // for an empty picture or an empty size.
    QImage toImage(const QSize& size) const;
    QImage toImage() const { return toImage(size()); }

private:
    // Reads `bytes` as `format` ("WMF" or a Qt reader's name).
    static Picture decode(const QByteArray& bytes, const QByteArray& format, const QString& name);

    QImage m_image;
    std::shared_ptr<const WmfReader> m_metafile;
};

// The picture in the bytes of a picture field (BMP, GIF, PNG, JPEG, WMF);
// empty when the bytes hold none that can be read, the reason logged.
// `origin` names the data.
Picture decodePicture(const QByteArray& bytes, const QString& origin);

// Saves `image` as a Windows bitmap file with a plain BITMAPINFOHEADER and 24
// bits per pixel, transparent parts laid over white; the file is replaced
// only once the new one is written. Failure is a GraphicsError naming it.
void saveBmp(const QImage& image, const QString& path);

} // namespace graphics
