// The sweep as CSV: the header, every result as the shortest text that
// reads back to the computed double, and columns that repeat.
#include "sweep_csv.h"

#include "factor_table.h"
#include "test_base.h"
#include "text_rows.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <vector>

using testing_support::DefaultFactors;
using testing_support::Lines;

namespace {

// The design of these factors with Range at each of `ranges` in turn.
void sweepRange(const LinkFactors& base, const std::vector<double>& ranges,
                const std::function<void(const SweepSample&)>& visit) {
    Design design;
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        design.setFactor(i, base.*FactorTable[i].field);
    }
    const DesignPoint point = design.point();
    SweepDesign(
        BudgetModel(point), point, ParamId::Range, ranges.size(),
        [&ranges](std::uint64_t i) -> std::optional<double> { return ranges[i]; }, visit);
}

TEST(SweepCsv, ShortSweepHasHeaderAndFullPrecisionRows) {
    const LinkFactors base = DefaultFactors();
    std::string csv;
    {
        BufferedOutput out(StringSink(csv), 64); // small buffer: rows cross its end
        SweepCsvWriter writer(out);
        writer.header("Range");
        sweepRange(base, {10.0, 20.0, 30.0}, [&](const SweepSample& s) { writer.row(s); });
        ASSERT_TRUE(out.flush());
    }
    const std::vector<std::string> lines = Lines(csv);
    ASSERT_EQ(lines.size(), 4u) << csv;
    EXPECT_EQ(lines[0], "Range,FreeSpaceAtten,TxPowerdb,BitRatedb,NoiseTemp,NoisePbitNo,"
                        "RxPbitEb,RxEbNo,FadeMargin,Reliability");
    const double ranges[] = {10, 20, 30};
    for (std::size_t row = 0; row < 3; ++row) {
        std::vector<double> cells;
        const std::string& line = lines[row + 1];
        const char* p = line.data();
        const char* end = line.data() + line.size();
        while (p < end) {
            double v = 0;
            const auto [next, ec] = std::from_chars(p, end, v);
            ASSERT_EQ(ec, std::errc()) << line;
            cells.push_back(v);
            p = next < end && *next == ',' ? next + 1 : next;
            ASSERT_TRUE(next == end || *next == ',') << line;
        }
        ASSERT_EQ(cells.size(), 10u) << line;
        EXPECT_EQ(cells[0], ranges[row]);
        // Every number reads back to exactly the double that was computed.
        LinkFactors factors = base;
        factors.Range = ranges[row];
        LinkResults results{};
        CalculateLink(factors, results);
        for (std::size_t i = 0; i < ResultTable.size(); ++i) {
            EXPECT_EQ(cells[i + 1], results.*ResultTable[i].field * ResultTable[i].displayScale)
                << line << " column " << i + 1;
        }
    }
    // The window's texts for the first row (defaults): -123.6 dB, 21.9 dB, 99.4 %.
    EXPECT_EQ(lines[1].substr(0, 9), "10,-123.6");
    EXPECT_NE(lines[1].find(",-173.9,"), std::string::npos);
    // Free-space loss grows 20 log10(2) = 6.0206 dB per doubling of the range.
    double fsa10 = 0;
    double fsa20 = 0;
    std::from_chars(lines[1].data() + 3, lines[1].data() + lines[1].size(), fsa10);
    std::from_chars(lines[2].data() + 3, lines[2].data() + lines[2].size(), fsa20);
    EXPECT_NEAR(fsa10 - fsa20, 20.0 * std::log10(2.0), 1e-12);
    EXPECT_EQ(csv.find(' '), std::string::npos);
    EXPECT_EQ(csv.back(), '\n');
}

TEST(SweepCsv, RepeatedColumnsAreWrittenAfreshWhenTheyChange) {
    // Each row's values in every result column; rows repeat, change, return,
    // and flip the sign of zero.
    const double values[] = {1.5, 1.5, 2.25, 1.5, 0.0, -0.0, -0.0, 0.0};
    std::string csv;
    {
        BufferedOutput out(StringSink(csv));
        SweepCsvWriter writer(out);
        for (const double v : values) {
            BudgetSheet sheet{};
            for (const ResultRow& row : ResultTable) {
                sheet.results.*row.field = v / row.displayScale;
            }
            writer.row(SweepSample{0, v, sheet, sheet.results, 0.0});
        }
    }
    const std::vector<std::string> lines = Lines(csv);
    ASSERT_EQ(lines.size(), std::size(values));
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string expected = ShortestText(values[i]);
        for (std::size_t c = 0; c < ResultTable.size(); ++c) {
            expected += "," + ShortestText(values[i]);
        }
        EXPECT_EQ(lines[i], expected) << "row " << i;
    }
}

} // namespace
