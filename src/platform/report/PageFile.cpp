#include "report/PageFile.h"

#include <cmath>

#include <QBuffer>
#include <QDataStream>
#include <QFile>
#include <QSaveFile>

#include "report/ReportError.h"

namespace report {

namespace {

constexpr char kSignature[] = "MXQRP";
constexpr int kSignatureLength = 5;

// The smallest encoding of a page and of an item, to bound counts read from
// a damaged file before anything is allocated for them.
constexpr qint64 kMinPageBytes = 8 + 8 + 4;
constexpr qint64 kFontBytes = 4 + 8 + 4 + 3;
constexpr qint64 kMinItemBytes = 1 + 2 * 32 + 4 + kFontBytes + 4 + 4 + 8 + 8 + 1 + 4 + 1 + 4 + 1 + 8 + 4 + 1 + 4;

class Writer {
public:
    explicit Writer(QIODevice& device)
        : m_out(&device)
    {
        m_out.setVersion(QDataStream::Qt_6_4);
        m_out.setByteOrder(QDataStream::BigEndian);
        m_out.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

    void bytes(const QByteArray& data)
    {
        m_out << quint32(data.size());
        m_out.writeRawData(data.constData(), int(data.size()));
    }
    void text(const QString& value) { bytes(value.toUtf8()); }
    void rect(const QRectF& r) { m_out << r.x() << r.y() << r.width() << r.height(); }
    void color(const QColor& c) { m_out << quint32(c.rgba()); }
    void font(const QFont& f)
    {
        text(f.family());
        m_out << fontPoints(f) << qint32(f.weight()) << quint8(f.italic()) << quint8(f.underline())
              << quint8(f.strikeOut());
    }
    void picture(const QImage& image)
    {
        QByteArray png;
        if (!image.isNull()) {
            QBuffer buffer(&png);
            buffer.open(QIODevice::WriteOnly);
            image.save(&buffer, "PNG");
        }
        bytes(png);
    }
    void item(const DrawnItem& i)
    {
        m_out << quint8(i.kind);
        rect(i.rect);
        rect(i.clip);
        text(i.text);
        font(i.font);
        color(i.color);
        m_out << quint32(i.alignment) << i.lineSpacing << i.baseline << quint8(i.opaque);
        color(i.background);
        m_out << quint8(i.shape);
        color(i.penColor);
        m_out << quint8(i.penStyle) << i.penWidth;
        color(i.brushColor);
        m_out << quint8(i.brushStyle);
        picture(i.picture);
    }
    void pages(const std::vector<Page>& pages)
    {
        m_out.writeRawData(kSignature, kSignatureLength);
        m_out << PageFile::kVersion << quint32(pages.size());
        for (const Page& page : pages) {
            m_out << page.sizeMm.width() << page.sizeMm.height() << quint32(page.items.size());
            for (const DrawnItem& i : page.items)
                item(i);
        }
    }
    bool ok() const { return m_out.status() == QDataStream::Ok; }

private:
    QDataStream m_out;
};

// Every read is checked: a damaged file must end in a clear error, never in a
// huge allocation or a half-filled page.
class Reader {
public:
    Reader(const QByteArray& data, const QString& fileName)
        : m_buffer(const_cast<QByteArray*>(&data))
        , m_fileName(fileName)
    {
        m_buffer.open(QIODevice::ReadOnly);
        m_in.setDevice(&m_buffer);
        m_in.setVersion(QDataStream::Qt_6_4);
        m_in.setByteOrder(QDataStream::BigEndian);
        m_in.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

    [[noreturn]] void damaged() const
    {
        throw ReportError(
            QStringLiteral("Die Seitendatei \"%1\" ist beschädigt oder keine Seitendatei dieses Programms.")
                .arg(m_fileName));
    }

    qint64 remaining() const { return m_buffer.size() - m_buffer.pos(); }

    template <class T>
    T number()
    {
        T value{};
        m_in >> value;
        if (m_in.status() != QDataStream::Ok)
            damaged();
        return value;
    }
    double real()
    {
        const double value = number<double>();
        if (!std::isfinite(value))
            damaged();
        return value;
    }
    template <class E>
    E enumeration(int last)
    {
        const quint8 value = number<quint8>();
        if (value > last)
            damaged();
        return static_cast<E>(value);
    }
    bool flag() { return enumeration<int>(1) != 0; }
    QByteArray bytes()
    {
        const quint32 length = number<quint32>();
        if (length > remaining())
            damaged();
        QByteArray data(qsizetype(length), Qt::Uninitialized);
        if (m_in.readRawData(data.data(), int(length)) != int(length))
            damaged();
        return data;
    }
    QString text() { return QString::fromUtf8(bytes()); }
    QRectF rect()
    {
        const double x = real(), y = real(), w = real(), h = real();
        return {x, y, w, h};
    }
    QColor color() { return QColor::fromRgba(number<quint32>()); }
    QFont font()
    {
        QFont f(text());
        const double points = real();
        if (points <= 0.0 || points > 10000.0)
            damaged();
        f.setPointSizeF(points);
        const qint32 weight = number<qint32>();
        if (weight < 1 || weight > 1000)
            damaged();
        f.setWeight(QFont::Weight(weight));
        f.setItalic(flag());
        f.setUnderline(flag());
        f.setStrikeOut(flag());
        return f;
    }
    QImage picture()
    {
        const QByteArray png = bytes();
        if (png.isEmpty())
            return {};
        QImage image;
        if (!image.loadFromData(png, "PNG"))
            damaged();
        return image;
    }
    DrawnItem item()
    {
        DrawnItem i;
        i.kind = enumeration<ItemKind>(int(ItemKind::Picture));
        i.rect = rect();
        i.clip = rect();
        i.text = text();
        i.font = font();
        i.color = color();
        i.alignment = Qt::Alignment(number<quint32>() & Qt::AlignHorizontal_Mask);
        i.lineSpacing = real();
        i.baseline = real();
        i.opaque = flag();
        i.background = color();
        i.shape = enumeration<ShapeKind>(int(ShapeKind::RightAndLeft));
        i.penColor = color();
        i.penStyle = enumeration<Qt::PenStyle>(Qt::DashDotDotLine);
        i.penWidth = real();
        i.brushColor = color();
        i.brushStyle = enumeration<Qt::BrushStyle>(Qt::DiagCrossPattern);
        i.picture = picture();
        return i;
    }
    std::vector<Page> pages()
    {
        char signature[kSignatureLength];
        if (m_in.readRawData(signature, kSignatureLength) != kSignatureLength
            || !std::equal(signature, signature + kSignatureLength, kSignature))
            damaged();
        const quint16 version = number<quint16>();
        if (version == 0)
            damaged();
        if (version > PageFile::kVersion)
            throw ReportError(QStringLiteral("Die Seitendatei \"%1\" hat die Version %2; dieses Programm liest "
                                             "nur Seitendateien bis zur Version %3.")
                                  .arg(m_fileName)
                                  .arg(version)
                                  .arg(PageFile::kVersion));
        const quint32 pageCount = number<quint32>();
        if (qint64(pageCount) * kMinPageBytes > remaining())
            damaged();
        std::vector<Page> result;
        result.reserve(pageCount);
        for (quint32 p = 0; p < pageCount; ++p) {
            Page page;
            const double width = real(), height = real();
            if (width <= 0.0 || height <= 0.0)
                damaged();
            page.sizeMm = QSizeF(width, height);
            const quint32 itemCount = number<quint32>();
            if (qint64(itemCount) * kMinItemBytes > remaining())
                damaged();
            page.items.reserve(itemCount);
            for (quint32 i = 0; i < itemCount; ++i)
                page.items.push_back(item());
            result.push_back(std::move(page));
        }
        if (remaining() != 0)
            damaged();
        return result;
    }

private:
    QBuffer m_buffer;
    QDataStream m_in;
    QString m_fileName;
};

} // namespace

void PageFile::save(const std::vector<Page>& pages, const QString& fileName)
{
    QSaveFile file(fileName);
    auto cannotWrite = [&] {
        return ReportError(QStringLiteral("Die Seitendatei \"%1\" kann nicht geschrieben werden: %2")
                               .arg(fileName, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw cannotWrite();
    Writer writer(file);
    writer.pages(pages);
    if (!writer.ok() || !file.commit())
        throw cannotWrite();
}

std::vector<Page> PageFile::load(const QString& fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw ReportError(QStringLiteral("Die Seitendatei \"%1\" kann nicht geöffnet werden: %2")
                              .arg(fileName, file.errorString()));
    const QByteArray data = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw ReportError(QStringLiteral("Die Seitendatei \"%1\" kann nicht gelesen werden: %2")
                              .arg(fileName, file.errorString()));
    Reader reader(data, fileName);
    return reader.pages();
}

} // namespace report
