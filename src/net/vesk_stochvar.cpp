#include "net/vesk_stochvar.h"

#include "base/int32_checked.h"

namespace vesk {

std::int32_t TStoch_var::Nr_of_observations() const {
    return checked_int32(observations_.size());
}

TRealArray TStoch_var::observations() const {
    TRealArray values;
    values.reserve(observations_.size());
    observations_.for_each([&values](double x) { values.push_back(x); });
    return values;
}

double TStoch_var::Mean() const {
    if (observations_.empty()) return -1.0;
    double sum = 0.0;
    observations_.for_each([&sum](double x) { sum += x; });
    return sum / static_cast<double>(observations_.size());
}

double TStoch_var::Variance() const {
    const double m = Mean();
    double sum = 0.0;
    observations_.for_each([&sum, m](double x) {
        // Each square in extended precision, the running sum rounded to double.
        const long double difference = static_cast<long double>(m) - x;
        sum = static_cast<double>(sum + difference * difference);
    });
    return observations_.empty() ? 0.0 : sum / static_cast<double>(observations_.size());
}

double TStoch_var::Minimum() const {
    if (observations_.empty()) return -1.0;
    return extreme([](double x, double best) { return x < best; });
}

double TStoch_var::Maximum() const {
    if (observations_.empty()) return 0.0;
    return extreme([](double x, double best) { return x > best; });
}

}  // namespace vesk
