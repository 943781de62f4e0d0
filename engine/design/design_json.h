#pragma once
// The design file's text: a link design's parameters as JSON, each in the
// number and unit it was given in.
//
//   {"format": "quillstone-design", "version": 1,
//    "parameters": {"Range": {"value": 25, "unit": "km"},
//                   "RainPolarization": {"value": "h"}, ...}}
//
// Read and written with nlohmann-json. No Qt.
#include "design.h"

#include <string>
#include <string_view>

constexpr const char* kDesignFormat = "quillstone-design";
constexpr int kDesignVersion = 1;

// Every parameter the design sets, in registry order.
std::string DesignToJson(const Design& design);

// Sets the parameters the text holds in `design`, leaving the others. False
// with a one-line reason (no file name) when the text is not JSON, is not a
// design, is of a newer version, or holds an unknown key or a bad value;
// `design` is then unchanged.
bool DesignFromJson(std::string_view text, Design& design, std::string& error);
