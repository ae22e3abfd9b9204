#pragma once

#include <vector>

#include <QPointer>
#include <QScrollArea>

#include "report/Page.h"

namespace report {

class PageBuilder;

// Shows one recorded page at a zoom in percent, with page navigation. It reads
// the pages of a PageBuilder while they are being built, or pages of its own
// (read from a page file, say).
class PreviewWidget : public QScrollArea {
    Q_OBJECT
public:
    static constexpr int kMinZoom = 2;
    static constexpr int kMaxZoom = 2000;

    explicit PreviewWidget(QWidget* parent = nullptr);
    ~PreviewWidget() override;

    void attach(PageBuilder& builder);
    void setPages(std::vector<Page> pages);

    // 0 while no page exists; the first page shows as soon as it is built.
    int pageNumber() const { return m_pageNumber; }
    int pageCount() const;
    // Pages outside 1..pageCount() are ignored: the page stays.
    void setPageNumber(int pageNumber);

    int zoom() const { return m_zoom; }
    // A zoom outside kMinZoom..kMaxZoom is ignored: the zoom stays.
    void setZoom(int percent);

    // The page size in device pixels at the current zoom.
    QSize pagePixelSize() const;

signals:
    void pageChanged(int pageNumber);
    void pageCountChanged(int pageCount);

private:
    class PageView;
    const std::vector<Page>& pages() const;
    void pagesGrew(int count);
    void updateView();
    double dotsPerMm() const;

    PageView* m_view = nullptr; // owned by the scroll area
    QPointer<PageBuilder> m_builder;
    std::vector<Page> m_ownPages;
    int m_pageNumber = 0;
    int m_zoom = 100;
};

} // namespace report
