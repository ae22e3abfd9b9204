#pragma once

#include <QByteArray>
#include <QString>

#include "fixtures/TempDir.h"
#include "stream/ClassRegistry.h"
#include "stream/LayoutValues.h"

namespace streamtest {

// Bytes from hex text with blanks and quoted ASCII: "06 05 'Hallo' 00".
inline QByteArray bytes(const char* text)
{
    QByteArray out;
    QByteArray hex;
    for (const char* p = text; *p; ++p) {
        if (*p == '\'') {
            for (++p; *p && *p != '\''; ++p)
                out.append(*p);
        } else if (*p != ' ') {
            hex.append(*p);
            if (hex.size() == 2) {
                out.append(QByteArray::fromHex(hex));
                hex.clear();
            }
        }
    }
    return out;
}

inline QByteArray le32(qsizetype value)
{
    QByteArray out;
    for (int i = 0; i < 4; ++i)
        out.append(static_cast<char>(static_cast<quint32>(value) >> (8 * i)));
    return out;
}

// A short string as the stream stores names.
inline QByteArray shortString(const QByteArray& text)
{
    return QByteArray(1, static_cast<char>(text.size())) + text;
}

// "TPF0", a TOwnQuickRep named "R" with the given property bytes (name +
// value each, without the closing zero) and no children.
inline QByteArray record(const QByteArray& properties)
{
    return "TPF0" + shortString("TOwnQuickRep") + shortString("R") + properties + QByteArray(2, '\0');
}

inline QByteArray property(const QByteArray& name, const QByteArray& value)
{
    return shortString(name) + value;
}

inline stream::ClassRegistry layoutClasses()
{
    return {"TQRMemo", "TQRBand", "TQRChildBand", "TQRLabel", "TQRShape", "TQRImage", "TImage",
            "TShape", "TOwnShape", "TMemo", "TLabel", "TOwnBand", "TOwnQuickRep", "TQuickRep",
            "TQRGroup", "TQRSubDetail", "TQRExpr", "TTable", "TQuery"};
}

// Page values in their stored order: bottom margin, length, top margin,
// width, left and right margin, column space.
inline std::vector<double> stored(const stream::PageValues& p)
{
    return {p.bottomMargin, p.length, p.topMargin, p.width, p.leftMargin, p.rightMargin, p.columnSpace};
}

inline QString dataFile(const char* name)
{
    return QString::fromStdString((fixtures::testDataDir() / "stream" / name).string());
}

} // namespace streamtest
