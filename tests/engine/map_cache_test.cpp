// The binary cache of a parsed map: used while its source's size and time
// stay, read anew when the source changes or the cache is damaged, and no
// error when it cannot be written; read lazily, a block checked when first
// read, a damaged block never giving a value.
#include "itu_grid.h"
#include "map_cache.h"
#include "test_base.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <zlib.h>

#include <cmath>
#include <cstring>
#include <fstream>

namespace {

using testing_support::TempDir;

void writeText(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

struct timespec mtimeOf(const std::string& path) {
    struct stat st {};
    ::stat(path.c_str(), &st);
    return st.st_mtim;
}

void setMtime(const std::string& path, struct timespec when) {
    const struct timespec times[2] = {when, when};
    ::utimensat(AT_FDCWD, path.c_str(), times, 0);
}

std::vector<double> valuesOf(const NumberTable& table) {
    EXPECT_EQ(table.error, "");
    return table.values;
}

class MapCache : public testing::Test {
  protected:
    TempDir dir;
    std::string source = dir.file("map.txt");
    std::string cache = dir.file("cache");
};

TEST_F(MapCache, UsedWhileTheSourceKeepsItsSizeAndTime) {
    writeText(source, "1 2 3\n4 NaN 6\n");
    const NumberTable first = ReadNumberTableCached(source, cache);
    ASSERT_EQ(first.rows, 2u);
    ASSERT_EQ(first.cols, 3u);
    EXPECT_TRUE(std::filesystem::exists(CachedTablePath(source, cache)));
    const std::optional<NumberTable> loaded = LoadCachedTable(source, cache);
    ASSERT_TRUE(loaded);
    EXPECT_EQ(loaded->values[0], 1.0);
    EXPECT_TRUE(std::isnan(loaded->values[4]));

    // The same size and time: the cache answers, not the text.
    const struct timespec stamp = mtimeOf(source);
    writeText(source, "7 8 9\n1 NaN 2\n");
    setMtime(source, stamp);
    EXPECT_EQ(valuesOf(ReadNumberTableCached(source, cache))[0], 1.0);

    // Another time: the text again, and a new cache of it.
    setMtime(source, {stamp.tv_sec + 10, stamp.tv_nsec});
    EXPECT_EQ(valuesOf(ReadNumberTableCached(source, cache))[0], 7.0);
    ASSERT_TRUE(LoadCachedTable(source, cache));
    EXPECT_EQ(LoadCachedTable(source, cache)->values[5], 2.0);
}

// Short decimals are kept as 32-bit integers with one power of ten, others
// as doubles: either way every value comes back bit for bit.
TEST_F(MapCache, EveryValueComesBackExactly) {
    const struct {
        const char* text;
        std::size_t bytesPerValue;
    } cases[] = {
        {"2.096 -0.5 NaN\n90 1e-3 12345.678\n", 4}, {"1 2 3\n4 5 6\n", 4},
        {"0.30000000000000004 1 2\n3 4 5\n", 8},    {"1e300 1 2\n3 4 5\n", 8},
        {"0.123456789012 1 2\n3 4 5\n", 8},
    };
    for (const auto& c : cases) {
        writeText(source, c.text);
        const NumberTable text = ReadNumberTableText(source);
        ASSERT_EQ(text.error, "") << c.text;
        ASSERT_TRUE(StoreCachedTable(source, text, cache)) << c.text;
        const std::optional<NumberTable> loaded = LoadCachedTable(source, cache);
        ASSERT_TRUE(loaded) << c.text;
        ASSERT_EQ(loaded->values.size(), text.values.size());
        for (std::size_t i = 0; i < text.values.size(); ++i) {
            const double a = text.values[i];
            const double b = loaded->values[i];
            EXPECT_TRUE((std::isnan(a) && std::isnan(b)) || std::memcmp(&a, &b, sizeof a) == 0)
                << c.text << " value " << i;
        }
        const std::uintmax_t size = std::filesystem::file_size(CachedTablePath(source, cache));
        EXPECT_GE(size, 6 * c.bytesPerValue) << c.text;
        EXPECT_LT(size, 6 * c.bytesPerValue + 200) << c.text;
    }
}

TEST_F(MapCache, DamagedOrCutCacheIsNeverTrusted) {
    writeText(source, "1 2\n3 4\n");
    ASSERT_EQ(valuesOf(ReadNumberTableCached(source, cache)).size(), 4u);
    const std::string cached = CachedTablePath(source, cache).string();
    const std::string good = testing_support::ReadAll(cached);
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a value's byte flipped",
         [&] {
             std::string b = good;
             b.back() = static_cast<char>(b.back() ^ 0x40);
             return b;
         }()},
        {"cut short", good.substr(0, good.size() - 8)},
        {"the header only", good.substr(0, 40)},
        {"empty", ""},
        {"another magic", "X" + good.substr(1)},
    };
    for (const auto& c : cases) {
        writeText(cached, c.bytes);
        EXPECT_FALSE(LoadCachedTable(source, cache)) << c.what;
        EXPECT_EQ(valuesOf(ReadNumberTableCached(source, cache)),
                  (std::vector<double>{1.0, 2.0, 3.0, 4.0}))
            << c.what;
        EXPECT_EQ(testing_support::ReadAll(cached), good) << c.what << ": written anew";
    }
}

