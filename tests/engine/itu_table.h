#pragma once
// The ITU-R validation tables in tests/engine/itu (the folder ITU_TABLE_DIR):
// a line of column names, lines of units (first field not a number), then
// rows of numbers, read by the "C" locale's rules whatever the process locale.
#include "number_parse.h"
#include "test_base.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace testing_support {

struct ItuTable {
    std::vector<std::string> columns;
    std::vector<std::vector<double>> rows;

    // The row's value in the named column; NaN, which matches nothing, for a
    // column the table does not have.
    double get(const std::vector<double>& row, std::string_view name) const {
        const auto at = std::find(columns.begin(), columns.end(), name);
        const auto index = static_cast<std::size_t>(at - columns.begin());
        return index < row.size() ? row[index] : std::numeric_limits<double>::quiet_NaN();
    }
};

// One row, its values by column name: row("f").
struct ItuRow {
    const ItuTable& table;
    const std::vector<double>& values;

    double operator()(std::string_view name) const { return table.get(values, name); }
};

inline ItuTable ReadItuTable(std::string_view file) {
    ItuTable table;
    for (const std::string& line :
         Lines(ReadAll(std::string(ITU_TABLE_DIR "/") + std::string(file)))) {
        std::vector<std::string> fields;
        std::istringstream in(line);
        for (std::string field; std::getline(in, field, ',');) {
            const auto first = field.find_first_not_of(' ');
            fields.push_back(first == std::string::npos
                                 ? std::string()
                                 : field.substr(first, field.find_last_not_of(' ') - first + 1));
        }
        std::vector<double> values(fields.size());
        bool numbers = !fields.empty();
        for (std::size_t i = 0; i < fields.size() && numbers; ++i) {
            numbers = !fields[i].empty() && TextToDouble(fields[i], values[i]);
        }
        if (table.columns.empty()) {
            table.columns = fields;
        } else if (numbers) {
            table.rows.push_back(values);
        }
    }
    return table;
}

// `column` of each of the table's `rows` rows against model(ItuRow), to
// 1e-5 dB or 1e-6 of the value; the count keeps a short read from passing.
template <typename Model>
void ExpectEveryRow(const char* file, std::size_t rows, const char* column, Model model) {
    const ItuTable table = ReadItuTable(file);
    ASSERT_EQ(table.rows.size(), rows) << file;
    for (std::size_t i = 0; i < rows; ++i) {
        const ItuRow row{table, table.rows[i]};
        const double expected = row(column);
        EXPECT_NEAR(model(row), expected, std::max(1e-5, 1e-6 * std::fabs(expected)))
            << file << " row " << i + 1 << ", " << column;
    }
}

} // namespace testing_support
