#pragma once
// The calculator's tests: the shared scratch directory and file helpers under
// the names these tests use, and output captured in a string.
#include "buffered_output.h"
#include "test_base.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

using ScratchDir = testing_support::TempDir;

inline std::string ReadWholeFile(const std::string& path) {
    return testing_support::ReadAll(path);
}

inline std::vector<std::string> SplitLines(const std::string& text) {
    return testing_support::Lines(text);
}

inline BufferedOutput::Sink StringSink(std::string& target) {
    return [&target](std::string_view block) {
        target.append(block);
        return true;
    };
}
