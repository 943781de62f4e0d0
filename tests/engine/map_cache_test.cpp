// The binary cache of a parsed map: used while its source's size and time
// stay, read anew when the source changes or the cache is damaged, and no
// error when it cannot be written.
#include "map_cache.h"
#include "test_base.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <sys/stat.h>

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
