#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "StreamTestSupport.h"
#include "stream/Extended.h"

using stream::doubleToExtended;
using stream::ExtendedBytes;
using stream::extendedToDouble;

namespace {

ExtendedBytes extended(const char* hex)
{
    const QByteArray raw = streamtest::bytes(hex);
    ExtendedBytes out{};
    for (std::size_t i = 0; i < out.size(); ++i)
        out[i] = static_cast<std::uint8_t>(raw[static_cast<qsizetype>(i)]);
    return out;
}

} // namespace

TEST(Extended, DecodesBitPatterns)
{
    EXPECT_EQ(extendedToDouble(extended("00 00 00 00 00 00 00 80 FF 3F")), 1.0);
    EXPECT_EQ(extendedToDouble(extended("00 00 00 00 00 00 00 C0 FF 3F")), 1.5);
    // 0.1 as the x87 stores it rounds to the double nearest 0.1.
    EXPECT_EQ(extendedToDouble(extended("CD CC CC CC CC CC CC CC FB 3F")), 0.1);
    EXPECT_EQ(extendedToDouble(extended("00 00 00 00 00 00 00 00 00 00")), 0.0);
    EXPECT_TRUE(std::signbit(extendedToDouble(extended("00 00 00 00 00 00 00 00 00 80"))));
    EXPECT_EQ(extendedToDouble(extended("00 00 00 00 00 00 00 80 FF 7F")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(extendedToDouble(extended("00 00 00 00 00 00 00 80 FF FF")), -std::numeric_limits<double>::infinity());
    EXPECT_TRUE(std::isnan(extendedToDouble(extended("00 00 00 00 00 00 00 C0 FF 7F"))));
    // Beyond double's range: the largest extended and an extended denormal.
    EXPECT_EQ(extendedToDouble(extended("FF FF FF FF FF FF FF FF FE 7F")), std::numeric_limits<double>::infinity());
    EXPECT_EQ(extendedToDouble(extended("01 00 00 00 00 00 00 00 00 00")), 0.0);
    // The smallest double denormal, 2^-1074, is a normal extended.
    EXPECT_EQ(extendedToDouble(extended("00 00 00 00 00 00 00 80 CD 3B")), std::numeric_limits<double>::denorm_min());
}

TEST(Extended, EveryDoubleSurvivesTheRoundTrip)
{
    const double samples[] = {0.0, -0.0, 1.0, -2.25, 0.1, 2970.0, 1e300, -1e-300,
                              std::numeric_limits<double>::max(), std::numeric_limits<double>::min(),
                              std::numeric_limits<double>::denorm_min(), std::numeric_limits<double>::infinity()};
    for (double value : samples) {
        const double back = extendedToDouble(doubleToExtended(value));
        EXPECT_EQ(back, value);
        EXPECT_EQ(std::signbit(back), std::signbit(value)) << value;
    }
    EXPECT_TRUE(std::isnan(extendedToDouble(doubleToExtended(std::nan("")))));
}
