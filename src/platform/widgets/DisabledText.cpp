#include "widgets/DisabledText.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include <QEvent>
#include <QPalette>
#include <QWidget>

namespace widgets {

namespace {

double channel(double value)
{
    return value <= 0.04045 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
}

double luminance(const QColor& colour)
{
    const QColor c = colour.toRgb();
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

// The text roles and the backgrounds they are drawn on.
constexpr std::array<std::pair<QPalette::ColorRole, QPalette::ColorRole>, 3> textOnBackground = {{
    {QPalette::Text, QPalette::Base},
    {QPalette::WindowText, QPalette::Window},
    {QPalette::ButtonText, QPalette::Button},
}};

void applyReadableColours(QWidget& control)
{
    QPalette palette = control.palette();
    bool changed = false;
    for (const auto& [text, background] : textOnBackground) {
        const QColor shown = palette.color(QPalette::Disabled, text);
        const QColor readable = readableOn(shown, palette.color(QPalette::Disabled, background),
                                           palette.color(QPalette::Active, text));
        if (readable != shown) {
            palette.setColor(QPalette::Disabled, text, readable);
            changed = true;
        }
    }
    // Set only when a colour changes: the palette change this sends ends here.
    if (changed)
        control.setPalette(palette);
}

class ReadableWhenDisabled : public QObject {
public:
    explicit ReadableWhenDisabled(QWidget& control) : QObject(&control) { control.installEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::PaletteChange || event->type() == QEvent::StyleChange)
            applyReadableColours(*static_cast<QWidget*>(watched));
        return false;
    }
};

} // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& text, const QColor& background, const QColor& toward)
{
    const auto readable = [&background](const QColor& c) { return contrastRatio(c, background) >= readableContrast; };
    if (readable(text))
        return text;
    const QColor from = text.toRgb();
    const QColor to = toward.toRgb();
    constexpr int steps = 32;
    for (int step = 1; step <= steps; ++step) {
        const double t = double(step) / steps;
        // As drawn: eight bits a channel.
        const auto mix = [t](int a, int b) { return static_cast<int>(std::lround(a + (b - a) * t)); };
        const QColor mixed(mix(from.red(), to.red()), mix(from.green(), to.green()), mix(from.blue(), to.blue()));
        if (readable(mixed))
            return mixed;
    }
    const QColor black(Qt::black);
    const QColor white(Qt::white);
    return contrastRatio(black, background) >= contrastRatio(white, background) ? black : white;
}

void keepTextReadableWhenDisabled(QWidget& control)
{
    applyReadableColours(control);
    new ReadableWhenDisabled(control);
}

} // namespace widgets
