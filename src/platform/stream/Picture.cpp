#include "stream/Picture.h"

#include <array>

#include "codepage/CodePage.h"
#include "stream/StreamError.h"

namespace stream {

namespace {

// Classes whose data is a 32-bit size followed by their file.
constexpr std::array<const char16_t*, 3> kSizedClasses = {u"TBitmap", u"TJPEGImage", u"TMetafile"};
// Classes whose data is their file alone.
constexpr std::array<const char16_t*, 4> kPlainClasses = {u"TIcon", u"TPngImage", u"TPNGObject", u"TGIFImage"};

template <std::size_t N>
bool isOneOf(const QString& name, const std::array<const char16_t*, N>& names)
{
    for (const char16_t* candidate : names) {
        if (name.compare(QStringView(candidate), Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

[[noreturn]] void fail(const QString& fileName, const QString& detail)
{
    throw StreamError(QStringLiteral("Die Layoutdatei „%1“ enthält beschädigte Bilddaten: %2.")
                          .arg(fileName, detail)
                          .toStdString());
}

std::uint32_t sizeAt(const QByteArray& data, qsizetype offset)
{
    std::uint32_t size = 0;
    for (int i = 3; i >= 0; --i)
        size = (size << 8) | static_cast<std::uint8_t>(data[offset + i]);
    return size;
}

QByteArray sizedFile(const QByteArray& data, qsizetype offset, const QString& fileName)
{
    if (data.size() - offset < 4)
        fail(fileName, QStringLiteral("die Größenangabe fehlt"));
    const std::uint32_t size = sizeAt(data, offset);
    if (size > data.size() - offset - 4)
        fail(fileName, QStringLiteral("die Größenangabe %1 reicht über das Ende der Daten hinaus").arg(size));
    return data.mid(offset + 4, size);
}

void appendSize(QByteArray& out, qsizetype size)
{
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>(static_cast<std::uint32_t>(size) >> (8 * i)));
}

} // namespace

Picture Picture::fromPictureData(const QByteArray& data, const QString& fileName)
{
    if (data.isEmpty())
        return {};
    const auto nameLength = static_cast<std::uint8_t>(data[0]);
    if (nameLength == 0 || nameLength > data.size() - 1)
        fail(fileName, QStringLiteral("der Name der Grafikklasse fehlt"));
    Picture picture;
    picture.graphicClass = codepage::CodePage::windows1252().decode(data.mid(1, nameLength));
    const qsizetype offset = 1 + nameLength;
    if (isOneOf(picture.graphicClass, kSizedClasses)) {
        picture.file = sizedFile(data, offset, fileName);
    } else if (isOneOf(picture.graphicClass, kPlainClasses)) {
        picture.file = data.mid(offset);
    } else {
        // A class of its own: take a leading size when it matches the data
        // exactly, else the data as it stands.
        const qsizetype rest = data.size() - offset;
        const bool sized = rest >= 4 && sizeAt(data, offset) == static_cast<std::uint32_t>(rest - 4);
        picture.file = sized ? data.mid(offset + 4) : data.mid(offset);
    }
    return picture;
}

Picture Picture::fromGlyphData(const QByteArray& data, const QString& fileName)
{
    if (data.isEmpty())
        return {};
    return Picture{QString(), sizedFile(data, 0, fileName)};
}

QByteArray Picture::toPictureData() const
{
    QByteArray out;
    if (graphicClass.isEmpty()) {
        appendSize(out, file.size());
        out.append(file);
        return out;
    }
    const auto name = codepage::CodePage::windows1252().encodeExactly(graphicClass);
    if (!name || name->size() > 255) {
        throw StreamError(QStringLiteral("Der Name der Grafikklasse „%1“ kann nicht gespeichert werden.")
                              .arg(graphicClass)
                              .toStdString());
    }
    out.append(static_cast<char>(name->size()));
    out.append(name->data(), static_cast<qsizetype>(name->size()));
    if (!isOneOf(graphicClass, kPlainClasses))
        appendSize(out, file.size());
    out.append(file);
    return out;
}

bool Picture::isMetafile() const
{
    return graphicClass.compare(u"TMetafile", Qt::CaseInsensitive) == 0;
}

QImage Picture::toImage() const
{
    if (isEmpty() || isMetafile())
        return {};
    return QImage::fromData(file);
}

} // namespace stream
