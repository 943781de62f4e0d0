#include "map_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace {

constexpr std::array<char, 8> kMagic{'Q', 'S', 'M', 'A', 'P', '3', '\0', '\0'};
constexpr std::array<char, 8> kRecordMagic{'Q', 'S', 'R', 'E', 'C', '1', '\0', '\0'};
// ITU's maps hold short decimals: most are kept as 32-bit integers n with
// one power of ten for the file, n / 10^d giving back each value exactly
// (checked value by value); the others as doubles.
constexpr std::int32_t kNoValue = CachedTable::kNoValue;
constexpr int kMostDecimals = 9;
constexpr std::array<double, kMostDecimals + 1> kPowersOfTen{1e0, 1e1, 1e2, 1e3, 1e4,
                                                             1e5, 1e6, 1e7, 1e8, 1e9};
constexpr std::uint64_t kByteOrder = 0x0102030405060708ULL;
constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;
// A lookup reads two rows of a map: blocks of a page keep what it checks
// small (a row of the 0.25 degree maps is 1442 values, 5.8 kB).
constexpr std::size_t kBlockBytes = CachedTable::kBlockBytes;

struct Header {
    std::array<char, 8> magic;
    std::uint64_t byteOrder;
    std::uint64_t sourceSize;
    std::int64_t sourceMtimeNs;
    std::uint64_t rows;
    std::uint64_t cols;
    std::uint64_t pathLength; // the source's absolute path follows, padded to 8
    std::int64_t decimals;    // d of the 32-bit integers; -1: doubles
    std::uint64_t blockBytes;
    std::uint64_t headerCrc; // of this header (with 0 here), the path and the block sums
};

// The least d that keeps every value as n / 10^d, or -1.
int decimalsOf(const std::vector<double>& values) {
    for (int d = 0; d <= kMostDecimals; ++d) {
        const double scale = kPowersOfTen[static_cast<std::size_t>(d)];
        const bool fits = std::all_of(values.begin(), values.end(), [scale](double v) {
            if (std::isnan(v)) {
                return true;
            }
            const double n = std::round(v * scale);
            // -0 as well: the integers have no sign of zero.
            return std::fabs(n) < 2147483647.0 && n / scale == v &&
                   std::signbit(n / scale) == std::signbit(v);
        });
        if (fits) {
            return d;
        }
    }
    return -1;
}

// The values as stored.
std::string encoded(const std::vector<double>& values, int decimals) {
    if (decimals < 0) {
        return std::string(reinterpret_cast<const char*>(values.data()),
                           values.size() * sizeof(double));
    }
    const double scale = kPowersOfTen[static_cast<std::size_t>(decimals)];
    std::vector<std::int32_t> whole(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        whole[i] = std::isnan(values[i]) ? kNoValue
                                         : static_cast<std::int32_t>(std::round(values[i] * scale));
    }
    return std::string(reinterpret_cast<const char*>(whole.data()),
                       whole.size() * sizeof(std::int32_t));
}

std::uint64_t fnv1a(const void* data, std::size_t size, std::uint64_t hash = kFnvOffset) {
    const auto* bytes = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < size; ++i) {
        hash = (hash ^ bytes[i]) * kFnvPrime;
    }
    return hash;
}

std::uint32_t crcOf(const void* data, std::size_t size, std::uint32_t crc = 0) {
    return static_cast<std::uint32_t>(
        crc32_z(crc, static_cast<const Bytef*>(data), static_cast<z_size_t>(size)));
}

std::size_t padded(std::size_t size) {
    return (size + 7) / 8 * 8;
}

std::size_t blocksOf(std::size_t valueBytes) {
    return (valueBytes + kBlockBytes - 1) / kBlockBytes;
}

struct SourceStamp {
    std::string path; // absolute
    std::uint64_t size = 0;
    std::int64_t mtimeNs = 0;
};

