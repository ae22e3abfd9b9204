#include "report/PreviewWidget.h"

#include <QPaintEvent>
#include <QPainter>

#include "report/PageBuilder.h"

namespace report {

class PreviewWidget::PageView : public QWidget {
public:
    explicit PageView(PreviewWidget& owner)
        : m_owner(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), Qt::white);
        const int number = m_owner.pageNumber();
        if (number < 1 || number > m_owner.pageCount())
            return;
        paintPage(m_owner.pages()[std::size_t(number - 1)], painter, m_owner.dotsPerMm());
    }

private:
    PreviewWidget& m_owner;
};

PreviewWidget::PreviewWidget(QWidget* parent)
    : QScrollArea(parent)
{
    setBackgroundRole(QPalette::Dark);
    setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto view = std::make_unique<PageView>(*this);
    m_view = view.get();
    setWidget(view.release());
    updateView();
}

PreviewWidget::~PreviewWidget() = default;

const std::vector<Page>& PreviewWidget::pages() const { return m_builder ? m_builder->pages() : m_ownPages; }

int PreviewWidget::pageCount() const { return static_cast<int>(pages().size()); }

void PreviewWidget::attach(PageBuilder& builder)
{
    if (m_builder)
        disconnect(m_builder, nullptr, this, nullptr);
    m_ownPages.clear();
    m_builder = &builder;
    connect(&builder, &PageBuilder::pageAdded, this, &PreviewWidget::pagesGrew);
    // Without its builder the widget has nothing to show; it must not keep
    // reading pages that are gone.
    connect(&builder, &QObject::destroyed, this, [this] {
        m_pageNumber = 0;
        updateView();
    });
    m_pageNumber = 0;
    pagesGrew(pageCount());
}

void PreviewWidget::setPages(std::vector<Page> pages)
{
    if (m_builder)
        disconnect(m_builder, nullptr, this, nullptr);
    m_builder = nullptr;
    m_ownPages = std::move(pages);
    m_pageNumber = 0;
    pagesGrew(pageCount());
}

void PreviewWidget::pagesGrew(int count)
{
    emit pageCountChanged(count);
    if (m_pageNumber == 0 && count > 0) {
        m_pageNumber = 1;
        updateView();
        emit pageChanged(m_pageNumber);
    } else {
        updateView();
    }
}

void PreviewWidget::setPageNumber(int pageNumber)
{
    if (pageNumber < 1 || pageNumber > pageCount() || pageNumber == m_pageNumber)
        return;
    m_pageNumber = pageNumber;
    updateView();
    emit pageChanged(m_pageNumber);
}

void PreviewWidget::setZoom(int percent)
{
    if (percent < kMinZoom || percent > kMaxZoom)
        return;
    m_zoom = percent;
    updateView();
}

double PreviewWidget::dotsPerMm() const { return m_zoom / 100.0 * logicalDpiX() / 25.4; }

QSize PreviewWidget::pagePixelSize() const
{
    QSizeF size = paperSizeMm(PaperSize::A4);
    if (m_pageNumber >= 1 && m_pageNumber <= pageCount())
        size = pages()[std::size_t(m_pageNumber - 1)].sizeMm;
    return (size * dotsPerMm()).toSize();
}

void PreviewWidget::updateView()
{
    m_view->resize(pagePixelSize());
    m_view->update();
}

} // namespace report
