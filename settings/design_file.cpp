#include "design_file.h"

#include "design_json.h"
#include "files.h"

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

bool ReadDesignFile(const std::string& path, Design& design, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    if (!std::filesystem::is_regular_file(status)) {
        error = std::filesystem::is_directory(status) ? "it is a directory"
                                                      : "it is not a regular file";
        return false;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = std::strerror(errno);
        return false;
    }
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        error = "read error";
        return false;
    }
    return DesignFromJson(text, design, error);
}

bool WriteDesignFile(const std::string& path, const Design& design, std::string& error) {
    int code = 0;
    if (!ReplaceFileContents(path, DesignToJson(design), &code)) {
        error = std::strerror(code);
        return false;
    }
    return true;
}

std::string DesignReadFailure(const std::string& path, const std::string& why) {
    return "cannot read design file '" + path + "': " + why;
}
