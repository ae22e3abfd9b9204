#include "app/Werkzeugbilder.h"

#include <algorithm>

#include <QIconEngine>
#include <QPainter>
#include <QWidget>

namespace {

// A theme icon with something drawn over it, painted anew at every size and
// mode, so a disabled button greys the whole picture.
class ZusatzEngine : public QIconEngine {
public:
    ZusatzEngine(const Werkzeugbild& eintrag, const QPalette& palette)
        : m_eintrag(eintrag), m_palette(palette), m_icon(QIcon::fromTheme(QLatin1String(eintrag.icon)))
    {
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode, QIcon::State state) override
    {
        const bool aus = mode == QIcon::Disabled;
        painter->save();
        painter->setRenderHint(QPainter::Antialiasing);
        if (m_eintrag.hervorgehoben) {
            QColor farbe = m_palette.color(QPalette::Highlight);
            farbe.setAlpha(aus ? 60 : 140);
            painter->setPen(Qt::NoPen);
            painter->setBrush(farbe);
            painter->drawRoundedRect(QRectF(rect).adjusted(0.5, 0.5, -0.5, -0.5), rect.width() / 6.0,
                                     rect.height() / 6.0);
        }
        // QIcon::paint() would draw a theme icon at the largest size the
        // theme lists below the rectangle's, not filling it as buttons do.
        painter->drawPixmap(rect, m_icon.pixmap(rect.size(), mode, state));
        const QRect ecke(rect.x() + rect.width() * 2 / 5, rect.y() + rect.height() * 2 / 5, rect.width() * 3 / 5,
                         rect.height() * 3 / 5);
        if (m_eintrag.beiIcon) {
            painter->setPen(Qt::NoPen);
            painter->setBrush(m_palette.color(QPalette::Window));
            painter->drawEllipse(ecke);
            const QRect innen = ecke.adjusted(1, 1, -1, -1);
            painter->drawPixmap(innen, QIcon::fromTheme(QLatin1String(m_eintrag.beiIcon)).pixmap(innen.size(), mode, state));
        }
        if (m_eintrag.zeichen) {
            const QColor grund = aus ? m_palette.color(QPalette::Disabled, QPalette::WindowText)
                                     : m_palette.color(QPalette::Highlight);
            painter->setPen(Qt::NoPen);
            painter->setBrush(grund);
            painter->drawEllipse(ecke);
            QFont schrift = painter->font();
            schrift.setBold(true);
            schrift.setPixelSize(std::max(6, ecke.height() * 3 / 4));
            painter->setFont(schrift);
            painter->setPen(m_palette.color(QPalette::HighlightedText));
            painter->drawText(ecke, Qt::AlignCenter, QString::fromUtf8(m_eintrag.zeichen));
        }
        painter->restore();
    }

    // The engine's own pixmap leaves what is not painted undefined.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override
    {
        QPixmap bild(size);
        bild.fill(Qt::transparent);
        QPainter painter(&bild);
        paint(&painter, QRect(QPoint(0, 0), size), mode, state);
        return bild;
    }

    QIconEngine* clone() const override { return new ZusatzEngine(*this); }

    bool isNull() override { return m_icon.isNull(); }

private:
    Werkzeugbild m_eintrag;
    QPalette m_palette;
    QIcon m_icon;
};

const Werkzeugbild* werkzeugbildEintrag(int bild)
{
    for (const Werkzeugbild& eintrag : Werkzeugbilder)
        if (eintrag.bild == bild)
            return &eintrag;
    return nullptr;
}

} // namespace

QIcon werkzeugbild(const QWidget& widget, int bild)
{
    const Werkzeugbild* eintrag = werkzeugbildEintrag(bild);
    if (!eintrag)
        return {};
    if (!eintrag->beiIcon && !eintrag->zeichen && !eintrag->hervorgehoben)
        return QIcon::fromTheme(QLatin1String(eintrag->icon));
    QIcon icon(new ZusatzEngine(*eintrag, widget.palette()));
    return icon.isNull() ? QIcon() : icon;
}
