#include "report/Report.h"

#include <algorithm>

namespace report {

QSizeF PageSetup::pageSizeMm() const
{
    // A custom paper without a usable size would give pages nothing can
    // print on; it falls back to A4.
    const bool customUsable = m_widthMm > 0.0 && m_lengthMm > 0.0;
    QSizeF size = m_paper == PaperSize::Custom && customUsable ? QSizeF(m_widthMm, m_lengthMm)
                                                               : paperSizeMm(PaperSize::A4);
    if (m_paper != PaperSize::Custom)
        size = paperSizeMm(m_paper);
    if (m_orientation == Orientation::Landscape)
        size.transpose();
    return size;
}

QRectF PageSetup::printableRectMm() const
{
    const QSizeF size = pageSizeMm();
    const double left = std::clamp(m_margins.left, 0.0, size.width());
    const double top = std::clamp(m_margins.top, 0.0, size.height());
    const double width = std::max(0.0, size.width() - left - std::max(0.0, m_margins.right));
    const double height = std::max(0.0, size.height() - top - std::max(0.0, m_margins.bottom));
    return {left, top, width, height};
}

Report::Report() = default;
Report::~Report() = default;

Band& Report::addBand(BandType type)
{
    m_bands.push_back(std::make_unique<Band>(type));
    return *m_bands.back();
}

} // namespace report
