#pragma once
// The design file on disk: read whole and parsed (design_json.h), written in
// one durable replace that leaves the old file whole on failure. The
// calculator and the design window share it.
#include "design.h"

#include <string>

// Sets the parameters the file holds in `design`. False with the reason (no
// file name) when the file cannot be read or is no valid design file;
// `design` is then unchanged.
bool ReadDesignFile(const std::string& path, Design& design, std::string& error);

// Writes every parameter the design sets. False with the reason (the system's
// message) when the file could not be replaced.
bool WriteDesignFile(const std::string& path, const Design& design, std::string& error);

// "cannot read design file 'PATH': WHY"
std::string DesignReadFailure(const std::string& path, const std::string& why);
