#pragma once
// A sweep as CSV: "Range,FreeSpaceAtten,...,Reliability" and one row per
// point, the swept value and the nine results (Reliability in percent), as
// shortest round-trip texts.
#include "buffered_output.h"
#include "design_sweep.h"
#include "link_calculation.h"

#include <array>
#include <cstdint>
#include <string_view>

// Most columns of a sweep repeat from row to row (sweeping Range leaves the
// transmit power, bit rate and noise alone), so each column keeps the text
// of its last value and formats only when the value changes.
class SweepCsvWriter {
  public:
    explicit SweepCsvWriter(BufferedOutput& out) : m_out(out) {}
    // The header: the swept parameter's key, then the nine results' keys.
    void header(std::string_view sweptKey);
    void row(const SweepSample& sample);

  private:
    struct Cell {
        std::uint64_t bits = 0; // the value's bit pattern: -0 and 0 differ in text
        bool valid = false;
        std::size_t length = 0;
        char text[32];
    };
    void putCell(Cell& cell, double value);

    BufferedOutput& m_out;
    std::array<Cell, kResultCount> m_cells{};
};
