#pragma once
// A parsed map kept as a compact binary file, so that a map's text is parsed
// once, not at every run. Standard library, POSIX and zlib only.
//
// The cache of a map's file is DIR/<hash of its absolute path>.qsmap: a
// header (a magic and byte-order tag, the source's size and modification
// time in nanoseconds, its path, the table's rows and columns, how the values
// are kept, the size of a block and a CRC-32 of the header, the path and the
// blocks' checksums), one CRC-32 per block of 4 KiB of values, then the
// values: 32-bit integers n with one power of ten d for the file where n / 10^d
// gives back every value exactly (ITU's maps are short decimals), else
// doubles. It is written durably (a temporary beside it, synced, renamed over
// it, the folder synced). A cache that cannot be written is no error: the map
// is read from its text.
//
// Reading is lazy, so that a run reads only the few blocks its places need:
// a cache is opened through a memory mapping only when its header holds (the
// source's size, time and path, the cache's exact length and the header's
// CRC), and each block of values is checked against its CRC the first time
// a value in it is read. A stale cache is never opened; a damaged block is
// never used (CachedTable::read says so, and the map is then read from its
// text and its cache written anew). A whole-file checksum at every run would
// read all of a 50 MB family of maps to use sixteen of its values.
#include "map_text.h"

#include <atomic>
#include <climits>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>

// $XDG_CACHE_HOME/quillstone, else ~/.cache/quillstone; empty when neither
// is known.
std::filesystem::path DefaultMapCacheDir();

// A map's cache, mapped, its header checked; its values checked block by
// block as they are read. Safe to read from several threads.
class CachedTable {
  public:
    // The cache of `source` in `dir`; null when there is none to trust.
    static std::shared_ptr<const CachedTable> open(const std::string& source,
                                                   const std::filesystem::path& dir);
    ~CachedTable();
    CachedTable(const CachedTable&) = delete;
    CachedTable& operator=(const CachedTable&) = delete;

    std::size_t rows() const { return m_rows; }
    std::size_t cols() const { return m_cols; }
    // The value at `index` (row * cols + col); false when the block holding
    // it does not match its checksum.
    bool read(std::size_t index, double& value) const {
        // Values never straddle a block: blocks hold whole values of 4 or 8 bytes.
        const std::size_t offset = index * m_width;
        if (index >= m_points || !blockGood(offset / kBlockBytes)) {
            return false;
        }
        if (m_width == sizeof(double)) {
            std::memcpy(&value, m_values + offset, sizeof value);
            return true;
        }
        std::int32_t n = 0;
        std::memcpy(&n, m_values + offset, sizeof n);
        value = n == kNoValue ? std::numeric_limits<double>::quiet_NaN() : n / m_scale;
        return true;
    }
    // Blocks checked so far (each is checked once).
    std::size_t blocksChecked() const { return m_checked.load(std::memory_order_relaxed); }

    static constexpr std::size_t kBlockBytes = 4096;
    static constexpr std::int32_t kNoValue = INT32_MIN; // NaN

  private:
    CachedTable() = default;
    bool blockGood(std::size_t block) const {
        const std::uint8_t state = m_state[block].load(std::memory_order_acquire);
        return state == kGood || (state == kUnchecked && checkBlock(block));
    }
    bool checkBlock(std::size_t block) const;

    static constexpr std::uint8_t kUnchecked = 0;
    static constexpr std::uint8_t kGood = 1;
    static constexpr std::uint8_t kDamaged = 2;

    const unsigned char* m_file = nullptr;
    std::size_t m_fileSize = 0;
    const unsigned char* m_values = nullptr;
    std::size_t m_valueBytes = 0;
    const std::uint32_t* m_blockSums = nullptr;
    std::size_t m_blocks = 0;
    std::size_t m_rows = 0;
    std::size_t m_cols = 0;
    std::size_t m_points = 0;
    std::size_t m_width = 4; // bytes per value
    double m_scale = 1.0;    // 10^d of the 32-bit integers
    // Per block: 0 not yet checked, 1 good, 2 damaged.
    std::unique_ptr<std::atomic<std::uint8_t>[]> m_state;
    mutable std::atomic<std::size_t> m_checked{0};
};

// The table of `source` from its cache in `dir`, every block checked; none
// when there is no cache to trust.
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

// A few bytes worked out of several source files (a grid's axes from its
// latitude and longitude files), kept in DIR/<hash of the paths and
// kind>.qsrec with each source's size and time and a CRC-32: trusted only
// while every source keeps its size, time and path.
std::optional<std::string> LoadCachedRecord(std::span<const std::string> sources,
                                            std::string_view kind,
                                            const std::filesystem::path& dir);
bool StoreCachedRecord(std::span<const std::string> sources, std::string_view kind,
                       std::string_view bytes, const std::filesystem::path& dir);

// Maps whose text is shorter than this (bytes, uncompressed) are parsed
// directly: their cache would save nothing.
constexpr std::uintmax_t kSmallestCachedMap = 64 * 1024;
// The length of `path`'s text: the file's size, or for a gzip file the size
// its trailer records (modulo 2^32, as gzip keeps it); none when unreadable.
std::optional<std::uintmax_t> MapTextSize(const std::string& path);
