#include "stream/LayoutValues.h"

#include <array>

namespace stream {

namespace {

struct Place {
    const char16_t* name;
    double PageValues::*member;
};

// In the order of the places of "Page.Values".
constexpr std::array<Place, 7> kPagePlaces = {{
    {u"Page.BottomMargin", &PageValues::bottomMargin},
    {u"Page.Length", &PageValues::length},
    {u"Page.TopMargin", &PageValues::topMargin},
    {u"Page.Width", &PageValues::width},
    {u"Page.LeftMargin", &PageValues::leftMargin},
    {u"Page.RightMargin", &PageValues::rightMargin},
    {u"Page.ColumnSpace", &PageValues::columnSpace},
}};

} // namespace

PageValues PageValues::fromProperties(const PropertyList& report)
{
    PageValues page;
    const std::vector<double> values = report.numbers(u"Page.Values");
    for (std::size_t i = 0; i < kPagePlaces.size(); ++i) {
        double& target = page.*kPagePlaces[i].member;
        if (i < values.size())
            target = values[i];
        target = report.number(QStringView(kPagePlaces[i].name), target);
    }
    return page;
}

Value PageValues::toValue() const
{
    Value::List places;
    for (const Place& place : kPagePlaces)
        places.push_back(Value::extended(this->*place.member));
    return Value::list(std::move(places));
}

std::optional<BandSize> BandSize::fromProperties(const PropertyList& band)
{
    const std::vector<double> values = band.numbers(u"Size.Values");
    if (values.size() < 2)
        return std::nullopt;
    return BandSize{values[0], values[1]};
}

Value BandSize::toValue() const
{
    return Value::list({Value::extended(length), Value::extended(width)});
}

std::optional<ElementSize> ElementSize::fromProperties(const PropertyList& element)
{
    const std::vector<double> values = element.numbers(u"Size.Values");
    if (values.size() < 4)
        return std::nullopt;
    return ElementSize{values[0], values[1], values[2], values[3]};
}

Value ElementSize::toValue() const
{
    return Value::list({Value::extended(height), Value::extended(left), Value::extended(top), Value::extended(width)});
}

std::optional<Units> unitsFromIdentifier(QStringView name)
{
    constexpr std::array<std::pair<const char16_t*, Units>, 5> kUnits = {{
        {u"MM", Units::MM},
        {u"Inches", Units::Inches},
        {u"Pixels", Units::Pixels},
        {u"Characters", Units::Characters},
        {u"Native", Units::Native},
    }};
    for (const auto& [identifier, units] : kUnits) {
        if (name.compare(QStringView(identifier), Qt::CaseInsensitive) == 0)
            return units;
    }
    return std::nullopt;
}

} // namespace stream
