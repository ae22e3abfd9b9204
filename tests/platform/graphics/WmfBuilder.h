#pragma once

#include <initializer_list>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include <QByteArray>
#include <QColor>
#include <QImage>

#include "graphics/WmfFormat.h"

namespace graphics::test {

inline void put16(QByteArray& out, int v) { out.append(char(v & 0xFF)).append(char((v >> 8) & 0xFF)); }
inline void put32(QByteArray& out, quint32 v) { put16(out, int(v & 0xFFFF)); put16(out, int(v >> 16)); }
inline quint16 word(const QByteArray& b, qsizetype at) { return quint16(quint8(b[at]) | (quint8(b[at + 1]) << 8)); }
inline quint32 dword(const QByteArray& b, qsizetype at) { return word(b, at) | (quint32(word(b, at + 2)) << 16); }

// Metafiles written by hand, record by record, as a test states them.
class WmfBuilder {
public:
    WmfBuilder& record(quint16 function, std::initializer_list<int> params, const QByteArray& tail = {})
    {
        QByteArray p;
        for (int v : params)
            put16(p, v);
        p.append(tail);
        if (p.size() % 2)
            p.append('\0');
        put32(m_records, quint32(3 + p.size() / 2));
        put16(m_records, function);
        m_records.append(p);
        return *this;
    }
    WmfBuilder& raw(const QByteArray& bytes) { m_records.append(bytes); return *this; }

    // Colour words as a COLORREF stores them.
    static int rg(const QColor& c) { return c.red() | (c.green() << 8); }
    static int b(const QColor& c) { return c.blue(); }

    WmfBuilder& window(int x, int y, int w, int h)
    {
        return record(wmf::SetWindowOrg, {y, x}).record(wmf::SetWindowExt, {h, w});
    }
    WmfBuilder& pen(int style, int width, const QColor& c)
    {
        return record(wmf::CreatePenIndirect, {style, width, 0, rg(c), b(c)});
    }
    WmfBuilder& brush(const QColor& c, int style = wmf::BsSolid, int hatch = 0)
    {
        return record(wmf::CreateBrushIndirect, {style, rg(c), b(c), hatch});
    }
    WmfBuilder& select(int slot) { return record(wmf::SelectObject, {slot}); }
    WmfBuilder& remove(int slot) { return record(wmf::DeleteObject, {slot}); }
    WmfBuilder& rectangle(int l, int t, int r, int bottom) { return record(wmf::Rectangle, {bottom, r, t, l}); }

    // The records alone, behind a META header.
    QByteArray plain(int objects = 8, bool withEof = true) const
    {
        QByteArray body = m_records;
        if (withEof)
            body.append(QByteArray::fromHex("030000000000"));
        QByteArray out;
        put16(out, 1);
        put16(out, 9);
        put16(out, wmf::MetaVersion);
        put32(out, quint32(9 + body.size() / 2));
        put16(out, objects);
        put32(out, 0);
        put16(out, 0);
        return out + body;
    }

    // A placeable file whose frame is (0, 0)-(w, h).
    QByteArray placeable(int w, int h, int unitsPerInch = 96, int objects = 8, bool withEof = true) const
    {
        QByteArray head;
        put32(head, wmf::PlaceableKey);
        put16(head, 0);
        put16(head, 0);
        put16(head, 0);
        put16(head, w);
        put16(head, h);
        put16(head, unitsPerInch);
        put32(head, 0);
        put16(head, wmf::placeableChecksum(reinterpret_cast<const unsigned char*>(head.constData())));
        return head + plain(objects, withEof);
    }

private:
    QByteArray m_records;
};

// A DIB of `image` at `bits` per pixel (1, 4, 8 with a colour table of the
// image's colours; 24 or 32 without), rows bottom-up unless `topDown`.
QByteArray makeDib(const QImage& image, int bits, bool topDown = false);

// The metafile played onto a white image of `size`, as a viewer shows it.
QImage render(const QByteArray& file, const QSize& size = QSize(100, 100));

// Pixels as (x, y, colour) that a picture must show.
using Pixels = std::vector<std::tuple<int, int, QColor>>;

inline void expectPixels(const QImage& image, const Pixels& pixels, const char* what = "")
{
    for (const auto& [x, y, colour] : pixels)
        EXPECT_EQ(image.pixelColor(x, y), colour) << what << " at " << x << "," << y;
}

// How many pixels of `area` are dark: the ink that text or lines left.
inline int inkIn(const QImage& image, const QRect& area)
{
    int ink = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ink += qGray(image.pixel(x, y)) < 128;
    return ink;
}

} // namespace graphics::test

namespace graphics::test {

// The records of a placeable file as stored, for tests that check what a
// writer put down.
struct StoredRecord {
    quint16 function = 0;
    QByteArray params;
    int param(int i) const { return qint16(word(params, 2 * i)); }
};

inline std::vector<StoredRecord> storedRecords(const QByteArray& placeableFile)
{
    std::vector<StoredRecord> records;
    qsizetype pos = wmf::PlaceableHeaderBytes + 2 * wmf::MetaHeaderWords;
    while (pos + 6 <= placeableFile.size()) {
        const quint32 words = dword(placeableFile, pos);
        StoredRecord r{word(placeableFile, pos + 4), placeableFile.mid(pos + 6, 2 * (qsizetype(words) - 3))};
        records.push_back(r);
        if (words < 3 || r.function == wmf::Eof)
            break;
        pos += 2 * qsizetype(words);
    }
    return records;
}

} // namespace graphics::test
