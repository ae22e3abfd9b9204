#pragma once

#include <exception>

#include <deque>
#include <vector>

#include <QObject>
#include <QString>
#include <QTimer>

#include "report/Element.h"
#include "report/Page.h"
#include "report/Report.h"
#include "report/TextLayout.h"

namespace report {

// Lays out a report into recorded pages, a band at a time, on the thread that
// owns the report (the user-interface thread: the program's hooks move its
// tables, and no other thread may).
//
// Page flow: on every page the page header comes first, then (after the
// title on page one) the column header, and the page footer sits at the foot
// of the printable area, its room kept free on every page. Overlay bands are
// drawn at the top of the printable area and take no room. The title prints
// once, then group headers, the detail band (with sub-details) once per
// record, group footers, and the summary at the end. There is no grouping by
// value: group headers and footers frame the whole run of details. Each band
// brings its child chain right after it. A band that does not fit into the
// room left on the page moves to the next page; one that does not fit even
// on an empty page is printed there, cut off at the footer's room.
//
// A preview builds in slices from the event loop (start()), so that its
// window shows page one while later pages are still being built; close()
// stops the build between two bands and then runs the report's afterPreview
// exactly once. Printing builds everything at once (buildAll()).
class PageBuilder : public QObject {
    Q_OBJECT
public:
    enum class Purpose { Print, Preview };
    enum class Status { Ready, Busy, Finished, Cancelled, Failed };

    // The report must outlive its builder.
    explicit PageBuilder(Report& report, Purpose purpose = Purpose::Preview, QObject* parent = nullptr);
    // A preview builder that was never closed closes here, so the program's
    // restore runs however the preview ends.
    ~PageBuilder() override;

    // Lays out up to maxBands more bands; false once nothing is left to do.
    // Hook exceptions pass through (the status is then Failed).
    bool buildSome(int maxBands);
    void buildAll();

    // Builds in slices of bandsPerSlice bands from the event loop; a failure
    // on the way is reported by failed() instead of thrown.
    void start(int bandsPerSlice = 25);
    // Stops the build between two bands; pages built so far stay.
    void cancel();
    // Ends a preview: stops the build, then runs afterPreview once. Called
    // from inside a hook, it takes effect as soon as the current band is done.
    void close();

    Status status() const { return m_status; }
    bool isBusy() const { return m_status == Status::Ready || m_status == Status::Busy; }
    bool isFinished() const { return m_status == Status::Finished; }
    const std::vector<Page>& pages() const { return m_pages; }
    QString errorMessage() const { return m_error; }
    // The exception that stopped the build, for a caller that words errors
    // from outside the program's own texts for the user; null otherwise.
    std::exception_ptr failure() const { return m_failure; }

signals:
    // A page is complete (its footer printed); pageNumber counts from 1.
    void pageAdded(int pageNumber);
    // The build has ended: completed is true when every band was laid out.
    void finished(bool completed);
    void failed(const QString& message);

private:
    enum class Phase { Start, Title, ColumnHeader, GroupHeader, Details, GroupFooter, Summary, Close, Done };
    struct Rendered {
        std::vector<DrawnItem> items;
        double height = 0.0;
    };

    void step();
    void runSlice();
    void end(Status status);
    void finishClose();
    void queueBands(BandType type);
    bool nextRecord();
    bool hasEnabled(BandType type) const;

    void openPage();
    void closePage();
    bool askToPrint(Band& band);
    Rendered render(const Band& band) const;
    void place(Rendered rendered, double top, const QRectF& region);
    // Bands at fixed places (headers, footers, overlays): no page break.
    void printFixed(Band& band, const QRectF& region, bool advance);
    void printFixedBands(BandType type, const QRectF& region, bool advance);
    void printColumnHeaders();
    void printBody(Band& band);
    double chainHeight(const Band& band) const;

    Report& m_report;
    Purpose m_purpose;
    TextMeasure m_measure;
    QTimer m_timer;
    int m_bandsPerSlice = 25;

    Status m_status = Status::Ready;
    Phase m_phase = Phase::Start;
    std::deque<Band*> m_queue;
    std::vector<Page> m_pages;
    QString m_error;
    std::exception_ptr m_failure;

    bool m_pageOpen = false;
    Page m_page;
    double m_y = 0.0;
    double m_bodyBottom = 0.0;
    bool m_bodyHasContent = false;
    bool m_columnHeadersOnPage = false;
    bool m_titleDone = false;

    SystemValues m_system;
    bool m_recordsStarted = false;

    int m_depth = 0; // inside buildSome
    bool m_cancelRequested = false;
    bool m_closeRequested = false;
    bool m_closed = false;
};

} // namespace report
