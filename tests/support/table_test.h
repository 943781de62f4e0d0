#pragma once
// Table-driven GoogleTest cases: rows with a `name` member are named and
// printed by it. A test file's anonymous namespace brings the printer in with
// `using testing_support::PrintTo;`.
#include <ostream>
#include <string>

namespace testing_support {

template <typename Row>
requires requires(const Row& row) {
    std::string(row.name);
}
void PrintTo(const Row& row, std::ostream* os) {
    *os << row.name;
}

// INSTANTIATE_TEST_SUITE_P's name generator for such rows.
struct RowName {
    template <typename Info> std::string operator()(const Info& info) const {
        return info.param.name;
    }
};

} // namespace testing_support
