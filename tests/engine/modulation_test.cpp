// Required Eb/No of every modulation at four target rates, against a search
// written here on std::erfc, and the textbook's published BPSK values.
#include "modulation.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <string>
#include <tuple>

namespace {

// The bit error rate of each modulation, written out again from its formula.
double referenceBer(const std::string& name, double ebNoDb) {
    const double g = std::pow(10.0, ebNoDb / 10.0);
    const auto q = [](double x) { return 0.5 * std::erfc(x / std::sqrt(2.0)); };
    if (name == "bpsk" || name == "qpsk") {
        return q(std::sqrt(2.0 * g));
    }
    if (name == "8psk") {
        return (2.0 / 3.0) * q(std::sqrt(6.0 * g) * std::sin(std::numbers::pi / 8.0));
    }
    if (name == "16qam") {
        return (4.0 / 4.0) * (1.0 - 1.0 / 4.0) * q(std::sqrt(12.0 * g / 15.0));
    }
    if (name == "64qam") {
        return (4.0 / 6.0) * (1.0 - 1.0 / 8.0) * q(std::sqrt(18.0 * g / 63.0));
    }
    return name == "dbpsk" ? 0.5 * std::exp(-g) : 0.5 * std::exp(-g / 2.0);
}

// Bisection over 0 ... 40 dB, where all of the table's answers lie.
double referenceEbNo(const std::string& name, double ber) {
    double low = 0.0;
    double high = 40.0;
    while (high - low > 1e-7) {
        const double middle = 0.5 * (low + high);
        (referenceBer(name, middle) > ber ? low : high) = middle;
    }
    return 0.5 * (low + high);
}

class RequiredEbNoTable : public testing::TestWithParam<std::tuple<const char*, double>> {};

TEST_P(RequiredEbNoTable, MatchesAnIndependentSearchToAThousandthOfADecibel) {
    const auto [name, ber] = GetParam();
    const ModulationRow* row = FindModulation(name);
    ASSERT_NE(row, nullptr);
    const std::optional<double> required = RequiredEbNo(*row, ber);
    ASSERT_TRUE(required.has_value());
    EXPECT_NEAR(*required, referenceEbNo(name, ber), 1e-3);
    EXPECT_NEAR(BitErrorProbability(*row, *required), ber, ber * 1e-6);
}

INSTANTIATE_TEST_SUITE_P(Modulation, RequiredEbNoTable,
                         testing::Combine(testing::Values("bpsk", "qpsk", "8psk", "16qam", "64qam",
                                                          "dbpsk", "bfsk"),
                                          testing::Values(1e-3, 1e-5, 1e-6, 1e-7)));

TEST(Modulation, PublishedBpskValues) {
    const ModulationRow& bpsk = *FindModulation("BPSK");
    EXPECT_NEAR(BitErrorProbability(bpsk, 10.0), 3.87e-6, 0.005e-6);
    EXPECT_NEAR(*RequiredEbNo(bpsk, 1e-6), 10.5, 0.05);
    // The non-coherent forms have closed inverses: Eb/No = -ln(2P), -2 ln(2P).
    EXPECT_NEAR(*RequiredEbNo(*FindModulation("dbpsk"), 1e-5), 10.0 * std::log10(-std::log(2e-5)),
                1e-9);
    EXPECT_NEAR(*RequiredEbNo(*FindModulation("bfsk"), 1e-5),
                10.0 * std::log10(-2.0 * std::log(2e-5)), 1e-9);
}

TEST(Modulation, UnknownNamesAndUnreachableRates) {
    EXPECT_EQ(FindModulation("256qam"), nullptr);
    EXPECT_EQ(FindModulation(""), nullptr);
    // 64-QAM's approximation never exceeds 0.29 errors per bit.
    EXPECT_FALSE(RequiredEbNo(*FindModulation("64qam"), 0.4).has_value());
    EXPECT_FALSE(RequiredEbNo(*FindModulation("bpsk"), 0.0).has_value());
}

} // namespace
