#pragma once
// --report FILE: the report (report_data.h) of the calculator's design.
#include "report_data.h"

#include <optional>
#include <string>
#include <string_view>

struct ReportOptions {
    std::optional<std::string> path;
};

bool ParseReportOption(std::string_view value, ReportOptions& options, std::string& error);

struct FileOptions;
struct SweepOptions;

// What the report says of where the design came from, the file --design
// named as it was given, and its chart's axis: the factor --sweep runs
// over, from its start to its last point; without a sweep the report's own
// (report_data.h).
ReportSource CalcReportSource(const FileOptions& files, const SweepOptions& sweep);
