#include "common/numbers.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(NumericValue, ReadsTheLeadingNumberAndIgnoresTheRest) {
    EXPECT_EQ(numericValue("12"), 12);
    EXPECT_EQ(numericValue("  7 seconds"), 7);
    EXPECT_EQ(numericValue("-3.5x"), -3.5);
    EXPECT_EQ(numericValue("1.00"), 1);
    EXPECT_EQ(numericValue("2e3"), 2000);
    EXPECT_EQ(numericValue("2e"), 2);  // an exponent without digits ends the number
    EXPECT_EQ(numericValue(".5"), 0.5);
    EXPECT_EQ(numericValue(""), 0);
    EXPECT_EQ(numericValue("abc"), 0);
    EXPECT_EQ(numericValue("-"), 0);
    EXPECT_EQ(numericValue("1e999"), 0);  // not finite: no usable number
}

TEST(ParseNumber, AcceptsOnlyAWholeNumber) {
    EXPECT_EQ(parseNumber(" 255 "), 255);
    EXPECT_EQ(parseNumber("12.5"), 12.5);
    EXPECT_FALSE(parseNumber(""));
    EXPECT_FALSE(parseNumber("12abc"));
    EXPECT_FALSE(parseNumber("1 2"));
    EXPECT_FALSE(parseNumber("True"));
}

TEST(RoundHalfEven, SendsExactHalvesToTheEvenNeighbour) {
    EXPECT_EQ(roundHalfEven(0.5), 0);
    EXPECT_EQ(roundHalfEven(1.5), 2);
    EXPECT_EQ(roundHalfEven(2.5), 2);
    EXPECT_EQ(roundHalfEven(-0.5), 0);
    EXPECT_EQ(roundHalfEven(-1.5), -2);
    EXPECT_EQ(roundHalfEven(2.4999), 2);
    EXPECT_EQ(roundHalfEven(2.5001), 3);
}

TEST(IntegerConversions, FailOutsideTheirRange) {
    EXPECT_EQ(toInt16(32767.4), 32767);
    EXPECT_FALSE(toInt16(32767.6));
    EXPECT_EQ(toInt16(-32768), -32768);
    EXPECT_FALSE(toInt32(2147483648.0));
    EXPECT_EQ(toInt32("16777215"), 16777215);
    EXPECT_EQ(toInt32("2.5"), 2);
    EXPECT_FALSE(toInt32("red"));
    EXPECT_FALSE(toInt32(""));
}

TEST(ToBoolean, ReadsWordsInAnyCaseAndNumbers) {
    EXPECT_EQ(toBoolean("True"), true);
    EXPECT_EQ(toBoolean("FALSE"), false);
    EXPECT_EQ(toBoolean(" true "), true);
    EXPECT_EQ(toBoolean("1"), true);
    EXPECT_EQ(toBoolean("0"), false);
    EXPECT_EQ(toBoolean("-1"), true);
    EXPECT_FALSE(toBoolean("yes"));
    EXPECT_FALSE(toBoolean(""));
}

}  // namespace
}  // namespace vistrel
