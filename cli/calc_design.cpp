#include "calc_design.h"

#include "calc_text.h"
#include "design_file.h"
#include "link_settings.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {

std::string cannotRead(const std::string& path, const std::string& why) {
    return "cannot read config file '" + path + "': " + why;
}

// The settings reader treats an unreadable file as absent and keeps the
// defaults; a file the user named must exist and be readable.
bool checkReadable(const std::string& path, std::string& error) {
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec) {
        error = cannotRead(path, ec.message());
        return false;
    }
    if (std::filesystem::is_directory(status)) {
        error = cannotRead(path, "it is a directory");
        return false;
    }
    // The reader opens the file once per key: a pipe would be empty after
    // the first key and silently leave the rest at their defaults.
    if (!std::filesystem::is_regular_file(status)) {
        error = cannotRead(path, "it is not a regular file");
        return false;
    }
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        error = cannotRead(path, std::strerror(errno));
        return false;
    }
    std::fgetc(file);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        error = cannotRead(path, "read error");
        return false;
    }
    return true;
}

// The fourteen factors of a window settings file; a key the file lacks keeps
// the design's value.
bool readConfig(const std::string& path, Design& design, std::string& error) {
    if (!checkReadable(path, error)) {
        return false;
    }
    // The reader may change to the base directory: hand it a full path.
    std::error_code ec;
    const std::filesystem::path full = std::filesystem::absolute(path, ec);
    LinkFactors factors = design.point().factors();
    WindowPosition unused;
    if (ec || !LoadLinkSettings(full.string(), factors, unused)) {
        error = cannotRead(path, "the file could not be opened");
        return false;
    }
    for (std::size_t i = 0; i < FactorTable.size(); ++i) {
        design.setFactor(i, factors.*FactorTable[i].field);
    }
    return true;
}

bool readDesign(const std::string& path, Design& design, std::string& error) {
    std::string why;
    if (!ReadDesignFile(path, design, why)) {
        error = DesignReadFailure(path, why);
        return false;
    }
    return true;
}

bool setPath(std::optional<std::string>& slot, std::string_view value, std::string& error) {
    if (value.empty()) {
        error = "no file name given";
        return false;
    }
    slot = std::string(value);
    return true;
}

} // namespace

bool ParseConfigOption(std::string_view value, FileOptions& options, std::string& error) {
    return setPath(options.configPath, value, error);
}

bool ParseDesignOption(std::string_view value, FileOptions& options, std::string& error) {
    options.designBeforeConfig = !options.configPath.has_value();
    return setPath(options.designPath, value, error);
}

bool ParseSaveDesignOption(std::string_view value, FileOptions& options, std::string& error) {
    return setPath(options.saveDesignPath, value, error);
}

bool BuildDesign(const FileOptions& files, const DesignInputs& inputs, Design& design,
                 std::string& error) {
    design = Design();
    const bool designFirst = files.designPath && files.designBeforeConfig;
    if (designFirst && !readDesign(*files.designPath, design, error)) {
        return false;
    }
    if (files.configPath && !readConfig(*files.configPath, design, error)) {
        return false;
    }
    if (files.designPath && !designFirst && !readDesign(*files.designPath, design, error)) {
        return false;
    }
    inputs.applyTo(design);
    return true;
}
