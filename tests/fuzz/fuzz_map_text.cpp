// Fuzzes the reader of ITU-R's map texts (ParseNumberTable, itu_grid.h) and
// of the angles a site is typed in (ReadDms, dms.h): any bytes give a table
// or one line saying what is wrong, and an angle or a refusal, never a crash.
//
// Input: one byte choosing the reader (even: the map text; odd: an angle,
// a latitude when its value modulo 4 is 1, else a longitude), then the text.
// A table read is written back in ITU's layout (shortest round-trip
// numbers, "NaN") and read again: the same table.
#include "dms.h"
#include "fuzz_check.h"
#include "itu_grid.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

std::string written(const NumberTable& table) {
    std::string text;
    for (std::size_t r = 0; r < table.rows; ++r) {
        for (std::size_t c = 0; c < table.cols; ++c) {
            const double v = table.values[r * table.cols + c];
            if (std::isnan(v)) {
                text += "NaN";
            } else {
                char number[32];
                text.append(number, std::to_chars(number, number + 32, v).ptr);
            }
            text += c + 1 < table.cols ? ' ' : '\n';
        }
    }
    return text;
}

void checkTable(std::string_view text) {
    const NumberTable table = ParseNumberTable(text);
    const std::string input = "text \"" + fuzzcheck::Printable(text.substr(0, 200)) + "\"";
    if (!table.error.empty()) {
        FUZZ_CHECK(table.error.find('\n') == std::string::npos, input + ": " + table.error);
        return;
    }
    FUZZ_CHECK(table.values.size() == table.rows * table.cols, input);
    for (const double v : table.values) {
        FUZZ_CHECK(std::isnan(v) || std::isfinite(v), input + ": an infinite value kept");
    }
    const NumberTable again = ParseNumberTable(written(table));
    FUZZ_CHECK(again.error.empty() && again.rows == table.rows && again.cols == table.cols,
               input + ": written back, " + again.error);
    for (std::size_t i = 0; i < table.values.size(); ++i) {
        const double a = table.values[i];
        const double b = again.values[i];
        FUZZ_CHECK((std::isnan(a) && std::isnan(b)) || a == b, input + ": a value changed");
    }
}

void checkAngle(std::string_view text, AngleAxis axis) {
    const DmsReading reading = ReadDms(text, axis);
    const std::string input = "angle \"" + fuzzcheck::Printable(text) + "\"";
    switch (reading.kind) {
    case DmsReading::Kind::Decimal:
        break;
    case DmsReading::Kind::Angle: {
        const double limit = axis == AngleAxis::Latitude ? 90.0 : 360.0;
        FUZZ_CHECK(std::isfinite(reading.degrees) && std::fabs(reading.degrees) <= limit,
                   input + " gave " + std::to_string(reading.degrees));
        break;
    }
    case DmsReading::Kind::Bad:
        FUZZ_CHECK(!reading.error.empty() && reading.error.find('\n') == std::string::npos,
                   input + ": " + reading.error);
        break;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
    if (data[0] % 2 == 0) {
        checkTable(text);
    } else {
        checkAngle(text, data[0] % 4 == 1 ? AngleAxis::Latitude : AngleAxis::Longitude);
    }
    return 0;
}
