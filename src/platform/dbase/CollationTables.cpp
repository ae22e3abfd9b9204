#include "dbase/Collation.h"

namespace dbase {

namespace {

// TEMPORARY: byte order for every driver until the measured tables land.
struct WeightTable {
    std::uint8_t weights[256];
};

constexpr WeightTable byteOrder()
{
    WeightTable table{};
    for (int i = 0; i < 256; ++i)
        table.weights[i] = static_cast<std::uint8_t>(i);
    return table;
}

constexpr WeightTable kByteOrder = byteOrder();

} // namespace

const Collation& Collation::forLanguageDriver(std::uint8_t /*driver*/)
{
    static const Collation byteOrderCollation("DBWINWE0", kByteOrder.weights);
    return byteOrderCollation;
}

} // namespace dbase
