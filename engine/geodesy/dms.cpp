#include "dms.h"

#include <array>
#include <charconv>
#include <cmath>

namespace {

enum class Part { Degrees, Minutes, Seconds };

struct Marker {
    std::string_view text;
    Part part;
    bool letter; // d, m, s: the keyboard's stand-ins
};

// The degree sign (and the ordinal sign often typed for it), the prime and
// double prime or the apostrophe and quote, and the letters.
constexpr std::array<Marker, 9> kMarkers{{
    {"\xC2\xB0", Part::Degrees, false},
    {"\xC2\xBA", Part::Degrees, false},
    {"\xE2\x80\xB2", Part::Minutes, false},
    {"\xE2\x80\xB3", Part::Seconds, false},
    {"'", Part::Minutes, false},
    {"\"", Part::Seconds, false},
    {"d", Part::Degrees, true},
    {"m", Part::Minutes, true},
    {"s", Part::Seconds, true},
}};

struct Hemisphere {
    char letter;
    AngleAxis axis;
    double sign;
};

// Upper case only for S: a lower-case s is the seconds.
constexpr std::array<Hemisphere, 7> kHemispheres{{
    {'N', AngleAxis::Latitude, 1.0},
    {'n', AngleAxis::Latitude, 1.0},
    {'S', AngleAxis::Latitude, -1.0},
    {'E', AngleAxis::Longitude, 1.0},
    {'e', AngleAxis::Longitude, 1.0},
    {'W', AngleAxis::Longitude, -1.0},
    {'w', AngleAxis::Longitude, -1.0},
}};

bool blank(char c) {
    return c == ' ' || c == '\t';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

const Hemisphere* hemisphereOf(char c) {
    for (const Hemisphere& h : kHemispheres) {
        if (h.letter == c) {
            return &h;
        }
    }
    return nullptr;
}

// True when the text holds a sign no plain number has.
bool hasSymbol(std::string_view text) {
    for (const Marker& m : kMarkers) {
        if (!m.letter && text.find(m.text) != std::string_view::npos) {
            return true;
        }
    }
    return false;
}

DmsReading bad(std::string error) {
    DmsReading reading;
    reading.kind = DmsReading::Kind::Bad;
    reading.error = std::move(error);
    return reading;
}

// The text as a message quotes it, on one line: a control character as '?'
// (the degree sign and other UTF-8 stay).
std::string shown(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        quoted += byte < 0x20 || byte == 0x7f ? '?' : c;
    }
    return quoted + "'";
}

const char* axisName(AngleAxis axis) {
    return axis == AngleAxis::Latitude ? "latitude" : "longitude";
}

} // namespace

DmsReading ReadDms(std::string_view text, AngleAxis axis) {
    text = trimmed(text);
    const std::string quoted = shown(text);
    // A hemisphere letter closes the text.
    const Hemisphere* hemisphere = text.empty() ? nullptr : hemisphereOf(text.back());
    if (hemisphere != nullptr) {
        text = trimmed(text.substr(0, text.size() - 1));
    }
    const bool symbols = hasSymbol(text);
    double sign = 1.0;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        sign = text.front() == '-' ? -1.0 : 1.0;
        text.remove_prefix(1);
    }

    std::array<double, 3> values{};
    int next = 0; // the part that may come next
    bool fraction = false;
    bool any = false;
    while (!text.empty()) {
        double value = 0.0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value,
                                               std::chars_format::fixed);
        if (ec != std::errc() || end == text.data()) {
            return symbols || hemisphere ? bad(quoted + " is not an angle (such as 45.07, "
                                                        "45\xC2\xB0"
                                                        "4'12\"N or 45d4m12sN)")
                                         : DmsReading{};
        }
        text.remove_prefix(static_cast<std::size_t>(end - text.data()));
        text = trimmed(text);
        const Marker* marker = nullptr;
        for (const Marker& m : kMarkers) {
            if (text.substr(0, m.text.size()) == m.text) {
                marker = &m;
                break;
            }
        }
        if (marker == nullptr) {
            // A bare number with a hemisphere ("45.07N") is whole degrees.
            if (text.empty() && !any && hemisphere != nullptr) {
                values[0] = value;
                any = true;
                break;
            }
            return symbols || hemisphere ? bad(quoted + " is not an angle (such as 45.07, "
                                                        "45\xC2\xB0"
                                                        "4'12\"N or 45d4m12sN)")
                                         : DmsReading{};
        }
        const int part = static_cast<int>(marker->part);
        if (part < next || fraction) {
            return bad(quoted + ": degrees, minutes and seconds in that order, only the last "
                                "with a fraction");
        }
        values[static_cast<std::size_t>(part)] = value;
        fraction = value != std::floor(value);
        next = part + 1;
        any = true;
        text = trimmed(text.substr(marker->text.size()));
    }
    if (!any) {
        return symbols || hemisphere ? bad(quoted + " is not an angle") : DmsReading{};
    }
    if (values[1] >= 60.0 || values[2] >= 60.0) {
        return bad(quoted + ": minutes and seconds must be under 60");
    }
    if (hemisphere != nullptr) {
        if (hemisphere->axis != axis) {
            return bad(quoted + ": " + hemisphere->letter + " is no hemisphere of a " +
                       axisName(axis));
        }
        if (sign < 0.0) {
            return bad(quoted + ": a sign and a hemisphere letter together");
        }
        sign = hemisphere->sign;
    }
    const double degrees = sign * (values[0] + values[1] / 60.0 + values[2] / 3600.0);
    const double limit = axis == AngleAxis::Latitude ? 90.0 : 360.0;
    if (!(std::fabs(degrees) <= limit)) {
        return bad(quoted + ": a " + axisName(axis) + " is at most " +
                   (axis == AngleAxis::Latitude ? "90" : "360") + " degrees");
    }
    DmsReading reading;
    reading.kind = DmsReading::Kind::Angle;
    reading.degrees = degrees;
    return reading;
}
