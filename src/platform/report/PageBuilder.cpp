#include "report/PageBuilder.h"

#include <algorithm>
#include <exception>

#include <QtGlobal>

namespace report {

namespace {

// Rounding in millimetre sums must not push a band that fits exactly onto
// the next page.
constexpr double kFitTolerance = 1e-6;

DrawnItem frameLine(const Frame& frame, ShapeKind shape, const QRectF& rect)
{
    DrawnItem item;
    item.kind = ItemKind::Shape;
    item.shape = shape;
    item.rect = rect;
    item.penColor = frame.color;
    item.penStyle = frame.style;
    item.penWidth = frame.width;
    item.brushStyle = Qt::NoBrush;
    return item;
}

} // namespace

PageBuilder::PageBuilder(Report& report, Purpose purpose, QObject* parent)
    : QObject(parent)
    , m_report(report)
    , m_purpose(purpose)
{
    m_timer.setInterval(0);
    connect(&m_timer, &QTimer::timeout, this, &PageBuilder::runSlice);
}

PageBuilder::~PageBuilder()
{
    if (m_purpose != Purpose::Preview || m_closed)
        return;
    try {
        close();
    } catch (const std::exception& e) {
        qWarning("Fehler beim Beenden der Vorschau: %s", e.what());
    } catch (...) {
        qWarning("Unbekannter Fehler beim Beenden der Vorschau");
    }
}

bool PageBuilder::buildSome(int maxBands)
{
    // A hook that lets pending events run may bring the timer back in here;
    // the band being laid out must finish first.
    if (m_depth > 0 || !isBusy())
        return isBusy();
    m_status = Status::Busy;
    ++m_depth;
    try {
        for (int done = 0; done < maxBands && m_phase != Phase::Done; ++done) {
            if (m_cancelRequested || m_closeRequested)
                break;
            step();
        }
    } catch (const std::exception& e) {
        --m_depth;
        m_error = QString::fromStdString(e.what());
        m_failure = std::current_exception();
        end(Status::Failed);
        if (m_closeRequested)
            finishClose();
        throw;
    } catch (...) {
        --m_depth;
        m_error = QStringLiteral("Unbekannter Fehler beim Aufbau der Seiten.");
        m_failure = nullptr;
        end(Status::Failed);
        if (m_closeRequested)
            finishClose();
        throw;
    }
    --m_depth;
    if (isBusy() && (m_cancelRequested || m_closeRequested))
        end(Status::Cancelled);
    if (m_closeRequested)
        finishClose();
    return isBusy();
}

void PageBuilder::buildAll()
{
    while (buildSome(1000)) {
    }
}

void PageBuilder::start(int bandsPerSlice)
{
    m_bandsPerSlice = std::max(1, bandsPerSlice);
    if (isBusy())
        m_timer.start();
}

void PageBuilder::runSlice()
{
    try {
        if (!buildSome(m_bandsPerSlice))
            m_timer.stop();
    } catch (...) {
        // end() has stopped the timer and reported the failure.
    }
}

void PageBuilder::cancel()
{
    if (m_depth > 0)
        m_cancelRequested = true;
    else if (isBusy())
        end(Status::Cancelled);
}

void PageBuilder::close()
{
    if (m_closed)
        return;
    if (m_depth > 0) {
        m_closeRequested = true;
        return;
    }
    if (isBusy())
        end(Status::Cancelled);
    finishClose();
}

void PageBuilder::finishClose()
{
    if (m_closed)
        return;
    m_closed = true;
    m_timer.stop();
    if (m_purpose == Purpose::Preview && m_report.events.afterPreview)
        m_report.events.afterPreview(m_status == Status::Finished);
}

void PageBuilder::end(Status status)
{
    m_status = status;
    m_timer.stop();
    if (status == Status::Failed)
        emit failed(m_error);
    emit finished(status == Status::Finished);
}

bool PageBuilder::hasEnabled(BandType type) const
{
    return std::any_of(m_report.bands().begin(), m_report.bands().end(),
                       [type](const auto& band) { return band->type == type && band->enabled; });
}

void PageBuilder::queueBands(BandType type)
{
    for (const auto& band : m_report.bands()) {
        if (band->type == type)
            m_queue.push_back(band.get());
    }
}

bool PageBuilder::nextRecord()
{
    const bool firstTime = !m_recordsStarted;
    m_recordsStarted = true;
    if (DataSource* source = m_report.dataSource) {
        if (!firstTime)
            source->next();
        return !source->eof();
    }
    if (m_report.needData)
        return m_report.needData();
    return firstTime;
}

void PageBuilder::step()
{
    if (!m_queue.empty()) {
        Band* band = m_queue.front();
        m_queue.pop_front();
        printBody(*band);
        return;
    }
    switch (m_phase) {
    case Phase::Start:
        m_system = SystemValues{};
        m_system.title = m_report.title;
        m_system.now = m_report.clock ? m_report.clock() : QDateTime::currentDateTime();
        if (m_report.events.beforePrint)
            m_report.events.beforePrint();
        // The title and the page header already see the first record.
        if (m_report.dataSource)
            m_report.dataSource->first();
        openPage();
        m_phase = Phase::Title;
        break;
    case Phase::Title:
        queueBands(BandType::Title);
        m_phase = Phase::ColumnHeader;
        break;
    case Phase::ColumnHeader:
        m_titleDone = true;
        if (!m_columnHeadersOnPage)
            printColumnHeaders();
        m_phase = Phase::GroupHeader;
        break;
    case Phase::GroupHeader:
        queueBands(BandType::GroupHeader);
        // Without a band to print per record there is nothing to ask the
        // records for, and a need-data answer that never says "no" must not
        // keep the build going.
        m_phase = hasEnabled(BandType::Detail) || hasEnabled(BandType::SubDetail) ? Phase::Details
                                                                                   : Phase::GroupFooter;
        break;
    case Phase::Details:
        if (nextRecord()) {
            queueBands(BandType::Detail);
            queueBands(BandType::SubDetail);
        } else {
            m_phase = Phase::GroupFooter;
        }
        break;
    case Phase::GroupFooter:
        queueBands(BandType::GroupFooter);
        m_phase = Phase::Summary;
        break;
    case Phase::Summary:
        queueBands(BandType::Summary);
        m_phase = Phase::Close;
        break;
    case Phase::Close:
        closePage();
        m_phase = Phase::Done;
        end(Status::Finished);
        break;
    case Phase::Done:
        break;
    }
}

double PageBuilder::chainHeight(const Band& band) const
{
    double height = 0.0;
    for (const Band* link = &band; link; link = link->child()) {
        if (!link->enabled)
            break;
        height += link->height;
    }
    return height;
}

void PageBuilder::openPage()
{
    const PageSetup& setup = m_report.page();
    const QRectF printable = setup.printableRectMm();
    m_page = Page{setup.pageSizeMm(), {}};
    m_pageOpen = true;
    m_system.pageNumber = static_cast<int>(m_pages.size()) + 1;

    double footerRoom = 0.0;
    for (const auto& band : m_report.bands()) {
        if (band->type == BandType::PageFooter)
            footerRoom += chainHeight(*band);
    }
    m_bodyBottom = printable.bottom() - footerRoom;

    m_y = printable.top();
    printFixedBands(BandType::Overlay, printable, false);
    printFixedBands(BandType::PageHeader, printable, true);
    m_columnHeadersOnPage = false;
    if (m_titleDone)
        printColumnHeaders();
    m_bodyHasContent = false;
}

void PageBuilder::closePage()
{
    if (!m_pageOpen)
        return;
    m_y = m_bodyBottom;
    printFixedBands(BandType::PageFooter, m_report.page().printableRectMm(), true);
    m_pageOpen = false;
    m_pages.push_back(std::move(m_page));
    m_page = Page{};
    emit pageAdded(static_cast<int>(m_pages.size()));
}

bool PageBuilder::askToPrint(Band& band)
{
    if (!band.enabled)
        return false;
    bool print = true;
    if (m_report.events.beforeBand)
        m_report.events.beforeBand(band, print);
    return print;
}

PageBuilder::Rendered PageBuilder::render(const Band& band) const
{
    const RenderContext context{m_measure, m_system};
    ElementOutput out;
    for (const auto& element : band.elements()) {
        if (element->enabled)
            element->render(context, out);
    }
    Rendered rendered;
    rendered.height = std::max(band.height, out.stretchBottom);
    rendered.items = std::move(out.items);

    const double width = m_report.page().printableRectMm().width();
    const double height = rendered.height;
    const Frame& frame = band.frame;
    if (frame.top)
        rendered.items.push_back(frameLine(frame, ShapeKind::HorLine, QRectF(0, 0, width, 0)));
    if (frame.bottom)
        rendered.items.push_back(frameLine(frame, ShapeKind::HorLine, QRectF(0, height, width, 0)));
    if (frame.left)
        rendered.items.push_back(frameLine(frame, ShapeKind::VertLine, QRectF(0, 0, 0, height)));
    if (frame.right)
        rendered.items.push_back(frameLine(frame, ShapeKind::VertLine, QRectF(width, 0, 0, height)));
    return rendered;
}

void PageBuilder::place(Rendered rendered, double top, const QRectF& region)
{
    const QPointF offset(m_report.page().printableRectMm().left(), top);
    for (DrawnItem& item : rendered.items) {
        item.rect.translate(offset);
        // Text and pictures stop at their own box; everything stops at the
        // region the band may use. An item with nothing left to show is
        // not recorded.
        item.clip = item.clip.isValid() ? item.clip.translated(offset).intersected(region) : region;
        if (!item.clip.isValid())
            continue;
        m_page.items.push_back(std::move(item));
    }
}

void PageBuilder::printFixed(Band& band, const QRectF& region, bool advance)
{
    for (Band* link = &band; link; link = link->child()) {
        if (!askToPrint(*link))
            return;
        Rendered rendered = render(*link);
        const double height = rendered.height;
        place(std::move(rendered), m_y, region);
        if (advance)
            m_y += height;
    }
}

void PageBuilder::printFixedBands(BandType type, const QRectF& region, bool advance)
{
    for (const auto& band : m_report.bands()) {
        if (band->type == type)
            printFixed(*band, region, advance);
    }
}

void PageBuilder::printColumnHeaders()
{
    printFixedBands(BandType::ColumnHeader, m_report.page().printableRectMm(), true);
    m_columnHeadersOnPage = true;
}

void PageBuilder::printBody(Band& band)
{
    if (!askToPrint(band))
        return;
    if (band.type == BandType::Detail)
        ++m_system.detailNumber;
    const std::optional<int> count = m_report.dataSource ? m_report.dataSource->recordCount() : std::nullopt;
    m_system.detailCount = count.value_or(m_system.detailNumber);

    Rendered rendered = render(band);
    if (m_bodyHasContent && m_y + rendered.height > m_bodyBottom + kFitTolerance) {
        closePage();
        openPage();
        rendered = render(band);
    }
    const QRectF printable = m_report.page().printableRectMm();
    const QRectF body(printable.left(), printable.top(), printable.width(),
                      std::max(0.0, m_bodyBottom - printable.top()));
    const double height = rendered.height;
    place(std::move(rendered), m_y, body);
    m_y += height;
    m_bodyHasContent = true;
    if (Band* child = band.child())
        m_queue.push_front(child);
}

} // namespace report
