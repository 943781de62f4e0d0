#include "plot_target.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - static_cast<long>(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string CannotWrite(const std::string& path, const std::string& why) {
    return "cannot write plot file '" + path + "': " + why;
}

// Mode of a newly created file under the process's umask (rw for all, less
// the umask); mkstemp itself creates 0600.
mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

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
        error = CannotWrite(path, "the name must end in .svg or .png");
        return false;
    }
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = CannotWrite(path, "it is a directory");
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
        error = CannotWrite(path, std::strerror(errno));
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
        error = CannotWrite(m_path, "it was not prepared");
        return false;
    }
    if (::chmod(m_scratch.c_str(), NewFileMode()) != 0 ||
        std::rename(m_scratch.c_str(), m_path.c_str()) != 0) {
        error = CannotWrite(m_path, std::strerror(errno));
        discard();
        return false;
    }
    m_scratch.clear();
    return true;
}

void PlotTarget::discard() {
    if (!m_scratch.empty()) {
        std::remove(m_scratch.c_str());
        m_scratch.clear();
    }
}
