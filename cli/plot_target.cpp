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

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string MakeScratchBeside(const std::string& path, const char* stem, std::string& why) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        why = "it is a directory";
        return {};
    }
    std::filesystem::path directory = std::filesystem::path(path).parent_path();
    if (directory.empty()) {
        directory = ".";
    }
    std::string name = (directory / (std::string(".quillstone-calc-") + stem + "-XXXXXX")).string();
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        why = std::strerror(errno);
        return {};
    }
    ::close(fd);
    return name;
}

std::optional<PlotFormat> PlotFormatOf(const std::string& path) {
    if (EndsWithNoCase(path, ".svg")) {
        return PlotFormat::Svg;
    }
    if (EndsWithNoCase(path, ".png")) {
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
    std::string why;
    std::string scratch = MakeScratchBeside(path, "plot", why);
    if (scratch.empty()) {
        error = cannotWrite(path, why);
        return false;
    }
    m_path = path;
    m_scratch = std::move(scratch);
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