std::optional<SourceStamp> stampOf(const std::string& source) {
    struct stat st {};
    if (::stat(source.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        return std::nullopt;
    }
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(source, ec);
    if (ec) {
        return std::nullopt;
    }
    return SourceStamp{absolute.string(), static_cast<std::uint64_t>(st.st_size),
                       static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000LL +
                           st.st_mtim.tv_nsec};
}

// A read-only mapping of a whole file, unmapped when it goes unless taken.
class Mapping {
  public:
    explicit Mapping(const std::filesystem::path& path) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0) {
            return;
        }
        struct stat st {};
        if (::fstat(fd, &st) == 0 && st.st_size > 0) {
            void* data = ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ,
                                MAP_PRIVATE, fd, 0);
            if (data != MAP_FAILED) {
                m_data = static_cast<const unsigned char*>(data);
                m_size = static_cast<std::size_t>(st.st_size);
            }
        }
        ::close(fd);
    }
    ~Mapping() {
        if (m_data != nullptr) {
            ::munmap(const_cast<unsigned char*>(m_data), m_size);
        }
    }
    Mapping(const Mapping&) = delete;
    Mapping& operator=(const Mapping&) = delete;

    const unsigned char* data() const { return m_data; }
    std::size_t size() const { return m_size; }
    // The mapping now belongs to the caller.
    const unsigned char* release() {
        const unsigned char* data = m_data;
        m_data = nullptr;
        return data;
    }

  private:
    const unsigned char* m_data = nullptr;
    std::size_t m_size = 0;
};

bool writeAll(int fd, const void* data, std::size_t size) {
    const auto* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const ssize_t written = ::write(fd, bytes, size);
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
}

bool syncFolder(const std::filesystem::path& dir) {
    const int fd = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    const bool synced = ::fsync(fd) == 0;
    ::close(fd);
    return synced;
}

// `parts` written to `target` durably: a temporary beside it, synced,
// renamed over it, the folder synced.
bool writeDurably(const std::filesystem::path& dir, const std::filesystem::path& target,
                  std::initializer_list<std::string_view> parts) {
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        return false;
    }
    const std::filesystem::path temporary =
        target.string() + ".tmp" + std::to_string(static_cast<long>(::getpid()));
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return false;
    }
    bool written = true;
    for (const std::string_view part : parts) {
        written = written && writeAll(fd, part.data(), part.size());
    }
    written = written && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(dir);
    return true;
}

std::filesystem::path hashedPath(std::string_view key, const std::filesystem::path& dir,
                                 const char* extension) {
    char name[40];
    std::snprintf(name, sizeof name, "%016llx.%s",
                  static_cast<unsigned long long>(fnv1a(key.data(), key.size())), extension);
    return dir / name;
}

std::string_view bytesOf(const auto& value) {
    return {reinterpret_cast<const char*>(&value), sizeof value};
}

} // namespace

std::filesystem::path DefaultMapCacheDir() {
    const char* cache = std::getenv("XDG_CACHE_HOME");
    if (cache != nullptr && *cache == '/') {
        return std::filesystem::path(cache) / "quillstone";
    }
    const char* home = std::getenv("HOME");
    if (home != nullptr && *home == '/') {
        return std::filesystem::path(home) / ".cache" / "quillstone";
    }
    return {};
}

std::filesystem::path CachedTablePath(const std::string& source, const std::filesystem::path& dir) {
    std::error_code ec;
    return hashedPath(std::filesystem::absolute(source, ec).string(), dir, "qsmap");
}

