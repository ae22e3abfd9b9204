#include "stream/Extended.h"

#include <cmath>
#include <limits>

namespace stream {

namespace {

constexpr int kBias = 16383;
constexpr int kMaxExponent = 0x7FFF;
constexpr int kMantissaBits = 64;
constexpr std::uint64_t kIntegerBit = std::uint64_t{1} << 63;

} // namespace

double extendedToDouble(const ExtendedBytes& bytes)
{
    std::uint64_t mantissa = 0;
    for (int i = 7; i >= 0; --i)
        mantissa = (mantissa << 8) | bytes[static_cast<std::size_t>(i)];
    const unsigned signExponent = bytes[8] | (unsigned{bytes[9]} << 8);
    const bool negative = (signExponent & 0x8000) != 0;
    const int exponent = static_cast<int>(signExponent & 0x7FFF);

    double magnitude;
    if (exponent == kMaxExponent) {
        // The integer bit is ignored here: both pseudo and real infinities
        // have an all-zero fraction.
        magnitude = (mantissa & ~kIntegerBit) == 0 ? std::numeric_limits<double>::infinity()
                                                   : std::numeric_limits<double>::quiet_NaN();
    } else {
        // Denormals (exponent 0) use the exponent of 1 and have no implicit
        // integer bit; the mantissa carries it explicitly in both cases.
        const int unbiased = (exponent == 0 ? 1 : exponent) - kBias - (kMantissaBits - 1);
        magnitude = std::ldexp(static_cast<double>(mantissa), unbiased);
    }
    return negative ? -magnitude : magnitude;
}

ExtendedBytes doubleToExtended(double value)
{
    std::uint64_t mantissa = 0;
    int exponent = 0;
    if (std::isnan(value)) {
        mantissa = kIntegerBit | (kIntegerBit >> 1);
        exponent = kMaxExponent;
    } else if (std::isinf(value)) {
        mantissa = kIntegerBit;
        exponent = kMaxExponent;
    } else if (value != 0.0) {
        int binaryExponent = 0;
        const double fraction = std::frexp(std::fabs(value), &binaryExponent); // [0.5, 1)
        // fraction has at most 53 significant bits, so the product is exact.
        mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, kMantissaBits));
        exponent = binaryExponent - 1 + kBias;
    }
    ExtendedBytes bytes{};
    for (std::size_t i = 0; i < 8; ++i)
        bytes[i] = static_cast<std::uint8_t>(mantissa >> (8 * i));
    const unsigned signExponent = static_cast<unsigned>(exponent) | (std::signbit(value) ? 0x8000u : 0u);
    bytes[8] = static_cast<std::uint8_t>(signExponent);
    bytes[9] = static_cast<std::uint8_t>(signExponent >> 8);
    return bytes;
}

} // namespace stream
