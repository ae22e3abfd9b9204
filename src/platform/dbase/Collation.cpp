#include "dbase/Collation.h"

#include <algorithm>

namespace dbase {

Collation::Collation(const char* name, const std::uint8_t (&weights)[256])
    : m_name(name), m_weights(weights)
{
}

int Collation::compare(std::string_view a, std::string_view b) const
{
    const std::size_t common = std::min(a.size(), b.size());
    for (std::size_t i = 0; i < common; ++i) {
        const int wa = weight(static_cast<unsigned char>(a[i]));
        const int wb = weight(static_cast<unsigned char>(b[i]));
        if (wa != wb)
            return wa - wb;
    }
    return a.size() < b.size() ? -1 : (a.size() > b.size() ? 1 : 0);
}

std::string Collation::sortKey(std::string_view key) const
{
    std::string result(key.size(), '\0');
    std::transform(key.begin(), key.end(), result.begin(), [this](char c) {
        return static_cast<char>(weight(static_cast<unsigned char>(c)));
    });
    return result;
}

} // namespace dbase
