#include "sheet_render.h"

#include "availability_render.h"
#include "explain_render.h"
#include "link_display.h"

#include "text_rows.h"
#include <algorithm>

namespace {

std::string unitWithNote(std::size_t factor, double value, bool metric) {
    return FactorTable[factor].unit + (metric ? MetricNote(factor, value) : std::string());
}

void writeSolveText(const SolvedFactor& solved, bool metric, BufferedOutput& out) {
    const FactorRow& row = FactorTable[solved.factor];
    out.put(SolveHeading(solved) + "\n");
    PutBudgetRow(out, row.caption, FactorShownText(row, solved.value),
                 unitWithNote(solved.factor, solved.value, metric));
    out.put('\n');
}

void putMetricJson(BufferedOutput& out, const MetricValue& metric) {
    out.put("{\"value\": ");
    PutJsonNumber(out, metric.value);
    out.put(", \"unit\": ");
    PutJsonString(out, metric.unit);
    out.put('}');
}

void writeSolveJson(const SolvedFactor& solved, BufferedOutput& out) {
    const FactorRow& row = FactorTable[solved.factor];
    out.put("{\"fadeMargin\": ");
    PutJsonNumber(out, solved.margin);
    out.put(SolvesForLargest(solved.factor) ? ", \"largest\": true, \"factor\": "
                                            : ", \"largest\": false, \"factor\": ");
    PutJsonEntry(out, row.key, row.caption, solved.value, FactorShownText(row, solved.value),
                 row.unit);
    // The metric value goes with the answer whether --metric was given or not.
    if (const auto metric = MetricValueOf(solved.factor, solved.value)) {
        out.put(", \"metric\": ");
        putMetricJson(out, *metric);
    }
    out.put('}');
}

void writeMetricJson(const LinkFactors& factors, BufferedOutput& out) {
    const char* separator = "{";
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        const FactorRow& row = FactorTable[i];
        if (const auto metric = MetricValueOf(i, factors.*row.field)) {
            out.put(separator);
            PutJsonString(out, row.key);
            out.put(": ");
            putMetricJson(out, *metric);
            separator = ", ";
        }
    }
    out.put('}');
}

void writeSectionJson(const SheetSection& section, BufferedOutput& out) {
    if (!section.fields.empty()) {
        const char* separator = "{";
        for (const SheetField& field : section.fields) {
            out.put(separator);
            PutJsonString(out, field.name);
            out.put(": ");
            if (field.text) {
                PutJsonString(out, *field.text);
            } else {
                PutJsonNumber(out, field.number);
            }
            separator = ", ";
        }
        out.put('}');
        return;
    }
    out.put("{\n    \"rows\": [\n");
    for (std::size_t i = 0; i < section.lines.size(); ++i) {
        const SheetLine& line = section.lines[i];
        out.put("      ");
        PutJsonEntry(out, line.key, line.caption, line.value, line.text, line.unit);
        out.put(i + 1 < section.lines.size() ? ",\n" : "\n");
    }
    out.put("    ],\n    \"notes\": [");
    for (std::size_t i = 0; i < section.notes.size(); ++i) {
        out.put(i == 0 ? "" : ", ");
        PutJsonString(out, section.notes[i]);
    }
    out.put("]\n  }");
}

void member(BufferedOutput& out, std::string_view name) {
    out.put(",\n  ");
    PutJsonString(out, name);
    out.put(": ");
}

} // namespace

SheetView ExplainedView(SheetView view, const BudgetModel& model, const DesignPoint& point) {
    AddExplainedSections(view.sections, point, view.sheet);
    view.explanation = ExplainBudget(model, point, view.sheet);
    return view;
}

std::string SolvedNote(const SolvedFactor& solved, bool metric) {
    const FactorRow& row = FactorTable[solved.factor];
    return SolveHeading(solved) + " " + FactorShownText(row, solved.value) + " " +
           unitWithNote(solved.factor, solved.value, metric);
}

void WriteSectionText(const SheetSection& section, BufferedOutput& out) {
    for (const SheetLine& line : section.lines) {
        PutBudgetRow(out, line.caption, line.text, line.unit);
    }
    for (const std::string& note : section.notes) {
        out.put(note);
        out.put('\n');
    }
}

void WriteSheetText(const SheetView& view, BufferedOutput& out) {
    const LinkFactors& factors = view.sheet.effective;
    if (view.solved) {
        writeSolveText(*view.solved, view.metric, out);
    }
    LinkDisplay display;
    MakeShownDisplay(factors, view.sheet.results, display);
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        PutBudgetRow(out, FactorTable[i].caption, display.valueTexts[i],
                     unitWithNote(i, factors.*FactorTable[i].field, view.metric));
    }
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        PutBudgetRow(out, ResultTable[i].caption, display.resultTexts[i], ResultTable[i].unit);
    }
    PutBudgetRow(out, kBepCaption, display.bepText, "");
    for (const SheetSection& section : view.sections) {
        WriteSectionText(section, out);
    }
    if (view.explanation) {
        WriteExplainText(*view.explanation, out);
    }
    if (view.availability) {
        WriteAvailabilityText(*view.availability, out);
    }
}

void WriteSheetJson(const SheetView& view, BufferedOutput& out) {
    const LinkFactors& factors = view.sheet.effective;
    const LinkResults& results = view.sheet.results;
    LinkDisplay display;
    MakeShownDisplay(factors, results, display);
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
    for (const bool late : {false, true}) {
        if (late && view.solved) {
            member(out, "solve");
            writeSolveJson(*view.solved, out);
        }
        if (late && view.metric) {
            member(out, "metric");
            writeMetricJson(factors, out);
        }
        for (const SheetSection& section : view.sections) {
            if (section.followsSolve == late) {
                member(out, section.name);
                writeSectionJson(section, out);
            }
        }
    }
    if (view.explanation) {
        member(out, "explain");
        WriteExplainJson(*view.explanation, out);
    }
    if (view.availability) {
        member(out, "availabilityCurve");
        WriteAvailabilityJson(*view.availability, out);
    }
    out.put("\n}\n");
}
