#include "base/number_format.h"

#include <gtest/gtest.h>

namespace vesk {
namespace {

TEST(NumberFormat, ShortestGeneralFormWithFifteenDigits) {
    EXPECT_EQ(format_general(1.0, '.'), "1");
    EXPECT_EQ(format_general(0.5, '.'), "0.5");
    EXPECT_EQ(format_general(0.5, ','), "0,5");
    EXPECT_EQ(format_general(1.0 / 3.0, '.'), "0.333333333333333");
    EXPECT_EQ(format_general(2.0 / 3.0, '.'), "0.666666666666667");
    EXPECT_EQ(format_general(0.1 + 0.2, '.'), "0.3");
    EXPECT_EQ(format_general(0.00001, '.'), "0.00001");
    EXPECT_EQ(format_general(0.000001, '.'), "1E-6");
    EXPECT_EQ(format_general(0.0000015, ','), "1,5E-6");
    EXPECT_EQ(format_general(123456789012345.0, '.'), "123456789012345");
    EXPECT_EQ(format_general(1e15, '.'), "1E15");
    EXPECT_EQ(format_general(-2.5, '.'), "-2.5");
    EXPECT_EQ(format_general(0.0, '.'), "0");
}

TEST(NumberFormat, Int32Parsing) {
    int value = 0;
    EXPECT_TRUE(parse_int32("42", value));
    EXPECT_EQ(value, 42);
    EXPECT_TRUE(parse_int32("-7", value));
    EXPECT_EQ(value, -7);
    EXPECT_TRUE(parse_int32("+7", value));
    for (const char* bad : {"", "+", "-", "+-1", "1.5", " 1", "2147483648", "x"})
        EXPECT_FALSE(parse_int32(bad, value)) << bad;
}

}  // namespace
}  // namespace vesk

namespace vesk {
namespace {

TEST(NumberFormat, FiguresRoundHalvesAwayFromZeroAtEachStep) {
    EXPECT_EQ(format_fixed4(7.53125, '.'), "7.5313");  // 241/32, a half at the fifth decimal
    EXPECT_EQ(format_fixed4(-7.53125, '.'), "-7.5313");
    EXPECT_EQ(format_fixed4(0.03125, '.'), "0.0313");   // 1/32
    EXPECT_EQ(format_fixed4(0.015625, '.'), "0.0156");  // 1/64: 0.015625 -> the 2 rounds down
    EXPECT_EQ(format_fixed4(2.0 + 3.0 / 64.0, ','), "2,0469");
    EXPECT_EQ(format_fixed4(12.5, '.'), "12.5000");
    EXPECT_EQ(format_fixed4(-1.0, '.'), "-1.0000");
    EXPECT_EQ(format_fixed4(0.0, '.'), "0.0000");
    EXPECT_EQ(format_fixed4(99999.99995, '.'), "100000.0000");
    // Fourteen significant digits first, then four decimals.
    EXPECT_EQ(format_fixed4(123456789.123456789, '.'), "123456789.1235");
    EXPECT_EQ(format_fixed4(1e20, '.'), "100000000000000000000.0000");
}

TEST(NumberFormat, ProbabilitiesKeepFourSignificantDigits) {
    EXPECT_EQ(format_probability(2.0 / 3.0, '.'), "0.6667");
    EXPECT_EQ(format_probability(0.5, '.'), "0.5000");
    EXPECT_EQ(format_probability(0.25, ','), "0,2500");
    EXPECT_EQ(format_probability(1.0 / 3.0, '.'), "0.3333");
    EXPECT_EQ(format_probability(0.00012345, '.'), "0.0001");
}

}  // namespace
}  // namespace vesk
