// The idle counters' two readings of a text as a number, at the edges of
// what a double holds: the same answers whichever routine reads the digits.
#include <gtest/gtest.h>

#include <cfloat>
#include <optional>

#include "idle/numbers.h"

namespace qm::idle {
namespace {

TEST(Numbers, StrictReadsTheWholeTextOnly) {
    EXPECT_EQ(StrictNumber(" 12.5 "), 12.5);
    EXPECT_EQ(StrictNumber("-3"), -3.0);
    EXPECT_EQ(StrictNumber("+7."), 7.0);
    EXPECT_EQ(StrictNumber(".5"), 0.5);
    EXPECT_EQ(StrictNumber("1e2"), 100.0);
    EXPECT_EQ(StrictNumber("2E-1"), 0.2);
    EXPECT_EQ(StrictNumber("12x"), std::nullopt);
    EXPECT_EQ(StrictNumber("1e"), std::nullopt);  // 1, then a stray "e"
    EXPECT_EQ(StrictNumber("0x10"), std::nullopt);
    EXPECT_EQ(StrictNumber("inf"), std::nullopt);
    EXPECT_EQ(StrictNumber("nan"), std::nullopt);
    EXPECT_EQ(StrictNumber("."), std::nullopt);
    EXPECT_EQ(StrictNumber(""), std::nullopt);
}

TEST(Numbers, LeadingReadsWhatTheTextStartsWith) {
    EXPECT_EQ(LeadingNumber("12x"), 12.0);
    EXPECT_EQ(LeadingNumber("  4.25 minutes"), 4.25);
    EXPECT_EQ(LeadingNumber("1e"), 1.0);
    EXPECT_EQ(LeadingNumber("0x10"), 0.0);  // the 0 before the x
    EXPECT_EQ(LeadingNumber("abc"), 0.0);
    EXPECT_EQ(LeadingNumber(""), 0.0);
}

TEST(Numbers, TooLargeToHoldIsNoNumberButTooSmallIsZero) {
    EXPECT_EQ(StrictNumber("1e309"), std::nullopt);
    EXPECT_EQ(LeadingNumber("-1e309 left"), std::nullopt);
    EXPECT_EQ(StrictNumber("1" + std::string(400, '0')), std::nullopt);
    EXPECT_EQ(StrictNumber("1.7976931348623157e308"), DBL_MAX);
    EXPECT_EQ(StrictNumber("1e-400"), 0.0);
    EXPECT_EQ(LeadingNumber("-1e-400x"), 0.0);
    // The smallest denormal still holds.
    EXPECT_EQ(StrictNumber("4.9406564584124654e-324"), DBL_TRUE_MIN);
}

TEST(Numbers, DigitsRoundToTheNearestDouble) {
    EXPECT_EQ(StrictNumber("0.1"), 0.1);
    EXPECT_EQ(StrictNumber("9007199254740993"), 9007199254740992.0);  // halfway: to even
    EXPECT_EQ(StrictNumber("0." + std::string(500, '0') + "1e501"), 1.0);
}

TEST(Numbers, PlusOneWritesWholeNumbersPlainly) {
    EXPECT_EQ(PlusOne(StrictNumber("41")), "42");
    EXPECT_EQ(PlusOne(StrictNumber("-1")), "0");
    EXPECT_EQ(PlusOne(StrictNumber("1.5")), "2.5");
    EXPECT_EQ(PlusOne(StrictNumber("1.7976931348623157e308")), "1.79769313486232e+308");
    EXPECT_EQ(PlusOne(std::nullopt), std::nullopt);
}

}  // namespace
}  // namespace qm::idle
