#pragma once
// Latitudes and longitudes as people write them: decimal degrees ("45.07",
// "-7.5") or degrees, minutes and seconds with a hemisphere letter
// ("45°4'12\"N", "7°41'24\"E", or "45d4m12sN" where there is no degree sign).
// Independent of the process locale: a full stop is the decimal point. No Qt.
#include <string>
#include <string_view>

enum class AngleAxis { Latitude, Longitude };

struct DmsReading {
    enum class Kind {
        Decimal, // a plain number: the caller reads it with its units
        Angle,   // degrees-minutes-seconds or a hemisphere letter: `degrees` holds
        Bad,     // written as such an angle, but wrong: `error` says why
    };
    Kind kind = Kind::Decimal;
    double degrees = 0.0; // north and east positive
    std::string error;    // one line
};

// Reads `text` as an angle on `axis`. A latitude beyond 90 degrees and a
// longitude beyond 360 are refused, as are minutes or seconds of 60 or
// more, a hemisphere letter of the other axis, a sign with a hemisphere,
// and parts out of order.
DmsReading ReadDms(std::string_view text, AngleAxis axis);
