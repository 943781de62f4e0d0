#pragma once
// The text of one ITU-R digital map and its numbers: ITU's layout, one grid
// row per line, values separated by blanks, "NaN" where the map has no
// value; plain or gzip-compressed (zlib reads both). Standard library and
// zlib only.
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// A file's text, read whole; error (one line naming the file) when it cannot
// be opened or its compressed data is damaged or cut short.
struct MapText {
    std::string text;
    std::string error;
};
MapText ReadMapText(const std::string& path);

// Numbers in ITU's layout, row by row; "NaN" (any letter case) is kept, any
// other text where a number belongs is an error. Blank lines are skipped.
struct NumberTable {
    std::size_t rows = 0;
    std::size_t cols = 0;
    std::vector<double> values; // rows * cols, row by row
    std::string error;          // one line: the line and what is wrong there
};
NumberTable ParseNumberTable(std::string_view text);
// The file's numbers, always parsed from its text; the error names the file.
NumberTable ReadNumberTableText(const std::string& path);
