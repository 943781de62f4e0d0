#include "sweep_csv.h"

#include <bit>
#include <charconv>

void SweepCsvWriter::header(std::string_view sweptKey) {
    m_out.put(sweptKey);
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        m_out.put(',');
        m_out.put(ResultKey(i));
    }
    m_out.put('\n');
}

void SweepCsvWriter::row(const SweepSample& sample) {
    m_out.putNumber(sample.x);
    for (std::size_t i = 0; i < ResultTable.size(); ++i) {
        const ResultRow& row = ResultTable[i];
        m_out.put(',');
        putCell(m_cells[i], sample.results.*row.field * row.displayScale);
    }
    m_out.put('\n');
}

void SweepCsvWriter::putCell(Cell& cell, double value) {
    const auto bits = std::bit_cast<std::uint64_t>(value);
    if (!cell.valid || cell.bits != bits) {
        const auto [end, ec] = std::to_chars(cell.text, cell.text + sizeof cell.text, value);
        cell.length = ec == std::errc() ? static_cast<std::size_t>(end - cell.text) : 0;
        cell.bits = bits;
        cell.valid = true;
    }
    m_out.put(std::string_view(cell.text, cell.length));
}
