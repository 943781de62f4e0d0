#include "budget_csv.h"

#include "budget_explain.h"
#include "buffered_output.h"

#include <initializer_list>

namespace {

std::string field(std::string_view text) {
    if (text.find_first_of(",\"\n") == std::string_view::npos)
        return std::string(text);
    std::string quoted = "\"";
    for (const char c : text) {
        quoted += c;
        if (c == '"')
            quoted += '"';
    }
    return quoted + '"';
}

std::string line(std::initializer_list<std::string_view> fields) {
    std::string text;
    bool first = true;
    for (const std::string_view each : fields) {
        text += (first ? "" : ",") + field(each);
        first = false;
    }
    return text + '\n';
}

const char* sideName(TermSide side) {
    switch (side) {
    case TermSide::Signal:
        return "signal";
    case TermSide::Noise:
        return "noise";
    case TermSide::Requirement:
        return "requirement";
    }
    return "";
}

} // namespace

std::string BudgetCsv(const Evaluation& e) {
    std::string csv =
        line({"Kind", "Key", "Caption", "Value", "Unit", "Contribution (dB)", "Source"});
    const BudgetExplanation explained = ExplainBudget(*e.model, e.point, e.sheet);
    for (const LinkTerm& term : explained.terms)
        csv += line({sideName(term.side), term.key, term.caption, ShortestText(term.value),
                     term.unit, ShortestText(term.db), term.source});
    const ResultRow& fade = ResultRowOf(&LinkResults::FadeMargin);
    csv += line({"result", "FadeMargin", fade.caption, ShortestText(explained.fadeMargin), "dB",
                 ShortestText(explained.fadeMargin), "the sum of the terms above"});
    const ParamRow& asked = ParamRowOf(ParamId::Margin);
    csv += line({"requirement", ParamKey(asked), ParamCaption(asked),
                 ShortestText(e.point[ParamId::Margin]), "dB", "", asked.help});
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        const ResultRow& row = ResultTable[i];
        if (row.field == &LinkResults::FadeMargin)
            continue;
        // A result that is also a term has the term's source.
        const char* source = "";
        for (const LinkTerm& term : explained.terms)
            if (ResultKey(i) == term.key)
                source = term.source;
        csv += line({"result", ResultKey(i), row.caption,
                     ShortestText(e.sheet.results.*row.field * row.displayScale), row.unit, "",
                     source});
    }
    return csv;
}
