#include "map_cache.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace {

constexpr std::array<char, 8> kMagic{'Q', 'S', 'M', 'A', 'P', '2', '\0', '\0'};
// ITU's maps hold short decimals: most are kept as 32-bit integers n with
// one power of ten for the file, n / 10^d giving back each value exactly
// (checked value by value); the others as doubles.
constexpr std::int32_t kNoValue = INT32_MIN; // NaN
constexpr int kMostDecimals = 9;
constexpr std::array<double, kMostDecimals + 1> kPowersOfTen{1e0, 1e1, 1e2, 1e3, 1e4,
                                                             1e5, 1e6, 1e7, 1e8, 1e9};
constexpr std::uint64_t kByteOrder = 0x0102030405060708ULL;
constexpr std::uint64_t kFnvOffset = 0xcbf29ce484222325ULL;
constexpr std::uint64_t kFnvPrime = 0x100000001b3ULL;

struct Header {
    std::array<char, 8> magic;
    std::uint64_t byteOrder;
    std::uint64_t sourceSize;
    std::int64_t sourceMtimeNs;
    std::uint64_t rows;
    std::uint64_t cols;
    std::uint64_t checksum;   // of the values' bytes
    std::uint64_t pathLength; // the source's absolute path follows, padded to 8
    std::int64_t decimals;    // d of the 32-bit integers; -1: doubles
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

std::size_t padded(std::size_t size) {
    return (size + 7) / 8 * 8;
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

// A read-only mapping of a whole file, unmapped when it goes.
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
    const std::string absolute = std::filesystem::absolute(source, ec).string();
    char name[32];
    std::snprintf(name, sizeof name, "%016llx.qsmap",
                  static_cast<unsigned long long>(fnv1a(absolute.data(), absolute.size())));
    return dir / name;
}

std::optional<NumberTable> LoadCachedTable(const std::string& source,
                                           const std::filesystem::path& dir) {
    const std::optional<SourceStamp> stamp = stampOf(source);
    if (!stamp || dir.empty()) {
        return std::nullopt;
    }
    const Mapping file(CachedTablePath(source, dir));
    Header header{};
    if (file.data() == nullptr || file.size() < sizeof header) {
        return std::nullopt;
    }
    std::memcpy(&header, file.data(), sizeof header);
    const std::size_t pathBytes = padded(stamp->path.size());
    if (header.magic != kMagic || header.byteOrder != kByteOrder ||
        header.sourceSize != stamp->size || header.sourceMtimeNs != stamp->mtimeNs ||
        header.pathLength != stamp->path.size() || file.size() < sizeof header + pathBytes ||
        std::memcmp(file.data() + sizeof header, stamp->path.data(), stamp->path.size()) != 0) {
        return std::nullopt;
    }
    const std::size_t valueBytes = file.size() - sizeof header - pathBytes;
    if (header.decimals < -1 || header.decimals > kMostDecimals) {
        return std::nullopt;
    }
    const std::size_t width = header.decimals < 0 ? sizeof(double) : sizeof(std::int32_t);
    if (header.cols == 0 || header.rows > valueBytes / width / header.cols ||
        header.rows * header.cols * width != valueBytes) {
        return std::nullopt;
    }
    const unsigned char* values = file.data() + sizeof header + pathBytes;
    if (fnv1a(values, valueBytes) != header.checksum) {
        return std::nullopt;
    }
    NumberTable table;
    table.rows = header.rows;
    table.cols = header.cols;
    table.values.resize(header.rows * header.cols);
    if (header.decimals < 0) {
        std::memcpy(table.values.data(), values, valueBytes);
        return table;
    }
    const double scale = kPowersOfTen[static_cast<std::size_t>(header.decimals)];
    for (std::size_t i = 0; i < table.values.size(); ++i) {
        std::int32_t n = 0;
        std::memcpy(&n, values + i * width, width);
        table.values[i] = n == kNoValue ? std::numeric_limits<double>::quiet_NaN() : n / scale;
    }
    return table;
}

bool StoreCachedTable(const std::string& source, const NumberTable& table,
                      const std::filesystem::path& dir) {
    const std::optional<SourceStamp> stamp = stampOf(source);
    if (!stamp || dir.empty() || !table.error.empty() ||
        table.values.size() != table.rows * table.cols) {
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    if (ec) {
        return false;
    }
    const std::filesystem::path target = CachedTablePath(source, dir);
    const std::filesystem::path temporary =
        target.string() + ".tmp" + std::to_string(static_cast<long>(::getpid()));
    const int decimals = decimalsOf(table.values);
    const std::string values = encoded(table.values, decimals);
    const Header header{kMagic,
                        kByteOrder,
                        stamp->size,
                        stamp->mtimeNs,
                        table.rows,
                        table.cols,
                        fnv1a(values.data(), values.size()),
                        stamp->path.size(),
                        decimals};
    std::string path = stamp->path;
    path.resize(padded(path.size()), '\0');
    const int fd =
        ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0) {
        return false;
    }
    const bool written = writeAll(fd, &header, sizeof header) &&
                         writeAll(fd, path.data(), path.size()) &&
                         writeAll(fd, values.data(), values.size()) && ::fsync(fd) == 0;
    const bool closed = ::close(fd) == 0;
    if (!written || !closed || ::rename(temporary.c_str(), target.c_str()) != 0) {
        ::unlink(temporary.c_str());
        return false;
    }
    syncFolder(dir);
    return true;
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
