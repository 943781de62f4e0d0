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