TEST_F(MapCache, UnwritableCacheOrBadTextLeavesNoCache) {
    writeText(source, "5 6\n");
    // A folder under a regular file cannot be made, even by root.
    const std::string blocked = dir.file("file/cache");
    writeText(dir.file("file"), "x");
    EXPECT_EQ(valuesOf(ReadNumberTableCached(source, blocked)), (std::vector<double>{5.0, 6.0}));
    EXPECT_FALSE(StoreCachedTable(source, ReadNumberTableText(source), blocked));

    writeText(source, "5 x\n");
    const NumberTable bad = ReadNumberTableCached(source, cache);
    EXPECT_NE(bad.error, "");
    EXPECT_FALSE(std::filesystem::exists(CachedTablePath(source, cache)));
    EXPECT_FALSE(LoadCachedTable(dir.file("missing.txt"), cache));
}

} // namespace

namespace {

// rows x cols of short decimals, value i = i / 4.
std::string tableText(std::size_t rows, std::size_t cols) {
    std::string text;
    for (std::size_t r = 0; r < rows; ++r) {
        for (std::size_t c = 0; c < cols; ++c) {
            text += std::to_string(r * cols + c) + ".25" + (c + 1 < cols ? " " : "\n");
        }
    }
    return text;
}

double valueAt(std::size_t index) {
    return static_cast<double>(index) + 0.25;
}

constexpr std::size_t kRows = 100;
constexpr std::size_t kCols = 100; // 10000 values of 4 bytes: 10 blocks of 4 KiB
constexpr std::size_t kPerBlock = 1024;

class LazyCache : public MapCache {
  protected:
    void SetUp() override {
        writeText(source, tableText(kRows, kCols));
        ASSERT_TRUE(StoreCachedTable(source, ReadNumberTableText(source), cache));
        cached = CachedTablePath(source, cache).string();
        good = testing_support::ReadAll(cached);
    }
    // The cache with one byte changed, `fromEnd` bytes before its end.
    void damage(std::size_t fromEnd) {
        std::string bytes = good;
        bytes[bytes.size() - fromEnd] = static_cast<char>(bytes[bytes.size() - fromEnd] ^ 0x01);
        writeText(cached, bytes);
    }
    std::string cached;
    std::string good;
};

TEST_F(LazyCache, OnlyTheBlocksReadAreChecked) {
    const auto table = CachedTable::open(source, cache);
    ASSERT_TRUE(table);
    EXPECT_EQ(table->rows(), kRows);
    EXPECT_EQ(table->cols(), kCols);
    EXPECT_EQ(table->blocksChecked(), 0u);
    const struct {
        std::size_t index;
        std::size_t checked; // blocks checked after reading it
    } reads[] = {{0, 1}, {kPerBlock - 1, 1}, {kPerBlock, 2}, {0, 2}, {kRows * kCols - 1, 3}};
    for (const auto& r : reads) {
        double value = 0.0;
        ASSERT_TRUE(table->read(r.index, value)) << r.index;
        EXPECT_EQ(value, valueAt(r.index)) << r.index;
        EXPECT_EQ(table->blocksChecked(), r.checked) << r.index;
    }
    double value = 0.0;
    EXPECT_FALSE(table->read(kRows * kCols, value)) << "past the end";
}

TEST_F(LazyCache, ADamagedBlockIsRefusedTheOthersServe) {
    // The last value sits in the last block (10000 values: block 9 from value 9216).
    damage(1);
    const auto table = CachedTable::open(source, cache);
    ASSERT_TRUE(table) << "the header holds: only the block is damaged";
    double value = 0.0;
    EXPECT_FALSE(table->read(kRows * kCols - 1, value));
    EXPECT_FALSE(table->read(9 * kPerBlock, value)) << "the same block";
    ASSERT_TRUE(table->read(9 * kPerBlock - 1, value));
    EXPECT_EQ(value, valueAt(9 * kPerBlock - 1));
    EXPECT_FALSE(LoadCachedTable(source, cache)) << "a whole read meets the damage";
}

TEST_F(LazyCache, AStaleOrDamagedHeaderRefusesTheWholeCache) {
    const std::size_t valueBytes = kRows * kCols * 4;
    const std::size_t sums = 10 * 4 + 8; // ten CRCs, padded to 8
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"a block's checksum changed",
         [&] {
             std::string b = good;
             b[b.size() - valueBytes - sums] ^= 0x01;
             return b;
         }()},
        {"the rows changed",
         [&] {
             std::string b = good;
             b[32] ^= 0x01; // Header::rows, after the magic, byte order, size and time
             return b;
         }()},
        {"a byte more", good + "x"},
        {"a byte less", good.substr(0, good.size() - 1)},
        {"another path",
         [&] {
             std::string b = good;
             b[80] ^= 0x01; // the path's first byte, after the 80-byte header
             return b;
         }()},
    };
    for (const auto& c : cases) {
        writeText(cached, c.bytes);
        EXPECT_FALSE(CachedTable::open(source, cache)) << c.what;
    }
    writeText(cached, good);
    ASSERT_TRUE(CachedTable::open(source, cache));
    const struct timespec stamp = mtimeOf(source);
    setMtime(source, {stamp.tv_sec + 1, stamp.tv_nsec});
    EXPECT_FALSE(CachedTable::open(source, cache)) << "a source with another time";
}