std::shared_ptr<const CachedTable> CachedTable::open(const std::string& source,
                                                     const std::filesystem::path& dir) {
    const std::optional<SourceStamp> stamp = stampOf(source);
    if (!stamp || dir.empty()) {
        return nullptr;
    }
    Mapping file(CachedTablePath(source, dir));
    Header header{};
    if (file.data() == nullptr || file.size() < sizeof header) {
        return nullptr;
    }
    std::memcpy(&header, file.data(), sizeof header);
    if (header.magic != kMagic || header.byteOrder != kByteOrder ||
        header.sourceSize != stamp->size || header.sourceMtimeNs != stamp->mtimeNs ||
        header.pathLength != stamp->path.size() || header.blockBytes != kBlockBytes ||
        header.decimals < -1 || header.decimals > kMostDecimals || header.cols == 0 ||
        header.rows == 0) {
        return nullptr;
    }
    const std::size_t width = header.decimals < 0 ? sizeof(double) : sizeof(std::int32_t);
    const std::size_t pathBytes = padded(stamp->path.size());
    // Every size from the header is bounded by the file's before it is multiplied.
    if (header.cols > file.size() || header.rows > file.size() / width / header.cols) {
        return nullptr;
    }
    const std::size_t valueBytes = header.rows * header.cols * width;
    const std::size_t blocks = blocksOf(valueBytes);
    const std::size_t sumBytes = padded(blocks * sizeof(std::uint32_t));
    if (file.size() != sizeof header + pathBytes + sumBytes + valueBytes ||
        std::memcmp(file.data() + sizeof header, stamp->path.data(), stamp->path.size()) != 0) {
        return nullptr;
    }
    Header zeroed = header;
    zeroed.headerCrc = 0;
    const std::uint32_t crc =
        crcOf(file.data() + sizeof header, pathBytes + sumBytes, crcOf(&zeroed, sizeof zeroed));
    if (crc != header.headerCrc) {
        return nullptr;
    }
    std::shared_ptr<CachedTable> table(new CachedTable);
    table->m_fileSize = file.size();
    table->m_file = file.release();
    table->m_blockSums =
        reinterpret_cast<const std::uint32_t*>(table->m_file + sizeof header + pathBytes);
    table->m_values = table->m_file + sizeof header + pathBytes + sumBytes;
    table->m_valueBytes = valueBytes;
    table->m_blocks = blocks;
    table->m_rows = header.rows;
    table->m_cols = header.cols;
    table->m_points = header.rows * header.cols;
    table->m_width = width;
    table->m_scale =
        header.decimals < 0 ? 1.0 : kPowersOfTen[static_cast<std::size_t>(header.decimals)];
    table->m_state = std::make_unique<std::atomic<std::uint8_t>[]>(blocks);
    return table;
}

CachedTable::~CachedTable() {
    if (m_file != nullptr) {
        ::munmap(const_cast<unsigned char*>(m_file), m_fileSize);
    }
}

// Two threads may check the same block at once: both find the same answer.
bool CachedTable::checkBlock(std::size_t block) const {
    const std::size_t start = block * kBlockBytes;
    const std::size_t size = std::min(kBlockBytes, m_valueBytes - start);
    const std::uint8_t state =
        crcOf(m_values + start, size) == m_blockSums[block] ? kGood : kDamaged;
    m_state[block].store(state, std::memory_order_release);
    m_checked.fetch_add(1, std::memory_order_relaxed);
    return state == kGood;
}

std::optional<NumberTable> LoadCachedTable(const std::string& source,
                                           const std::filesystem::path& dir) {
    const std::shared_ptr<const CachedTable> cached = CachedTable::open(source, dir);
    if (!cached) {
        return std::nullopt;
    }
    NumberTable table;
    table.rows = cached->rows();
    table.cols = cached->cols();
    table.values.resize(table.rows * table.cols);
    for (std::size_t i = 0; i < table.values.size(); ++i) {
        if (!cached->read(i, table.values[i])) {
            return std::nullopt;
        }
    }
    return table;
}

bool StoreCachedTable(const std::string& source, const NumberTable& table,
                      const std::filesystem::path& dir) {
    const std::optional<SourceStamp> stamp = stampOf(source);
    if (!stamp || dir.empty() || !table.error.empty() || table.rows == 0 || table.cols == 0 ||
        table.values.size() != table.rows * table.cols) {
        return false;
    }
    const int decimals = decimalsOf(table.values);
    const std::string values = encoded(table.values, decimals);
    std::vector<std::uint32_t> sums(blocksOf(values.size()));
    for (std::size_t b = 0; b < sums.size(); ++b) {
        const std::size_t start = b * kBlockBytes;
        sums[b] = crcOf(values.data() + start, std::min(kBlockBytes, values.size() - start));
    }
    std::string sumBytes(reinterpret_cast<const char*>(sums.data()),
                         sums.size() * sizeof(std::uint32_t));
    sumBytes.resize(padded(sumBytes.size()), '\0');
    std::string path = stamp->path;
    path.resize(padded(path.size()), '\0');
    Header header{kMagic,     kByteOrder,         stamp->size, stamp->mtimeNs, table.rows,
                  table.cols, stamp->path.size(), decimals,    kBlockBytes,    0};
    header.headerCrc = crcOf(sumBytes.data(), sumBytes.size(),
                             crcOf(path.data(), path.size(), crcOf(&header, sizeof header)));
    return writeDurably(dir, CachedTablePath(source, dir),
                        {bytesOf(header), path, sumBytes, values});
}

