#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

#include "cimv2/core/Rounding.h"

namespace {

// The same double, -0 and +0 told apart, any NaN equal to any NaN.
bool Same(double a, double b) {
    if (std::isnan(a) || std::isnan(b)) return std::isnan(a) && std::isnan(b);
    return std::memcmp(&a, &b, sizeof a) == 0;
}

std::vector<double> Cases() {
    const double inf = std::numeric_limits<double>::infinity();
    std::vector<double> cases = {0.0,
                                 -0.0,
                                 0.49999999999999994,
                                 -0.49999999999999994,
                                 0.5000000000000001,
                                 4503599627370495.5,
                                 -4503599627370495.5,
                                 4503599627370496.0,
                                 4503599627370497.0,
                                 9007199254740993.0,
                                 1e300,
                                 -1e300,
                                 std::numeric_limits<double>::denorm_min(),
                                 -std::numeric_limits<double>::denorm_min(),
                                 inf,
                                 -inf,
                                 std::numeric_limits<double>::quiet_NaN()};
    // Every quarter from -250 to 250: the halves in both directions.
    for (int k = -1000; k <= 1000; ++k) cases.push_back(k / 4.0);
    std::mt19937_64 random(20261211);
    std::uniform_real_distribution<double> small(-1e6, 1e6);
    for (int n = 0; n < 2000; ++n) cases.push_back(small(random));
    return cases;
}

TEST(Rounding, AgreesWithTheMathsLibraryOnEveryKindOfDouble) {
    for (double x : Cases()) {
        SCOPED_TRACE(testing::Message() << "x = " << x);
        EXPECT_TRUE(Same(cimv2::RoundHalfEven(x), std::nearbyint(x))) << cimv2::RoundHalfEven(x);
        EXPECT_TRUE(Same(cimv2::RoundHalfAway(x), std::round(x))) << cimv2::RoundHalfAway(x);
        EXPECT_TRUE(Same(cimv2::RoundDown(x), std::floor(x))) << cimv2::RoundDown(x);
    }
}

}  // namespace
