#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include <QDateTime>
#include <QRectF>
#include <QSizeF>
#include <QString>

#include "report/Band.h"
#include "report/Units.h"

namespace report {

struct Margins {
    double top = 0.0;
    double bottom = 0.0;
    double left = 0.0;
    double right = 0.0;
};

// The page of a report. Values are given and read in the current units and
// kept in millimetres, so changing the units later keeps the page as it is.
// The paper's size comes from the paper; length and width count only for a
// Custom paper.
class PageSetup {
public:
    Unit units() const { return m_units; }
    void setUnits(Unit units) { m_units = units; }

    PaperSize paperSize() const { return m_paper; }
    void setPaperSize(PaperSize paper) { m_paper = paper; }
    Orientation orientation() const { return m_orientation; }
    void setOrientation(Orientation orientation) { m_orientation = orientation; }

    void setLength(double value) { m_lengthMm = toMm(value, m_units, Axis::Vertical); }
    void setWidth(double value) { m_widthMm = toMm(value, m_units, Axis::Horizontal); }
    void setTopMargin(double value) { m_margins.top = toMm(value, m_units, Axis::Vertical); }
    void setBottomMargin(double value) { m_margins.bottom = toMm(value, m_units, Axis::Vertical); }
    void setLeftMargin(double value) { m_margins.left = toMm(value, m_units, Axis::Horizontal); }
    void setRightMargin(double value) { m_margins.right = toMm(value, m_units, Axis::Horizontal); }

    double length() const { return fromMm(m_lengthMm, m_units, Axis::Vertical); }
    double width() const { return fromMm(m_widthMm, m_units, Axis::Horizontal); }
    double topMargin() const { return fromMm(m_margins.top, m_units, Axis::Vertical); }
    double bottomMargin() const { return fromMm(m_margins.bottom, m_units, Axis::Vertical); }
    double leftMargin() const { return fromMm(m_margins.left, m_units, Axis::Horizontal); }
    double rightMargin() const { return fromMm(m_margins.right, m_units, Axis::Horizontal); }

    const Margins& marginsMm() const { return m_margins; }
    // The sheet as it lies: width and height swapped for landscape.
    QSizeF pageSizeMm() const;
    // Inside the margins; never negative, however large the margins.
    QRectF printableRectMm() const;

private:
    Unit m_units = Unit::MM;
    PaperSize m_paper = PaperSize::A4;
    Orientation m_orientation = Orientation::Portrait;
    double m_lengthMm = 297.0;
    double m_widthMm = 210.0;
    Margins m_margins{10.0, 10.0, 10.0, 10.0};
};

// The records a detail band is printed for; the program implements it over
// its tables. The report calls first() once after beforePrint, before the
// first band, then next() after each record, and stops at eof().
class DataSource {
public:
    virtual ~DataSource() = default;
    virtual void first() = 0;
    virtual void next() = 0;
    virtual bool eof() const = 0;
    // The number of records, when the source knows it (system data "detail
    // count"); without it the count is that of the details printed so far.
    virtual std::optional<int> recordCount() const { return std::nullopt; }
};

// The program's hooks into a run. Each is optional.
struct ReportEvents {
    // Once, before the first band is laid out.
    std::function<void()> beforePrint;
    // Before every band (child bands too); clearing print suppresses the band
    // and its children, which then take no space.
    std::function<void(Band& band, bool& print)> beforeBand;
    // Once at the end of every print run (printer or PDF), on every path;
    // completed is false when the run failed or stopped early.
    std::function<void(bool completed)> afterPrint;
    // Once when a preview ends, after its build has stopped; completed is
    // false when the preview was closed before the last page was built.
    std::function<void(bool completed)> afterPreview;
};

class Report {
public:
    Report();
    ~Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    PageSetup& page() { return m_page; }
    const PageSetup& page() const { return m_page; }

    QString title;
    ReportEvents events;
    // The detail band prints once per record of the data source, or, without
    // one, once per "yes" of needData (asked before the first detail and after
    // each); with neither, once.
    DataSource* dataSource = nullptr; // not owned
    std::function<bool()> needData;
    // The moment that date and time system data print; read once per run.
    std::function<QDateTime()> clock = [] { return QDateTime::currentDateTime(); };

    // Bands of one type print in the order they were added. A band of type
    // Child belongs to the band whose childBand() it is; added here it
    // belongs to none and never prints.
    Band& addBand(BandType type);
    const std::vector<std::unique_ptr<Band>>& bands() const { return m_bands; }

private:
    PageSetup m_page;
    std::vector<std::unique_ptr<Band>> m_bands;
};

} // namespace report
