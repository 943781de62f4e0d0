#include "availability_render.h"

#include "number_text.h"
#include "text_rows.h"

#include <string>

namespace {

constexpr double kBitsPerKbit = 1000.0;
constexpr std::size_t kColumn = 14;

std::string column(const std::string& text, std::size_t width = kColumn) {
    return text.size() < width ? std::string(width - text.size(), ' ') + text : text;
}

std::string fixed(double value, int decimals) {
    return column(FormatInWidth(12, decimals, value));
}

} // namespace

void WriteAvailabilityText(const AvailabilityCurve& curve, BufferedOutput& out) {
    const bool adaptive = curve.meanThroughputBps.has_value();
    out.put("\nAvailability curve (the atmosphere's loss exceeded for p % of the year)\n");
    out.put(column("p %") + column("Atmosphere dB") + column("Margin dB"));
    out.put(adaptive ? column("MODCOD") + column("kbps") + "\n" : "\n");
    for (const AvailabilityPoint& row : curve.points) {
        out.put(fixed(row.percent, 3) + fixed(row.atmosphereDb, 2) + fixed(row.fadeMarginDb, 2));
        if (adaptive) {
            out.put(column(row.throughputBps > 0.0 ? row.modcod->name : "none") +
                    fixed(row.throughputBps / kBitsPerKbit, 1));
        }
        out.put('\n');
    }
    if (adaptive) {
        out.put("Mean throughput over the year: " +
                FormatInWidth(12, 1, *curve.meanThroughputBps / kBitsPerKbit) +
                " kbps (adaptive coding and modulation)\n");
    }
}

void WriteAvailabilityJson(const AvailabilityCurve& curve, BufferedOutput& out) {
    out.put("{\n    \"points\": [");
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        const AvailabilityPoint& row = curve.points[i];
        out.put(i == 0 ? "\n      {\"percent\": " : ",\n      {\"percent\": ");
        PutJsonNumber(out, row.percent);
        out.put(", \"atmosphereDb\": ");
        PutJsonNumber(out, row.atmosphereDb);
        out.put(", \"fadeMarginDb\": ");
        PutJsonNumber(out, row.fadeMarginDb);
        if (curve.meanThroughputBps) {
            out.put(", \"modcod\": ");
            PutJsonString(out, row.throughputBps > 0.0 ? row.modcod->name : "none");
            out.put(", \"throughputKbps\": ");
            PutJsonNumber(out, row.throughputBps / kBitsPerKbit);
        }
        out.put('}');
    }
    out.put("\n    ]");
    if (curve.meanThroughputBps) {
        out.put(",\n    \"meanThroughputKbps\": ");
        PutJsonNumber(out, *curve.meanThroughputBps / kBitsPerKbit);
    }
    out.put("\n  }");
}
