#pragma once
// A parsed map kept as a compact binary file, so that a map's text is parsed
// once, not at every run. Standard library and POSIX only.
//
// The cache of a map's file is DIR/<hash of its absolute path>.qsmap: a
// header (a magic and byte-order tag, the source's size and modification
// time in nanoseconds, its path, the table's rows and columns, how the values
// are kept and an FNV-1a checksum of them), then the values: 32-bit integers
// n with one power of ten d for the file where n / 10^d gives back every
// value exactly (ITU's maps are short decimals), else doubles. It is trusted only
// when every one of those matches: a stale or damaged cache is read from the
// source again and written anew, never used. It is written durably (a
// temporary beside it, synced, renamed over it, the folder synced) and read
// through a memory mapping. A cache that cannot be written is no error: the
// map is read from its text.
#include "map_text.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

// $XDG_CACHE_HOME/quillstone, else ~/.cache/quillstone; empty when neither
// is known.
std::filesystem::path DefaultMapCacheDir();

// The table of `source` from its cache in `dir`; none when there is no cache
// to trust.
std::optional<NumberTable> LoadCachedTable(const std::string& source,
                                           const std::filesystem::path& dir);
// Writes the cache of `source`; false when it could not be written.
bool StoreCachedTable(const std::string& source, const NumberTable& table,
                      const std::filesystem::path& dir);
// The cache's path for `source` in `dir`.
std::filesystem::path CachedTablePath(const std::string& source, const std::filesystem::path& dir);

// The table of `source`: from its cache in `dir` when that holds, else read
// and parsed (and the cache written when it parsed).
NumberTable ReadNumberTableCached(const std::string& source, const std::filesystem::path& dir);

// Files smaller than this (bytes, as stored) are parsed directly: their cache
// would save nothing.
constexpr std::uintmax_t kSmallestCachedMap = 256 * 1024;
