#include "app/number_format.h"

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
