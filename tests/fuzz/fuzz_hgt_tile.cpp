// Fuzzes the .hgt tile reader over the bytes of a tile and its file name.
//
// Input: the file name up to the first LF (without one, N45E007.hgt and the
// whole input as the body). The body's first byte chooses the tile's size:
// 0 a 3" tile, 1 a 1" tile, anything else the rest of the body as it is; the
// rest of the body, repeated, fills the tile (and its first bytes pick the
// places asked for).
//
// A tile is taken exactly when its name is a tile's and its size one of the
// two; a sample is the big-endian 16-bit number at its place; a height is
// finite and between the lowest and highest valid samples of its cell, and
// none only when the cell's four samples are voids.
#include "fuzz_check.h"
#include "hgt_tile.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kThreeSecondBytes = 2u * 1201 * 1201;
constexpr std::size_t kOneSecondBytes = 2u * 3601 * 3601;

std::vector<unsigned char> tileBytes(std::string_view body) {
    if (body.empty()) {
        return {};
    }
    const unsigned char mode = static_cast<unsigned char>(body[0]);
    const std::string_view fill = body.substr(1);
    const std::size_t size = mode == 0   ? kThreeSecondBytes
                             : mode == 1 ? kOneSecondBytes
                                         : fill.size();
    std::vector<unsigned char> bytes(size, 0);
    if (fill.empty() || size == 0) {
        return bytes;
    }
    // The pattern once, then what is filled copied after itself.
    std::size_t filled = std::min(fill.size(), size);
    std::memcpy(bytes.data(), fill.data(), filled);
    while (filled < size) {
        const std::size_t more = std::min(filled, size - filled);
        std::memcpy(bytes.data() + filled, bytes.data(), more);
        filled += more;
    }
    return bytes;
}

double stored(const std::vector<unsigned char>& bytes, int samples, int col, int row) {
    const std::size_t at = 2 * (static_cast<std::size_t>(row) * samples + col);
    const auto value = static_cast<std::int16_t>((bytes[at] << 8) | bytes[at + 1]);
    return value == kHgtVoid ? NAN : value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t lineEnd = input.find('\n');
    const std::string name(lineEnd == std::string_view::npos ? "N45E007.hgt"
                                                             : input.substr(0, lineEnd));
    const std::string_view body =
        lineEnd == std::string_view::npos ? input : input.substr(lineEnd + 1);
    const std::vector<unsigned char> bytes = tileBytes(body);

    std::string error = "stale";
    const std::unique_ptr<HgtGrid> grid = ReadHgtTile(bytes, name, nullptr, error);
    const std::optional<NamedTile> named = TileFromFileName(name);
    const bool hgtName = named && named->format == TileFormat::Hgt;
    const bool tileSize = bytes.size() == kThreeSecondBytes || bytes.size() == kOneSecondBytes;
    const std::string what =
        "name \"" + fuzzcheck::Printable(name) + "\", " + std::to_string(bytes.size()) + " bytes";
    FUZZ_CHECK((grid != nullptr) == (hgtName && tileSize), what + ": " + error);
    if (!grid) {
        // One line; for a tile's name, the size refused.
        FUZZ_CHECK(!error.empty() && error.find('\n') == std::string::npos &&
                       (!hgtName || error.find(std::to_string(bytes.size())) != std::string::npos),
                   what + ": refused with \"" + fuzzcheck::Printable(error) + "\"");
        return 0;
    }
    FUZZ_CHECK(error.empty(), what + ": taken with a message");
    const int samples = grid->cols;
    FUZZ_CHECK(grid->rows == samples && (samples == 1201 || samples == 3601), what);
    FUZZ_CHECK(grid->westLonDeg == named->key.lon && grid->northLatDeg == named->key.lat + 1, what);

    // Places: the four corners, the centre, and ones the body picks.
    std::vector<std::pair<double, double>> fractions{{0, 0}, {1, 1}, {0, 1}, {1, 0}, {0.5, 0.5}};
    for (std::size_t i = 1; i + 1 < std::min<std::size_t>(body.size(), 33); i += 2) {
        fractions.emplace_back(static_cast<unsigned char>(body[i]) / 255.0,
                               static_cast<unsigned char>(body[i + 1]) / 255.0);
    }
    for (const auto& [fy, fx] : fractions) {
        const double lat = named->key.lat + 1.0 - fy;
        const double lon = named->key.lon + fx;
        // The cell around the place; on a row or column of samples (to
        // rounding) the cells on either side.
        const auto firstOf = [samples](double at) {
            return std::clamp(static_cast<int>(std::floor(at - 1e-6)), 0, samples - 2);
        };
        const auto lastOf = [samples](double at) {
            return std::clamp(static_cast<int>(std::floor(at + 1e-6)), 0, samples - 2);
        };
        const double x = fx * (samples - 1);
        const double y = fy * (samples - 1);
        bool someCellVoid = false;
        double lowest = INFINITY;
        double highest = -INFINITY;
        for (int row = firstOf(y); row <= lastOf(y); ++row) {
            for (int col = firstOf(x); col <= lastOf(x); ++col) {
                bool allVoid = true;
                for (const auto& [c, r] : {std::pair{col, row}, std::pair{col + 1, row},
                                           std::pair{col, row + 1}, std::pair{col + 1, row + 1}}) {
                    const double value = stored(bytes, samples, c, r);
                    const double sample = grid->sample(c, r);
                    FUZZ_CHECK((std::isnan(value) && std::isnan(sample)) || value == sample,
                               what + ": sample " + std::to_string(c) + ", " + std::to_string(r));
                    if (!std::isnan(value)) {
                        allVoid = false;
                        lowest = std::min(lowest, value);
                        highest = std::max(highest, value);
                    }
                }
                someCellVoid = someCellVoid || allVoid;
            }
        }
        const std::optional<double> height = InterpolateGrid(*grid, lat, lon);
        const std::string place =
            what + " at " + fuzzcheck::Number(lat) + ", " + fuzzcheck::Number(lon);
        FUZZ_CHECK(height.has_value() || someCellVoid, place + ": none with valid samples");
        if (height) {
            FUZZ_CHECK(std::isfinite(*height) && *height >= lowest - 1e-6 &&
                           *height <= highest + 1e-6,
                       place + ": " + fuzzcheck::Number(*height));
        }
    }
    return 0;
}
