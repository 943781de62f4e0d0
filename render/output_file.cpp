#include "output_file.h"

#include "files.h"
#include "text_rows.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <unistd.h>

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

std::string OutputFile::failure(std::string_view why) const {
    return "cannot write " + std::string(m_kind) + " file " + Quoted(m_path) + ": " +
           std::string(why);
}

bool OutputFile::prepare(const std::string& path, std::string& error) {
    m_path = path;
    const OutputFormat* found = nullptr;
    std::string endings;
    for (const OutputFormat& format : m_formats) {
        if (found == nullptr && EndsWithNoCase(path, format.extension)) {
            found = &format;
        }
        endings += endings.empty() ? "" : " or ";
        endings += format.extension;
    }
    if (found == nullptr) {
        error = failure("the name must end in " + endings);
        m_path.clear();
        return false;
    }
    std::string why;
    const std::string probe = MakeScratchBeside(path, m_kind, why);
    if (probe.empty()) {
        error = failure(why);
        m_path.clear();
        return false;
    }
    std::remove(probe.c_str());
    m_format = found->format;
    return true;
}

bool OutputFile::write(std::string_view bytes, std::string& error) const {
    int code = 0;
    if (!ReplaceFileContents(m_path, bytes, &code)) {
        error = failure(std::strerror(code));
        return false;
    }
    return true;
}
