#include "report/Units.h"

#include <array>
#include <utility>

namespace report {

double mmPerUnit(Unit unit, Axis axis)
{
    switch (unit) {
    case Unit::MM:
        return 1.0;
    case Unit::Inches:
        return 25.4;
    case Unit::Pixels:
        return 25.4 / 96.0;
    case Unit::Characters:
        return axis == Axis::Horizontal ? 25.4 / 10.0 : 25.4 / 6.0;
    case Unit::Native:
        return 0.1;
    }
    return 1.0;
}

double toMm(double value, Unit unit, Axis axis) { return value * mmPerUnit(unit, axis); }

double fromMm(double mm, Unit unit, Axis axis) { return mm / mmPerUnit(unit, axis); }

QSizeF paperSizeMm(PaperSize paper)
{
    switch (paper) {
    case PaperSize::Default:
    case PaperSize::A4:
        return {210.0, 297.0};
    case PaperSize::Letter:
        return {215.9, 279.4};
    case PaperSize::Legal:
        return {215.9, 355.6};
    case PaperSize::Executive:
        return {184.15, 266.7};
    case PaperSize::A3:
        return {297.0, 420.0};
    case PaperSize::A5:
        return {148.0, 210.0};
    case PaperSize::B4:
        return {250.0, 353.0};
    case PaperSize::B5:
        return {176.0, 250.0};
    case PaperSize::Custom:
        return {};
    }
    return {210.0, 297.0};
}

PaperSize paperSizeFromName(const QString& name)
{
    static constexpr std::array<std::pair<const char*, PaperSize>, 10> kNames{{
        {"default", PaperSize::Default},
        {"letter", PaperSize::Letter},
        {"legal", PaperSize::Legal},
        {"executive", PaperSize::Executive},
        {"a3", PaperSize::A3},
        {"a4", PaperSize::A4},
        {"a5", PaperSize::A5},
        {"b4", PaperSize::B4},
        {"b5", PaperSize::B5},
        {"custom", PaperSize::Custom},
    }};
    const QString key = name.trimmed().toLower();
    for (const auto& [text, paper] : kNames) {
        if (key == QLatin1String(text))
            return paper;
    }
    return PaperSize::Default;
}

Unit unitFromName(const QString& name)
{
    static constexpr std::array<std::pair<const char*, Unit>, 5> kNames{{
        {"mm", Unit::MM},
        {"inches", Unit::Inches},
        {"pixels", Unit::Pixels},
        {"characters", Unit::Characters},
        {"native", Unit::Native},
    }};
    const QString key = name.trimmed().toLower();
    for (const auto& [text, unit] : kNames) {
        if (key == QLatin1String(text))
            return unit;
    }
    return Unit::MM;
}

} // namespace report
