#pragma once
// The link settings file "Quillstone.Cfg": the fourteen factors and the main
// window's position, read once at start and rewritten at close.
#include "link_factors.h"

#include <cstdint>
#include <string>

struct WindowPosition {
    int32_t x = 688; // left edge of the outer frame, screen pixels
    int32_t y = 171; // top edge
};

constexpr const char* kSettingsFileName = "Quillstone.Cfg";

// baseDirectory + "/" + "Quillstone.Cfg".
std::string MakeSettingsPath(const std::string& baseDirectory);

// Reads the file into factors and position, key by key; a missing or invalid
// key keeps what the caller had. False when the file is absent.
bool LoadLinkSettings(const std::string& path, LinkFactors& factors, WindowPosition& position);

// Backs the file up (path + ".BAK"), then replaces it in one step with the two
// sections and sixteen keys in table order. False when the new file could not
// be written; the old file is then left as it was.
bool SaveLinkSettings(const std::string& path, const LinkFactors& factors,
                      const WindowPosition& position);
