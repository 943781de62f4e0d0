#include "explain_render.h"

#include "number_text.h"
#include "text_rows.h"

#include <charconv>
#include <initializer_list>
#include <string_view>

namespace {

constexpr std::size_t kCaptionWidth = 32;
constexpr std::size_t kNumberWidth = 10;
constexpr std::size_t kUnitWidth = 8;

void blanks(BufferedOutput& out, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        out.put(' ');
    }
}

// `text` and blanks after it up to `width`.
void left(BufferedOutput& out, std::string_view text, std::size_t width) {
    out.put(text);
    blanks(out, width > text.size() ? width - text.size() : 0);
}

// `text` after blanks up to `width`.
void right(BufferedOutput& out, std::string_view text, std::size_t width) {
    blanks(out, width > text.size() ? width - text.size() : 0);
    out.put(text);
}

// A number with two decimals (a sign before a positive one when asked),
// right-aligned; where fixed notation does not fit the column, the
// scientific form that does, so that the number keeps its magnitude.
void number(BufferedOutput& out, double value, bool sign = false) {
    const std::string plus = sign && value >= 0.0 ? "+" : "";
    const int width = static_cast<int>(kNumberWidth - plus.size());
    char text[48];
    const auto [end, ec] =
        std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 2);
    std::string shown(text, ec == std::errc() ? end : text);
    if (ec != std::errc() || shown.size() > static_cast<std::size_t>(width)) {
        shown = ScientificInWidth(width, value);
    }
    right(out, plus + shown, kNumberWidth);
}

void heading(BufferedOutput& out, const char* title, std::initializer_list<const char*> columns) {
    out.put('\n');
    out.put(title);
    out.put('\n');
    const char* const* column = columns.begin();
    left(out, *column, kCaptionWidth);
    while (++column != columns.end()) {
        right(out, *column, kNumberWidth);
    }
}

} // namespace

void WriteExplainText(const BudgetExplanation& explanation, BufferedOutput& out) {
    heading(out, "Where every dB went", {"Term", "dB"});
    right(out, "Value", kNumberWidth + 2);
    blanks(out, 1 + kUnitWidth + 1);
    out.put("Source\n");
    for (const LinkTerm& term : explanation.terms) {
        left(out, term.caption, kCaptionWidth);
        number(out, term.db, true);
        out.put("  ");
        number(out, term.value);
        out.put(' ');
        left(out, term.unit, kUnitWidth);
        out.put(' ');
        out.put(term.source);
        out.put('\n');
    }
    left(out, "= Fade Margin", kCaptionWidth);
    number(out, explanation.fadeMargin, true);
    const SystemNoise& noise = explanation.receiver.noise;
    heading(out, "Noise budget (at the antenna terminal)", {"Part", "K", "%"});
    out.put('\n');
    for (const NoiseContribution& part : noise.contributions) {
        left(out, part.name, kCaptionWidth);
        number(out, part.temperatureK);
        number(out, part.percent);
        out.put('\n');
    }
    left(out, "= System noise temperature", kCaptionWidth);
    number(out, noise.temperatureK);
    number(out, 100.0);
    out.put('\n');
}

namespace {

template <typename Write> void putArray(BufferedOutput& out, std::size_t size, Write write) {
    out.put('[');
    for (std::size_t i = 0; i < size; ++i) {
        out.put(i == 0 ? "\n      " : ",\n      ");
        write(i);
    }
    out.put("\n    ]");
}

void putField(BufferedOutput& out, const char* name, double value, bool first = false) {
    out.put(first ? "{\"" : ", \"");
    out.put(name);
    out.put("\": ");
    PutJsonNumber(out, value);
}

void putTextField(BufferedOutput& out, const char* name, std::string_view text,
                  bool first = false) {
    out.put(first ? "{\"" : ", \"");
    out.put(name);
    out.put("\": ");
    PutJsonString(out, text);
}

} // namespace

void WriteExplainJson(const BudgetExplanation& explanation, BufferedOutput& out) {
    out.put("{\n    \"fadeMargin\": ");
    PutJsonNumber(out, explanation.fadeMargin);
    out.put(",\n    \"terms\": ");
    putArray(out, explanation.terms.size(), [&](std::size_t i) {
        const LinkTerm& term = explanation.terms[i];
        putTextField(out, "term", term.key, true);
        putTextField(out, "caption", term.caption);
        putField(out, "value", term.value);
        putTextField(out, "unit", term.unit);
        putField(out, "db", term.db);
        putTextField(out, "source", term.source);
        out.put('}');
    });
    const SystemNoise& noise = explanation.receiver.noise;
    out.put(",\n    \"systemNoiseTemperatureK\": ");
    PutJsonNumber(out, noise.temperatureK);
    out.put(",\n    \"noise\": ");
    putArray(out, noise.contributions.size(), [&](std::size_t i) {
        const NoiseContribution& part = noise.contributions[i];
        putTextField(out, "stage", part.name, true);
        putField(out, "kelvin", part.temperatureK);
        putField(out, "percent", part.percent);
        out.put('}');
    });
    out.put("\n  }");
}
