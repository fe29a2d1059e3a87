#include "net/vesk_stochvar.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vesk {
namespace {

void expect_empty(const TStoch_var& v) {
    EXPECT_EQ(v.Nr_of_observations(), 0);
    EXPECT_EQ(v.Mean(), -1.0);
    EXPECT_EQ(v.Variance(), 0.0);
    EXPECT_EQ(v.Minimum(), -1.0);
    EXPECT_EQ(v.Maximum(), 0.0);
}

TEST(StochVar, EmptyFiguresAreFixedValues) {
    TStoch_var v;
    expect_empty(v);
    v.Add_observation(5);
    v.Clear();
    expect_empty(v);
}

TEST(StochVar, PopulationVarianceAndExtremes) {
    TStoch_var one;
    one.Add_observation(2.5);
    EXPECT_EQ(one.Mean(), 2.5);
    EXPECT_EQ(one.Variance(), 0.0);
    EXPECT_EQ(one.Minimum(), 2.5);
    EXPECT_EQ(one.Maximum(), 2.5);

    TStoch_var four;
    for (const double x : {1.0, 2.0, 3.0, 4.0})
        four.Add_observation(x);
    EXPECT_EQ(four.Nr_of_observations(), 4);
    EXPECT_EQ(four.Mean(), 2.5);
    EXPECT_EQ(four.Variance(), 1.25);
    EXPECT_EQ(four.Minimum(), 1.0);
    EXPECT_EQ(four.Maximum(), 4.0);

    TStoch_var negative;
    negative.Add_observation(-3.0);
    EXPECT_EQ(negative.Minimum(), -3.0);
    EXPECT_EQ(negative.Maximum(), -3.0);
}

// The store narrows whole numbers; every value must come back as it went in, in order, whichever
// value forces a wider store and wherever it comes.
TEST(StochVar, ObservationsComeBackExactlyAcrossWidths) {
    const std::vector<double> values = {0,  65535,        65536, 4294967295.0, 7, -0.0,    0.5,
                                        -1, 4294967296.0, 1e300, 12.0001,      3, 65535.5, 2};
    for (std::size_t start = 0; start < values.size(); ++start) {
        TStoch_var v;
        std::vector<double> expected(values.begin() + static_cast<std::ptrdiff_t>(start),
                                     values.end());
        for (const double x : expected)
            v.Add_observation(x);
        const std::vector<double> back = v.observations();
        EXPECT_EQ(back, expected) << "from value " << start;
        EXPECT_EQ(std::signbit(back[0]), std::signbit(expected[0]));
        double sum = 0;
        for (const double x : expected)
            sum += x;
        EXPECT_EQ(v.Mean(), sum / static_cast<double>(expected.size()));
    }
}

}  // namespace
}  // namespace vesk