// A map as a grid's layer: its cache once written, a view of it after; a
// damaged block gives the text's values and a new cache, never its own.
TEST_F(LazyCache, ALayerFallsBackToTheTextWhereABlockIsDamaged) {
    GridAxes axes;
    axes.rows = kRows;
    axes.cols = kCols;
    std::filesystem::remove(cached);
    const LayerRead parsed = ReadGridLayer(source, axes, cache);
    ASSERT_TRUE(parsed.layer) << parsed.error;
    EXPECT_FALSE(parsed.layer->mapped());
    EXPECT_EQ(testing_support::ReadAll(cached), good) << "the cache written";

    damage(1);
    const LayerRead viewed = ReadGridLayer(source, axes, cache);
    ASSERT_TRUE(viewed.layer) << viewed.error;
    EXPECT_TRUE(viewed.layer->mapped());
    EXPECT_EQ(viewed.layer->at(5), valueAt(5));
    EXPECT_EQ(viewed.layer->at(kRows * kCols - 1), valueAt(kRows * kCols - 1));
    EXPECT_EQ(viewed.layer->at(7), valueAt(7));
    EXPECT_EQ(testing_support::ReadAll(cached), good) << "the cache written anew";

    GridAxes other = axes;
    other.cols = kCols / 2;
    const LayerRead wrong = ReadGridLayer(source, other, cache);
    EXPECT_FALSE(wrong.layer);
    EXPECT_NE(wrong.error.find("100 rows of 100 values where"), std::string::npos) << wrong.error;
}

TEST_F(MapCache, RecordTrustedWhileEverySourceKeepsItsSizeAndTime) {
    const std::string lat = dir.write("lat.txt", "1 1\n2 2\n");
    const std::string lon = dir.write("lon.txt", "5 6\n5 6\n");
    const std::array<std::string, 2> sources{lat, lon};
    ASSERT_TRUE(StoreCachedRecord(sources, "axes", "twelve bytes", cache));
    EXPECT_EQ(LoadCachedRecord(sources, "axes", cache), "twelve bytes");
    EXPECT_FALSE(LoadCachedRecord(sources, "other kind", cache));
    const std::array<std::string, 2> swapped{lon, lat};
    EXPECT_FALSE(LoadCachedRecord(swapped, "axes", cache));

    const struct timespec stamp = mtimeOf(lon);
    setMtime(lon, {stamp.tv_sec + 1, stamp.tv_nsec});
    EXPECT_FALSE(LoadCachedRecord(sources, "axes", cache)) << "the second source changed";
    ASSERT_TRUE(StoreCachedRecord(sources, "axes", "twelve bytes", cache));
    ASSERT_EQ(LoadCachedRecord(sources, "axes", cache), "twelve bytes");
    for (const auto& entry : std::filesystem::directory_iterator(cache)) {
        std::string bytes = testing_support::ReadAll(entry.path().string());
        bytes.back() = static_cast<char>(bytes.back() ^ 0x01);
        writeText(entry.path().string(), bytes);
    }
    EXPECT_FALSE(LoadCachedRecord(sources, "axes", cache)) << "a damaged record";
    const std::array<std::string, 1> missing{dir.file("none.txt")};
    EXPECT_FALSE(StoreCachedRecord(missing, "axes", "x", cache));
}

TEST_F(MapCache, TextSizeOfPlainAndCompressedFiles) {
    const std::string text(100000, '1');
    const std::string plain = dir.write("plain.txt", text);
    const std::string packed = dir.file("packed.txt.gz");
    gzFile file = gzopen(packed.c_str(), "wb");
    gzwrite(file, text.data(), static_cast<unsigned>(text.size()));
    gzclose(file);
    ASSERT_LT(std::filesystem::file_size(packed), 1000u);
    EXPECT_EQ(MapTextSize(plain), 100000u);
    EXPECT_EQ(MapTextSize(packed), 100000u);
    EXPECT_FALSE(MapTextSize(dir.file("none.txt")));
    EXPECT_FALSE(MapTextSize(dir.path())) << "a folder";
}

} // namespace
