#pragma once

#include <vector>

#include <QByteArray>
#include <QImage>
#include <QRect>
#include <QSize>
#include <QString>

class QPainter;
class QRectF;

namespace graphics {

// A 16-bit Windows metafile, placeable or plain, checked through and ready
// to be played onto any QPainter at any size.
//
// Everything that could go wrong is found when the file is read: record
// sizes, parameter counts, object-table indexes and embedded bitmaps. A
// damaged file is a GraphicsError then, and playing never fails later.
// Records we do not draw are skipped. The placeable header's checksum is not
// checked: Windows and libwmf ignore it as well, and a pictogram file with a
// wrong one is still a good picture.
//
// The picture frame (the placeable header's bounding box, or for a plain file
// its first window, or else the extent of what it draws) is mapped onto the
// target rectangle; SetWindowOrg/SetWindowExt move and scale the window in
// the anisotropic mapping that a player sets up for a placeable file. After
// SetMapMode(MM_TEXT) the extent stays the frame's and only the origin moves;
// the isotropic mode keeps the aspect ratio; other modes count as MM_TEXT.
// Text stays upright when the window flips an axis, as Windows draws it.
class WmfReader {
public:
    // `name` (a file name or where the data came from) appears in messages.
    WmfReader(const QByteArray& data, const QString& name);

    bool isPlaceable() const { return m_placeable; }
    QRect frame() const { return m_frame; }       // logical units
    int unitsPerInch() const { return m_unitsPerInch; }
    QSize size() const;                           // pixels at 96 dpi
    int recordCount() const { return int(m_records.size()); }

    void play(QPainter& painter, const QRectF& target) const;

private:
    friend class WmfPlayer;
    struct Record {
        quint16 function = 0;
        qsizetype offset = 0;     // first parameter byte
        qsizetype words = 0;      // parameter words
        QImage bitmap;            // decoded once for bitmap records
        bool bottomUp = true;
    };

    QByteArray m_data;
    std::vector<Record> m_records;
    bool m_placeable = false;
    QRect m_frame;
    int m_unitsPerInch = 96;
    int m_objectSlots = 0;
};

} // namespace graphics
