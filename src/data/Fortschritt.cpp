#include "data/Fortschritt.h"

#include <algorithm>

#include <QPainter>
#include <QTimer>

namespace datawidgets {

Fortschrittsbalken::Fortschrittsbalken(QWidget* parent)
    : QProgressBar(parent)
{
    setTextVisible(false);
    anzeigen();
}

void Fortschrittsbalken::setPosition(int position)
{
    m_position = std::clamp(position, 0, m_maximum);
    anzeigen();
}

void Fortschrittsbalken::setMaximumSteps(int maximum)
{
    m_maximum = std::max(maximum, 0);
    m_position = std::min(m_position, m_maximum);
    anzeigen();
}

void Fortschrittsbalken::stepIt()
{
    if (m_position >= m_maximum)
        return;
    ++m_position;
    if (m_position >= m_naechsteAnzeige)
        wertZeigen();
}

void Fortschrittsbalken::anzeigen()
{
    // A range of 0..0 would make Qt draw its busy indicator.
    setRange(0, std::max(m_maximum, 1));
    wertZeigen();
}

void Fortschrittsbalken::wertZeigen()
{
    // More increments than a bar has pixels would show nothing more.
    constexpr int stufen = 400;
    setValue(m_position);
    m_naechsteAnzeige = std::min(m_maximum, m_position + std::max(1, m_maximum / stufen));
}

namespace {
constexpr int frameCount = 16;
constexpr int frameMilliseconds = 80;
} // namespace

Suchanimation::Suchanimation(QWidget* parent)
    : QWidget(parent), m_timer(new QTimer(this))
{
    m_timer->setInterval(frameMilliseconds);
    connect(m_timer, &QTimer::timeout, this, [this] {
        m_frame = (m_frame + 1) % frameCount;
        update();
    });
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

bool Suchanimation::running() const
{
    return m_timer->isActive();
}

QSize Suchanimation::sizeHint() const
{
    return {80, 50};
}

void Suchanimation::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    m_timer->start();
}

void Suchanimation::hideEvent(QHideEvent* event)
{
    m_timer->stop();
    QWidget::hideEvent(event);
}

void Suchanimation::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF area = rect().adjusted(4, 4, -4, -4);

    // A sheet with lines of text.
    const QRectF sheet(area.left() + area.width() * 0.15, area.top(), area.width() * 0.7, area.height());
    painter.setPen(QPen(Qt::darkGray, 1));
    painter.setBrush(Qt::white);
    painter.drawRect(sheet);
    painter.setPen(QPen(Qt::gray, 1));
    for (qreal y = sheet.top() + 6; y < sheet.bottom() - 3; y += 5)
        painter.drawLine(QPointF(sheet.left() + 5, y), QPointF(sheet.right() - 5, y));

    // The magnifier goes to and fro across the sheet.
    const int half = frameCount / 2;
    const qreal phase = (m_frame < half ? m_frame : frameCount - m_frame) / qreal(half);
    const qreal radius = std::min(area.width(), area.height()) * 0.22;
    const QPointF centre(sheet.left() + radius + phase * (sheet.width() - 2 * radius),
                         sheet.center().y() - radius * 0.3);
    painter.setPen(QPen(QColor(90, 60, 20), radius * 0.35, Qt::SolidLine, Qt::RoundCap));
    painter.drawLine(centre + QPointF(radius * 0.7, radius * 0.7), centre + QPointF(radius * 1.6, radius * 1.6));
    painter.setPen(QPen(Qt::black, 2));
    painter.setBrush(QColor(180, 220, 255, 140));
    painter.drawEllipse(centre, radius, radius);
}

} // namespace datawidgets