NumberTable ReadNumberTableCached(const std::string& source, const std::filesystem::path& dir) {
    if (std::optional<NumberTable> cached = LoadCachedTable(source, dir)) {
        return std::move(*cached);
    }
    NumberTable table = ReadNumberTableText(source);
    if (table.error.empty()) {
        StoreCachedTable(source, table, dir);
    }
    return table;
}

namespace {

struct RecordHeader {
    std::array<char, 8> magic;
    std::uint64_t byteOrder;
    std::uint64_t keyLength; // the key (kind and paths) follows, then the bytes
    std::uint64_t byteCount;
    std::uint64_t crc; // of the header with 0 here, the key and the bytes
};

// The kind, then each source's absolute path, size and time: a record is
// trusted only where all of them match.
std::optional<std::string> recordKey(std::span<const std::string> sources, std::string_view kind,
                                     std::string& pathsOnly) {
    std::string key(kind);
    pathsOnly = key;
    for (const std::string& source : sources) {
        const std::optional<SourceStamp> stamp = stampOf(source);
        if (!stamp) {
            return std::nullopt;
        }
        key += '\n' + stamp->path + '\n' + std::to_string(stamp->size) + ' ' +
               std::to_string(stamp->mtimeNs);
        pathsOnly += '\n' + stamp->path;
    }
    return key;
}

} // namespace

std::optional<std::string> LoadCachedRecord(std::span<const std::string> sources,
                                            std::string_view kind,
                                            const std::filesystem::path& dir) {
    std::string paths;
    const std::optional<std::string> key = recordKey(sources, kind, paths);
    if (!key || dir.empty()) {
        return std::nullopt;
    }
    const Mapping file(hashedPath(paths, dir, "qsrec"));
    RecordHeader header{};
    if (file.data() == nullptr || file.size() < sizeof header) {
        return std::nullopt;
    }
    std::memcpy(&header, file.data(), sizeof header);
    if (header.magic != kRecordMagic || header.byteOrder != kByteOrder ||
        header.keyLength != key->size() || header.byteCount > file.size() ||
        file.size() != sizeof header + key->size() + header.byteCount ||
        std::memcmp(file.data() + sizeof header, key->data(), key->size()) != 0) {
        return std::nullopt;
    }
    RecordHeader zeroed = header;
    zeroed.crc = 0;
    if (crcOf(file.data() + sizeof header, key->size() + header.byteCount,
              crcOf(&zeroed, sizeof zeroed)) != header.crc) {
        return std::nullopt;
    }
    return std::string(reinterpret_cast<const char*>(file.data()) + sizeof header + key->size(),
                       header.byteCount);
}

bool StoreCachedRecord(std::span<const std::string> sources, std::string_view kind,
                       std::string_view bytes, const std::filesystem::path& dir) {
    std::string paths;
    const std::optional<std::string> key = recordKey(sources, kind, paths);
    if (!key || dir.empty()) {
        return false;
    }
    RecordHeader header{kRecordMagic, kByteOrder, key->size(), bytes.size(), 0};
    header.crc = crcOf(bytes.data(), bytes.size(),
                       crcOf(key->data(), key->size(), crcOf(&header, sizeof header)));
    return writeDurably(dir, hashedPath(paths, dir, "qsrec"), {bytesOf(header), *key, bytes});
}

std::optional<std::uintmax_t> MapTextSize(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return std::nullopt;
    }
    struct stat st {};
    std::optional<std::uintmax_t> size;
    std::array<unsigned char, 2> magic{};
    std::array<unsigned char, 4> trailer{};
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode)) {
        size = static_cast<std::uintmax_t>(st.st_size);
        // RFC 1952: a gzip member starts 1f 8b and ends with ISIZE, little-endian.
        if (st.st_size >= 18 && ::pread(fd, magic.data(), 2, 0) == 2 && magic[0] == 0x1f &&
            magic[1] == 0x8b && ::pread(fd, trailer.data(), 4, st.st_size - 4) == 4) {
            size = static_cast<std::uintmax_t>(trailer[0]) | (std::uintmax_t{trailer[1]} << 8) |
                   (std::uintmax_t{trailer[2]} << 16) | (std::uintmax_t{trailer[3]} << 24);
        }
    }
    ::close(fd);
    return size;
}
