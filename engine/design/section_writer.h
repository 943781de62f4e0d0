#pragma once
// Writes a feature's output section: each line for the text output, its
// number (or word) at full precision as the section's JSON field. No Qt.
#include "budget_features.h"

#include <string>
#include <utility>

class SectionWriter {
  public:
    explicit SectionWriter(SheetSection& section) : m_section(section) {}

    // A line with `decimals` decimals; the value as the JSON field.
    void add(const char* key, const char* caption, double value, int decimals, const char* unit,
             const char* field) {
        m_section.lines.push_back(FixedLine(key, caption, value, decimals, unit));
        m_section.fields.push_back({field, value, {}});
    }
    // A line whose text is a word; the word as the JSON field.
    void text(const char* key, const char* caption, double value, const std::string& text,
              const char* field) {
        m_section.lines.push_back({key, caption, value, text, ""});
        m_section.fields.push_back({field, 0.0, text});
    }
    // A JSON field only: a word.
    void field(const char* field, const std::string& text) {
        m_section.fields.push_back({field, 0.0, text});
    }
    void note(std::string text) { m_section.notes.push_back(std::move(text)); }

  protected:
    SheetSection& m_section;
};
