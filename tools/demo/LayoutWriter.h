#pragma once

#include <optional>
#include <utility>
#include <vector>

#include <QRect>
#include <QString>
#include <QStringList>

#include "reports/Elementart.h"
#include "stream/Colour.h"
#include "stream/Object.h"

// What the demo's layouts (the substance sheet, the reports) are written
// with: the layout designer's measures, the demo's colours and fonts, a band
// with its elements, and the report record that names the bands.
namespace demo {

// The designer stores geometry in screen pixels at 96 dpi and page measures
// in tenths of a millimetre.
inline constexpr double kPixelsPerMm = 96.0 / 25.4;

// Page measures are never negative, so rounding half up is rounding.
constexpr int px(double mm)
{
    return static_cast<int>(mm * kPixelsPerMm + 0.5);
}

double tenthsMm(int pixels);

// A portrait page; the bands span the width between the side margins.
struct Seite {
    double widthMm = 210.0;
    double lengthMm = 297.0;
    double sideMarginMm = 15.0;
    double topMarginMm = 12.0;
    double bottomMarginMm = 12.0;

    constexpr int bandLeft() const { return px(sideMarginMm); }
    constexpr int bandWidth() const { return px(widthMm - 2 * sideMarginMm); }
};

extern const stream::Colour kBlack;
extern const stream::Colour kInk;   // headings, rules
extern const stream::Colour kMuted; // labels, footer
extern const stream::Colour kBar;
extern const stream::Colour kRule;

// A font as the designer stores it: height negative for a character height
// in pixels at 96 dpi (-12 is 9 pt).
struct Schrift {
    int height;
    QStringList style;
    stream::Colour colour;
};

extern const Schrift kBody;
extern const Schrift kLabel;
extern const Schrift kHeading;
extern const Schrift kCaption;
extern const Schrift kSmall;

stream::Value colourValue(const stream::Colour& colour);

// The German designation of each of the ten hazard symbol codes.
extern const std::pair<const char*, const char*> kGefahrBezeichnungen[10];

// One band: its properties for the report record and its elements for its
// own record. Element names are unique over the whole layout, as the
// designer keeps them, by the band's name as their prefix.
class LayoutBand {
public:
    LayoutBand(const Seite& seite, const QString& name, const char* bandType, int top, int height);

    int top() const { return m_top; }
    int bottom() const { return m_top + m_height; }
    int width() const { return m_width; }
    void frameTop(const stream::Colour& colour) { m_frameTop = colour; }
    void frameBottom(const stream::Colour& colour) { m_frameBottom = colour; }

    stream::Object header() const;
    stream::Object record() const;

    void text(const QString& name, QRect r, const QString& caption, const Schrift& font, bool wordWrap = false);
    // A field of a table, as "[table field]".
    void field(const QString& name, QRect r, const QString& reference, const Schrift& font = kBody);
    void conditional(const QString& name, QRect r, const QString& caption, const Schrift& font = kBody,
                     bool wordWrap = false);
    void label(const QString& name, int left, int top, int width, const QString& caption);
    // A picture the engine chooses when it fills the document.
    void picture(const QString& name, reports::Elementart art, QRect r, const QString& hint = {});
    void storedPicture(const QString& name, QRect r, const QByteArray& png);
    void shape(const QString& name, QRect r, const char* shape, const stream::Colour& pen, int penWidth,
               std::optional<stream::Colour> fill = std::nullopt);
    void memo(const QString& name, reports::Elementart art, QRect r, const QStringList& lines,
              const Schrift& font = kBody);
    // A sum formula: the substance's own (caption empty) or, for a field
    // formula, any field as "=[table field]".
    void formula(const QString& name, reports::Elementart art, QRect r, const Schrift& font,
                 const QString& caption = {});
    // "#1" date, "#3" page number: the digit after the first character.
    void systemData(const QString& name, QRect r, const QString& caption, const Schrift& font);
    // A tinted bar across the band with a heading on it.
    void sectionBar(const QString& heading);

private:
    stream::Object& add(const QString& className, const QString& name, reports::Elementart art, QRect r);

    QString m_name;
    QString m_bandType;
    int m_left;
    int m_width;
    int m_top;
    int m_height;
    std::optional<stream::Colour> m_frameTop;
    std::optional<stream::Colour> m_frameBottom;
    std::vector<stream::Object> m_elements;
};

// The records of a report layout ("STO" or "REP") as the designer stores
// them: the report (`className` named `name`) with the page, the title, the
// description lines and a header for every band, then one record per band
// with its elements.
std::vector<stream::Object> layoutRecords(const QString& className, const QString& name, const Seite& seite,
                                          const QString& title, const QStringList& description,
                                          const std::vector<LayoutBand>& bands);

} // namespace demo
