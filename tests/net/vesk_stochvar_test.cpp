#include "net/vesk_stochvar.h"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vesk
