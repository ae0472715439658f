#pragma once
// Rounding of doubles without the C maths library: the command-line
// programs need nothing else from libm and do not load it, which is about a
// twentieth of what their start costs (app/CMakeLists.txt). Each function
// takes any double: not-a-number, the infinities and numbers of 2^52 and
// more, which are already whole, come back as they are.
#include <cmath>
#include <cstdint>

namespace cimv2 {

namespace rounding {

// From 2^52 on every double is a whole number.
constexpr double kWhole = 4503599627370496.0;

// Toward zero; exact below 2^52.
inline double Truncated(double x) { return static_cast<double>(static_cast<int64_t>(x)); }

}  // namespace rounding

// The nearest whole number, a half to the even one: nearbyint in the default
// rounding mode. Adding 2^52 leaves no bits for a fraction, so the addition
// itself rounds.
inline double RoundHalfEven(double x) {
    if (!(std::fabs(x) < rounding::kWhole)) return x;
    const double r = x >= 0 ? (x + rounding::kWhole) - rounding::kWhole : (x - rounding::kWhole) + rounding::kWhole;
    return std::copysign(r, x);  // -0.4 gives -0, as nearbyint does
}

// The nearest whole number, a half away from zero: lround's rounding.
inline double RoundHalfAway(double x) {
    if (!(std::fabs(x) < rounding::kWhole)) return x;
    const double t = rounding::Truncated(x);
    const double fraction = x - t;  // exact
    return std::copysign(fraction >= 0.5 ? t + 1 : fraction <= -0.5 ? t - 1 : t, x);
}

// The largest whole number not above x: floor.
inline double RoundDown(double x) {
    if (!(std::fabs(x) < rounding::kWhole)) return x;
    const double t = rounding::Truncated(x);
    return std::copysign(t > x ? t - 1 : t, x);
}

}  // namespace cimv2
