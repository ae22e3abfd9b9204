#pragma once

#include <QString>
#include <QStringList>

#include "stream/Colour.h"

namespace stream {

// A font as the component library stores it. Height is negative for a
// character height in pixels at 96 dpi (-13 is 10 pt), positive for a cell
// height including the internal leading.
struct Font {
    static constexpr int kDefaultCharset = 1; // DEFAULT_CHARSET

    QString name = QStringLiteral("MS Sans Serif");
    int height = -11;
    QStringList style; // fsBold, fsItalic, fsUnderline, fsStrikeOut
    Colour colour = Colour(Colour::kSystemFlag | 8); // clWindowText
    int charset = kDefaultCharset;

    bool bold() const { return hasStyle(u"fsBold"); }
    bool italic() const { return hasStyle(u"fsItalic"); }
    bool underline() const { return hasStyle(u"fsUnderline"); }
    bool strikeOut() const { return hasStyle(u"fsStrikeOut"); }
    // The size in points, from the height at the designer's 96 dpi.
    double pointSize() const;

    // "ANSI_CHARSET", "DEFAULT_CHARSET", ...; nullopt for unknown names.
    static std::optional<int> charsetFromIdentifier(QStringView name);

    friend bool operator==(const Font&, const Font&) = default;

private:
    bool hasStyle(QStringView member) const { return style.contains(member, Qt::CaseInsensitive); }
};

} // namespace stream
