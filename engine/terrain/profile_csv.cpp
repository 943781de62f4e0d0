#include "profile_csv.h"

#include <charconv>
#include <cmath>
#include <fstream>
#include <sstream>
#include <system_error>
#include <vector>

namespace {

// A file larger than this cannot hold a profile of kMostProfilePoints
// points in any sensible form (bytes).
constexpr std::uintmax_t kLargestProfileFile = 256u * 1024u * 1024u;
constexpr std::size_t kShownFieldChars = 40;

std::string_view trimmed(std::string_view s) {
    const char* space = " \t\r\v\f";
    const std::size_t begin = s.find_first_not_of(space);
    if (begin == std::string_view::npos) {
        return {};
    }
    return s.substr(begin, s.find_last_not_of(space) - begin + 1);
}

// The field as shown in a message: quoted, cut when long, with bytes that
// cannot be printed replaced.
std::string shown(std::string_view field) {
    std::string out = "\"";
    for (char c : field.substr(0, kShownFieldChars)) {
        out += (c >= 0x20 && c < 0x7F) ? c : '?';
    }
    if (field.size() > kShownFieldChars) {
        out += "...";
    }
    return out + "\"";
}

enum class Parsed { Number, NotANumber, NotFinite };

Parsed parseNumber(std::string_view field, double& value) {
    if (!field.empty() && field.front() == '+') {
        field.remove_prefix(1);
    }
    if (field.empty()) {
        return Parsed::NotANumber;
    }
    const char* end = field.data() + field.size();
    const auto [ptr, ec] = std::from_chars(field.data(), end, value);
    if (ptr != end || (ec != std::errc() && ec != std::errc::result_out_of_range)) {
        return Parsed::NotANumber;
    }
    if (ec == std::errc::result_out_of_range || !std::isfinite(value)) {
        return Parsed::NotFinite;
    }
    return Parsed::Number;
}

std::vector<std::string_view> split(std::string_view line, char separator) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    while (true) {
        const std::size_t at = line.find(separator, start);
        fields.push_back(trimmed(line.substr(start, at - start)));
        if (at == std::string_view::npos) {
            return fields;
        }
        start = at + 1;
    }
}

class Reader {
  public:
    std::optional<TerrainProfile> read(std::string_view text, std::string& error);

  private:
    bool fail(std::string message) {
        m_error = "line " + std::to_string(m_line) + ": " + std::move(message);
        return false;
    }
    bool number(std::string_view field, const char* what, double& value);
    bool point(std::string_view line);

    TerrainProfile m_profile;
    std::string m_error;
    std::size_t m_line = 0;
    char m_separator = '\0';
    bool m_firstRow = true;
    bool m_zoned = false;
};

bool Reader::number(std::string_view field, const char* what, double& value) {
    switch (parseNumber(field, value)) {
    case Parsed::Number:
        return true;
    case Parsed::NotFinite:
        return fail(std::string("the ") + what + " " + shown(field) + " is not a finite number");
    case Parsed::NotANumber:
        break;
    }
    if (field.empty()) {
        return fail(std::string("the ") + what + " is missing");
    }
    return fail(std::string("the ") + what + " " + shown(field) +
                " is not a number (a full stop for decimals)");
}

bool Reader::point(std::string_view line) {
    // The file's separator: the first of a comma, a semicolon and a tab that
    // a line holds (a header of one column holds none).
    if (m_separator == '\0') {
        for (const char separator : {',', ';', '\t'}) {
            if (line.find(separator) != std::string_view::npos) {
                m_separator = separator;
                break;
            }
        }
    }
    const std::vector<std::string_view> fields =
        m_separator == '\0' ? std::vector<std::string_view>{line} : split(line, m_separator);
    const bool header = m_firstRow;
    m_firstRow = false;
    double distance = 0.0;
    if (header && parseNumber(fields[0], distance) == Parsed::NotANumber) {
        return true; // the column names
    }
    if (fields.size() < 2 || fields.size() > 3) {
        return fail(std::to_string(fields.size()) + (fields.size() == 1 ? " column" : " columns") +
                    " where a point has the distance (km), the height (m) and optionally the "
                    "zone");
    }
    const bool zoned = fields.size() == 3;
    if (m_profile.distanceKm.empty()) {
        m_zoned = zoned;
    } else if (zoned != m_zoned) {
        return fail(zoned ? "a zone where the lines before have none"
                          : "no zone where the lines before have one");
    }
    double height = 0.0;
    if (!number(fields[0], "distance", distance) || !number(fields[1], "height", height)) {
        return false;
    }
    if (m_profile.distanceKm.empty() && distance < 0.0) {
        return fail("the first distance " + shown(fields[0]) + " km is below 0");
    }
    if (!m_profile.distanceKm.empty() && !(distance > m_profile.distanceKm.back())) {
        return fail("the distance " + shown(fields[0]) +
                    " km does not increase from the point before");
    }
    if (height < kLowestGroundM || height > kHighestGroundM) {
        return fail("the height " + shown(fields[1]) + " m is outside -500 to 9000 m");
    }
    if (zoned && fields[2].empty()) {
        return fail("the zone is empty");
    }
    if (m_profile.distanceKm.size() == kMostProfilePoints) {
        return fail("more than 1000000 points");
    }
    m_profile.distanceKm.push_back(distance);
    m_profile.heightM.push_back(height);
    if (zoned) {
        m_profile.zone.emplace_back(fields[2]);
    }
    return true;
}

std::optional<TerrainProfile> Reader::read(std::string_view text, std::string& error) {
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) {
        text.remove_prefix(kByteOrderMark.size());
    }
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        ++m_line;
        const std::string_view line = trimmed(text.substr(start, end - start));
        start = end + 1;
        if (line.empty() || line.front() == '#') {
            continue;
        }
        if (line.find('\0') != std::string_view::npos) {
            fail("a NUL byte: this is not a text file");
            error = m_error;
            return std::nullopt;
        }
        if (!point(line)) {
            error = m_error;
            return std::nullopt;
        }
    }
    if (m_profile.distanceKm.size() < 3) {
        error = "the profile has " + std::to_string(m_profile.distanceKm.size()) +
                (m_profile.distanceKm.size() == 1 ? " point" : " points") + " up to line " +
                std::to_string(m_line) + "; it needs at least 3";
        return std::nullopt;
    }
    error.clear();
    return std::move(m_profile);
}

} // namespace

std::optional<TerrainProfile> ReadProfileCsv(std::string_view text, std::string& error) {
    return Reader().read(text, error);
}

std::optional<TerrainProfile> ReadProfileFile(const std::filesystem::path& file,
                                              std::string& error) {
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(file, ec);
    if (ec) {
        error = "cannot read the profile " + file.string() + ": " + ec.message();
        return std::nullopt;
    }
    if (size > kLargestProfileFile) {
        error = "the profile " + file.string() + " is larger than 256 MB";
        return std::nullopt;
    }
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    if (!in || !(text << in.rdbuf())) {
        if (size == 0 && in) {
            text.str({});
        } else {
            error = "cannot read the profile " + file.string();
            return std::nullopt;
        }
    }
    std::optional<TerrainProfile> profile = ReadProfileCsv(text.str(), error);
    if (!profile) {
        error = file.string() + ": " + error;
    }
    return profile;
}
