#pragma once

#include <array>
#include <cstdint>

namespace stream {

// The 80-bit x87 extended real of the stream (vaExtended), little-endian:
// 64-bit mantissa with an explicit integer bit, then 15-bit exponent (bias
// 16383) and sign. Converted arithmetically so that the result does not depend
// on the host's long double.
using ExtendedBytes = std::array<std::uint8_t, 10>;

// Values beyond double's range become infinities, values below it zero (with
// sign); NaNs stay NaN.
double extendedToDouble(const ExtendedBytes& bytes);

// Exact: every double is representable as an extended.
ExtendedBytes doubleToExtended(double value);

} // namespace stream
