#include "WmfBuilder.h"

#include <QList>
#include <QPainter>

#include "graphics/WmfReader.h"

namespace graphics::test {

QByteArray makeDib(const QImage& source, int bits, bool topDown)
{
    const QImage image = source.convertToFormat(QImage::Format_RGB32);
    QList<QRgb> table;
    if (bits <= 8) {
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (!table.contains(image.pixel(x, y)))
                    table.append(image.pixel(x, y));
    }
    const int stride = ((image.width() * bits + 31) / 32) * 4;
    QByteArray out;
    put32(out, 40);
    put32(out, quint32(image.width()));
    put32(out, quint32(topDown ? -image.height() : image.height()));
    put16(out, 1);
    put16(out, bits);
    put32(out, 0);
    put32(out, quint32(stride * image.height()));
    put32(out, 0);
    put32(out, 0);
    put32(out, quint32(table.size()));
    put32(out, 0);
    for (QRgb c : table)
        out.append(char(qBlue(c))).append(char(qGreen(c))).append(char(qRed(c))).append('\0');
    for (int i = 0; i < image.height(); ++i) {
        const int y = topDown ? i : image.height() - 1 - i;
        QByteArray row(stride, '\0');
        for (int x = 0; x < image.width(); ++x) {
            const QRgb c = image.pixel(x, y);
            if (bits <= 8) {
                const int index = int(table.indexOf(c));
                const int perByte = 8 / bits;
                const int shift = 8 - bits * (1 + x % perByte);
                row[x / perByte] = char(quint8(row[x / perByte]) | (index << shift));
            } else {
                const int at = x * bits / 8;
                row[at] = char(qBlue(c)), row[at + 1] = char(qGreen(c)), row[at + 2] = char(qRed(c));
            }
        }
        out.append(row);
    }
    return out;
}

QImage render(const QByteArray& file, const QSize& size)
{
    const WmfReader reader(file, QStringLiteral("test.wmf"));
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    reader.play(painter, QRectF(QPointF(0, 0), QSizeF(size)));
    return image;
}

} // namespace graphics::test
