#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <QString>
#include <QStringList>

#include "report/PageBuilder.h"
#include "report/Report.h"

namespace reporttest {

// Records of a detail band: a list of texts the report walks like a table.
class ListSource : public report::DataSource {
public:
    explicit ListSource(QStringList rows, bool knowsCount = false)
        : m_rows(std::move(rows))
        , m_knowsCount(knowsCount)
    {
    }
    void first() override { m_index = 0; }
    void next() override { ++m_index; }
    bool eof() const override { return m_index >= m_rows.size(); }
    std::optional<int> recordCount() const override
    {
        return m_knowsCount ? std::optional<int>(int(m_rows.size())) : std::nullopt;
    }
    QString current() const { return eof() ? QString() : m_rows.at(m_index); }

private:
    QStringList m_rows;
    bool m_knowsCount;
    qsizetype m_index = 0;
};

// A 100 x 100 mm page with 10 mm margins all round: the printable area is
// 80 x 80 mm from (10, 10), which keeps expected positions easy to read.
inline void smallPage(report::Report& r)
{
    report::PageSetup& page = r.page();
    page.setUnits(report::Unit::MM);
    page.setPaperSize(report::PaperSize::Custom);
    page.setWidth(100);
    page.setLength(100);
    page.setTopMargin(10);
    page.setBottomMargin(10);
    page.setLeftMargin(10);
    page.setRightMargin(10);
}

inline report::Label& addLabel(report::Band& band, const QString& caption, QRectF rect = QRectF(0, 0, 60, 5))
{
    auto& label = band.add<report::Label>();
    label.caption = caption;
    label.rect = rect;
    return label;
}

inline std::vector<report::Page> build(report::Report& r)
{
    report::PageBuilder builder(r, report::PageBuilder::Purpose::Print);
    builder.buildAll();
    return builder.pages();
}

// The texts drawn on a page, in drawing order.
inline QStringList texts(const report::Page& page)
{
    QStringList result;
    for (const auto& item : page.items) {
        if (item.kind == report::ItemKind::Text || item.kind == report::ItemKind::TextRun)
            result << item.text;
    }
    return result;
}

// Each text of a page with its top in mm, in drawing order: where every band went.
using Tops = std::vector<std::pair<std::string, double>>;
inline Tops textTops(const report::Page& page)
{
    Tops result;
    for (const auto& item : page.items) {
        if (item.kind == report::ItemKind::Text)
            result.emplace_back(item.text.toStdString(), item.rect.top());
    }
    return result;
}

// The one text item with this text on the page; fails the test otherwise.
inline const report::DrawnItem* findText(const report::Page& page, const QString& text)
{
    const report::DrawnItem* found = nullptr;
    for (const auto& item : page.items) {
        if (item.kind == report::ItemKind::Text && item.text == text) {
            if (found)
                return nullptr;
            found = &item;
        }
    }
    return found;
}

} // namespace reporttest
