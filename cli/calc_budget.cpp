#include "calc_budget.h"

#include "link_display.h"
#include "link_settings.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

constexpr std::size_t kCaptionWidth = 24; // widest caption is 22 characters
constexpr std::size_t kValueWidth = 12;   // factor texts are at most 12 characters

std::string cannotRead(const std::string& path, const std::string& why) {
    return "cannot read config file '" + path + "': " + why;
}

// The settings reader treats an unreadable file as absent and keeps the
// defaults; a file the user named must exist and be readable.
bool checkReadable(const std::string& path, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec) {
        error = cannotRead(path, ec.message());
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        error = cannotRead(path, "it is a directory");
        return false;
    }
    // The reader opens the file once per key: a pipe would be empty after
    // the first key and silently leave the rest at their defaults.
    if (!std::filesystem::is_regular_file(status)) {
        error = cannotRead(path, "it is not a regular file");
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = cannotRead(path, std::strerror(errno));
        return false;
    }
    std::fgetc(file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = cannotRead(path, "read error");
        return false;
    }
    return true;
}

} // namespace

void PutBudgetRow(BufferedOutput& out, std::string_view caption, std::string_view value,
                  std::string_view unit) {
    std::string line(caption);
    line.resize(std::max(line.size() + 1, kCaptionWidth), ' ');
    if (value.size() < kValueWidth) {
        line.append(kValueWidth - value.size(), ' ');
    }
    line += value;
    if (!unit.empty()) {
        line += ' ';
        line += unit;
    }
    line += '\n';
    out.put(line);
}

void PutJsonString(BufferedOutput& out, std::string_view text) {
    out.put('"');
    for (const char c : text) {
        if (c == '"' || c == '\\') {
            out.put('\\');
            out.put(c);
        } else if (static_cast<unsigned char>(c) < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned char>(c));
            out.put(escaped);
        } else {
            out.put(c);
        }
    }
    out.put('"');
}

// JSON has no infinity or NaN; the calculation's sentinels are finite.
void PutJsonNumber(BufferedOutput& out, double value) {
    if (std::isfinite(value)) {
        out.putNumber(value);
    } else {
        out.put("null");
    }
}

void PutJsonEntry(BufferedOutput& out, std::string_view key, std::string_view caption, double value,
                  std::string_view text, std::string_view unit) {
    out.put("{\"key\": ");
    PutJsonString(out, key);
    out.put(", \"caption\": ");
    PutJsonString(out, caption);
    out.put(", \"value\": ");
    PutJsonNumber(out, value);
    out.put(", \"text\": ");
    PutJsonString(out, text);
    out.put(", \"unit\": ");
    PutJsonString(out, unit);
    out.put('}');
}

bool BuildFactors(const CalcOptions& options, LinkFactors& factors, std::string& error) {
    SetDefaultFactors(factors);
    if (options.configPath) {
        if (!checkReadable(*options.configPath, error)) {
            return false;
        }
        // The reader may change to the base directory: hand it a full path.
        std::error_code ec;
        const std::filesystem::path full = std::filesystem::absolute(*options.configPath, ec);
        WindowPosition unused;
        if (ec || !LoadLinkSettings(full.string(), factors, unused)) {
            error = cannotRead(*options.configPath, "the file could not be opened");
            return false;
        }
    }
    for (const FactorOverride& override : options.overrides) {
        factors.*FactorTable[override.factor].field = override.value;
    }
    return true;
}

std::string_view ResultKey(std::size_t index) {
    // The label names are "Label" followed by the field name.
    constexpr std::string_view kPrefix = "Label";
    std::string_view label = ResultTable[index].label;
    if (label.substr(0, kPrefix.size()) == kPrefix) {
        label.remove_prefix(kPrefix.size());
    }
    return label;
}

double BitErrorPerformance(double minEbNo) {
    std::array<double, std::tuple_size_v<decltype(BepTable)>> ebNo{};
    std::array<double, std::tuple_size_v<decltype(BepTable)>> bep{};
    for (std::size_t i = 0; i < BepTable.size(); ++i) {
        ebNo[i] = BepTable[i].ebNo;
        bep[i] = BepTable[i].bep;
    }
    return InterpolateTable(static_cast<int>(BepTable.size()), ebNo.data(), bep.data(), minEbNo);
}

void WriteBudgetText(const LinkFactors& factors, const LinkResults& results, BufferedOutput& out,
                     const FactorNotes* notes) {
    LinkDisplay display;
    MakeLinkDisplay(factors, results, display);
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const std::string unit = FactorTable[i].unit + (notes ? (*notes)[i] : std::string());
        PutBudgetRow(out, FactorTable[i].caption, display.valueTexts[i], unit);
    }
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        PutBudgetRow(out, ResultTable[i].caption, display.resultTexts[i], ResultTable[i].unit);
    }
    PutBudgetRow(out, kBepCaption, display.bepText, "");
}

void WriteBudgetJson(const LinkFactors& factors, const LinkResults& results, BufferedOutput& out,
                     const std::vector<JsonMember>& more) {
    LinkDisplay display;
    MakeLinkDisplay(factors, results, display);
    out.put("{\n  \"factors\": [\n");
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const FactorRow& row = FactorTable[i];
        out.put("    ");
        PutJsonEntry(out, row.key, row.caption, factors.*row.field, display.valueTexts[i],
                     row.unit);
        out.put(i + 1 < FactorTable.size() ? ",\n" : "\n");
    }
    out.put("  ],\n  \"results\": [\n");
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        const ResultRow& row = ResultTable[i];
        out.put("    ");
        // The number in the unit of the text: Reliability in percent.
        PutJsonEntry(out, ResultKey(i), row.caption, results.*row.field * row.displayScale,
                     display.resultTexts[i], row.unit);
        out.put(i + 1 < ResultTable.size() ? ",\n" : "\n");
    }
    out.put("  ],\n  \"bitErrorPerformance\": {\"caption\": ");
    PutJsonString(out, kBepCaption);
    out.put(", \"value\": ");
    PutJsonNumber(out, BitErrorPerformance(factors.MinEbNoDesired));
    out.put(", \"text\": ");
    PutJsonString(out, display.bepText);
    out.put(", \"unit\": \"errors per bit\"}");
    for (const JsonMember& member : more) {
        out.put(",\n  ");
        PutJsonString(out, member.name);
        out.put(": ");
        member.writeValue(out);
    }
    out.put("\n}\n");
}
