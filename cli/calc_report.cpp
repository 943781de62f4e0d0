#include "calc_report.h"

bool ParseReportOption(std::string_view value, ReportOptions& options, std::string& error) {
    if (value.empty()) {
        error = "--report needs a file name";
        return false;
    }
    options.path = std::string(value);
    return true;
}

ReportSource CalcReportSource(const FileOptions& files) {
    return ReportSource{files.designPath.value_or(std::string()), std::nullopt};
}
