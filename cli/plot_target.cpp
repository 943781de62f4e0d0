#include "plot_target.h"

#include "files.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>
#include <vector>

namespace {

bool endsWithNoCase(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string cannotWrite(const std::string& path, const std::string& why) {
    return "cannot write plot file '" + path + "': " + why;
}

// The whole drawn plot; false when it cannot be read back.
bool readScratch(const std::string& path, std::string& bytes) {
    std::ifstream in(path, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return !in.bad() && in.is_open();
}

} // namespace

std::optional<PlotFormat> PlotFormatOf(const std::string& path) {
    if (endsWithNoCase(path, ".svg")) {
        return PlotFormat::Svg;
    }
    if (endsWithNoCase(path, ".png")) {
        return PlotFormat::Png;
    }
    return std::nullopt;
}

PlotTarget::~PlotTarget() {
    discard();
}

bool PlotTarget::prepare(const std::string& path, std::string& error) {
    discard();
    const std::optional<PlotFormat> format = PlotFormatOf(path);
    if (!format) {
        error = cannotWrite(path, "the name must end in .svg or .png");
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = cannotWrite(path, "it is a directory");
        return false;
    }
    std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    std::string pattern = (directory / ".quillstone-calc-plot-XXXXXX").string();
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        error = cannotWrite(path, std::strerror(errno));
        return false;
    }
    ::close(fd);
    m_path = path;
    m_scratch = name.data();
    m_format = *format;
    return true;
}

bool PlotTarget::commit(std::string& error) {
    if (m_scratch.empty()) {
        error = cannotWrite(m_path, "it was not prepared");
        return false;
    }
    std::string bytes;
    int failure = 0;
    if (!readScratch(m_scratch, bytes)) {
        error = cannotWrite(m_path, "the drawn plot cannot be read back");
        discard();
        return false;
    }
    if (!ReplaceFileContents(m_path, bytes, &failure)) {
        error = cannotWrite(m_path, std::strerror(failure));
        discard();
        return false;
    }
    discard();
    return true;
}

void PlotTarget::discard() {
    if (!m_scratch.empty()) {
        std::remove(m_scratch.c_str());
        m_scratch.clear();
    }
}
