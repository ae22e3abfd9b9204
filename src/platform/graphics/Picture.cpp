#include "graphics/Picture.h"

#include <QBuffer>
#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>

#include "files/Paths.h"
#include "graphics/GraphicsError.h"
#include "graphics/WmfFormat.h"
#include "graphics/WmfReader.h"

namespace graphics {
namespace {

const QByteArray Wmf = QByteArrayLiteral("WMF");

// The reader format for a file extension or format hint; empty when we have
// none.
QByteArray formatFor(const QString& extension)
{
    const QString e = extension.toUpper();
    if (e == u"BMP" || e == u"DIB")
        return QByteArrayLiteral("BMP");
    if (e == u"JPG" || e == u"JPEG")
        return QByteArrayLiteral("JPG");
    if (e == u"GIF" || e == u"PNG" || e == u"WMF")
        return e.toLatin1();
    return {};
}

// An enhanced metafile: its header record (type 1) carries " EMF" at 40.
bool isEnhancedMetafile(const QByteArray& bytes)
{
    return bytes.size() >= 44 && bytes.startsWith(QByteArrayLiteral("\x01\0\0\0")) && bytes.mid(40, 4) == " EMF";
}

QByteArray sniff(const QByteArray& bytes)
{
    const auto at = [&](int i) { return quint8(bytes[i]); };
    const auto word = [&](int i) { return quint16(at(i) | (at(i + 1) << 8)); };
    if (bytes.startsWith("BM"))
        return QByteArrayLiteral("BMP");
    if (bytes.startsWith("GIF8"))
        return QByteArrayLiteral("GIF");
    if (bytes.startsWith("\x89PNG\r\n\x1a\n"))
        return QByteArrayLiteral("PNG");
    if (bytes.startsWith("\xFF\xD8\xFF"))
        return QByteArrayLiteral("JPG");
    if (bytes.size() >= 4 && (quint32(word(0)) | (quint32(word(2)) << 16)) == wmf::PlaceableKey)
        return Wmf;
    if (bytes.size() >= 6 && (word(0) == 1 || word(0) == wmf::DiskMetafile) && word(2) == wmf::MetaHeaderWords
        && (word(4) == 0x0100 || word(4) == wmf::MetaVersion))
        return Wmf;
    return {};
}

} // namespace

Picture Picture::decode(const QByteArray& bytes, const QByteArray& format, const QString& name)
{
    if (isEnhancedMetafile(bytes))
        throw GraphicsError(QStringLiteral("Das Bild „%1“ ist eine erweiterte Metadatei (EMF); dieses Format wird "
                                           "nicht unterstützt.").arg(name));
    if (format == Wmf) {
        Picture picture;
        picture.m_metafile = std::make_shared<const WmfReader>(bytes, name);
        return picture;
    }
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, format);
    reader.setDecideFormatFromContent(false);
    QImage image = reader.read();
    if (image.isNull())
        throw GraphicsError(QStringLiteral("Das Bild „%1“ ist beschädigt oder kein %2-Bild.")
                                .arg(name, QString::fromLatin1(format)));
    return Picture(std::move(image));
}

Picture::Picture(QImage image) : m_image(std::move(image)) {}

Picture Picture::load(const QString& path)
{
    const QString extension = QFileInfo(files::nativePath(path)).suffix();
    const QByteArray format = formatFor(extension);
    if (format.isEmpty())
        throw GraphicsError(QStringLiteral("Das Bildformat „.%1“ der Datei „%2“ wird nicht unterstützt.")
                                .arg(extension, path));
    const auto found = files::find(path);
    if (!found || !QFileInfo(*found).isFile())
        throw GraphicsError(QStringLiteral("Die Bilddatei „%1“ wurde nicht gefunden.").arg(path));
    QFile file(*found);
    if (!file.open(QIODevice::ReadOnly))
        throw GraphicsError(QStringLiteral("Die Bilddatei „%1“ kann nicht geöffnet werden.").arg(path));
    if (file.size() > MaxFileBytes)
        throw GraphicsError(QStringLiteral("Die Bilddatei „%1“ ist zu groß.").arg(path));
    const QByteArray bytes = file.readAll();
    if (bytes.size() != file.size())
        throw GraphicsError(QStringLiteral("Die Bilddatei „%1“ kann nicht gelesen werden.").arg(path));
    if (bytes.isEmpty())
        throw GraphicsError(QStringLiteral("Die Bilddatei „%1“ ist leer.").arg(path));
    return decode(bytes, format, path);
}

Picture Picture::fromData(const QByteArray& bytes, const QString& formatHint, const QString& origin)
{
    if (bytes.isEmpty())
        return {};
    QByteArray format = sniff(bytes);
    if (format.isEmpty())
        format = formatFor(formatHint);
    if (format.isEmpty() && isEnhancedMetafile(bytes))
        format = Wmf; // for the message that says what it is
    if (format.isEmpty())
        throw GraphicsError(QStringLiteral("Das Bild „%1“ hat ein unbekanntes Format.").arg(origin));
    return decode(bytes, format, origin);
}

Picture::Kind Picture::kind() const
{
    if (m_metafile)
        return Kind::Vector;
    return m_image.isNull() ? Kind::Empty : Kind::Raster;
}

QSize Picture::size() const
{
    if (m_metafile)
        return m_metafile->size();
    return m_image.size();
}

void Picture::draw(QPainter& painter, const QRectF& target) const
{
    if (m_metafile)
        m_metafile->play(painter, target);
    else if (!m_image.isNull())
        painter.drawImage(target, m_image);
}

QImage Picture::toImage(const QSize& size) const
{
    if (isEmpty() || size.isEmpty())
        return {};
    if (!m_metafile && size == m_image.size())
        return m_image;
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    draw(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

void saveBmp(const QImage& image, const QString& path)
{
    QImage flat(image.size(), QImage::Format_RGB888);
    flat.fill(Qt::white);
    {
        QPainter painter(&flat);
        painter.drawImage(0, 0, image);
    }
    QSaveFile file(files::resolveForWrite(path));
    if (!file.open(QIODevice::WriteOnly) || !QImageWriter(&file, "BMP").write(flat) || !file.commit())
        throw GraphicsError(QStringLiteral("Die Bitmap „%1“ kann nicht gespeichert werden.").arg(path));
}

Picture decodePicture(const QByteArray& bytes, const QString& origin)
{
    try {
        return Picture::fromData(bytes, {}, origin);
    } catch (const GraphicsError& error) {
        // The database engine's picture fields may carry a small header of
        // their own (count, type, size) before the bitmap.
        const qsizetype start = bytes.indexOf("BM");
        if (start > 0 && start <= 16) {
            try {
                return Picture::fromData(bytes.mid(start), QStringLiteral("BMP"), origin);
            } catch (const GraphicsError&) {
            }
        }
        // A damaged picture in one record must not stop browsing or printing.
        qWarning("%s", error.what());
        return {};
    }
}

} // namespace graphics
