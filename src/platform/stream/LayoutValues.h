#pragma once

#include <optional>

#include <QStringView>

#include "stream/Value.h"

namespace stream {

// Measurements as the band report library stores them in a layout. Lengths
// are in tenths of a millimetre whatever `Units` says: `Units` only chooses
// what the designer shows. Public forms show it: a report with
// "Units = Inches" on A4 still stores 2970 and 2100.
//
// How the places of the value lists were found, from public form files of
// other programs that use the library (text form):
// - fjcarazo/Contabilidad, trunk/sources/OSFinancials/Reports/
//   DebtorStatementReport.dfm: portrait A4 with
//   Page.Values = (100, 2970, 60, 2100, 130, 100, 0); its first band stands at
//   Left = 49 px (13 mm), Top = 23 px (6 mm), Width = 707 px (187 mm =
//   210 - 13 - 10). So place 3 is the top margin, place 5 the left margin,
//   place 6 the right margin; places 2 and 4 are length and width (landscape
//   forms of the same project swap 2970 and 2100).
// - Sembium/Sembium3, Client/rTreeDefault.dfm: Page.Values = (200, 2970,
//   100, 2100, 100, 100, 0) with the title band at Top = 38 px (10 mm): the
//   first place (20 mm) is not the top margin; it is the bottom margin.
// - A two-column report form (Page.Columns = 2) carries 100 in place 7
//   where one-column forms carry 0: place 7 is the column spacing.
// - Band sizes: rTreeDefault.dfm's title band, Height = 43 px and
//   Width = 718 px, stores Size.Values = (113.77, 1899.71): length (height),
//   then width. Printable elements store four places: its label with
//   Left = 16, Top = 8, Width = 689, Height = 25 stores (66.15, 42.33, 21.17,
//   1822.98): height, left, top, width.
struct PageValues {
    double bottomMargin = 100;
    double length = 2970;
    double topMargin = 100;
    double width = 2100;
    double leftMargin = 100;
    double rightMargin = 100;
    double columnSpace = 0;

    // From "Page.Values" and the single names "Page.BottomMargin",
    // "Page.Length", "Page.TopMargin", "Page.Width", "Page.LeftMargin",
    // "Page.RightMargin", "Page.ColumnSpace" (the single names win); what
    // is missing keeps the value above (A4 portrait, 10 mm margins, the most
    // common page in public forms).
    static PageValues fromProperties(const PropertyList& report);
    // The "Page.Values" list in the designer's form (extended numbers).
    Value toValue() const;
};

// "Size.Values" of a band.
struct BandSize {
    double length = 0; // the band's height
    double width = 0;

    static std::optional<BandSize> fromProperties(const PropertyList& band);
    Value toValue() const;
};

// "Size.Values" of a printable element.
struct ElementSize {
    double height = 0;
    double left = 0;
    double top = 0;
    double width = 0;

    static std::optional<ElementSize> fromProperties(const PropertyList& element);
    Value toValue() const;
};

// The report's `Units`.
enum class Units { MM, Inches, Pixels, Characters, Native };

// "MM", "Inches", "Pixels", "Characters", "Native"; nullopt for others.
std::optional<Units> unitsFromIdentifier(QStringView name);

} // namespace stream
