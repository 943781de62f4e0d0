// The output buffer: nothing lost at block edges, numbers that read back
// exactly, and a refused block reported rather than hidden.
#include "buffered_output.h"

#include "test_base.h"
#include "text_rows.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>

using testing_support::ReadAll;
using testing_support::TempDir;

namespace {

TEST(BufferedOutput, KeepsEveryByteAcrossBlockEdges) {
    for (const std::size_t capacity : {std::size_t{1}, std::size_t{7}, std::size_t{32},
                                       std::size_t{33}, BufferedOutput::kDefaultCapacity}) {
        std::string written;
        std::size_t blocks = 0;
        std::string expected;
        {
            BufferedOutput out(
                [&](std::string_view b) {
                    ++blocks;
                    EXPECT_LE(b.size(), std::max<std::size_t>(capacity, 32));
                    written.append(b);
                    return true;
                },
                capacity);
            for (int i = 0; i < 500; ++i) {
                out.put("row");
                out.put(',');
                out.putNumber(i * 0.1);
                out.put('\n');
                expected += "row," + ShortestText(i * 0.1) + "\n";
            }
            EXPECT_TRUE(out.flush());
        }
        EXPECT_EQ(written, expected) << "capacity " << capacity;
        EXPECT_GE(blocks, expected.size() / std::max<std::size_t>(capacity, 32));
    }
}

TEST(BufferedOutput, NumbersAreShortestAndReadBack) {
    const struct {
        double value;
        const char* text;
    } cases[] = {
        {10.0, "10"},
        {0.1, "0.1"},
        {-173.9, "-173.9"},
        {0.1 + 0.2, "0.30000000000000004"},
        {9.9999999999e26, "9.9999999999e+26"},
        {1e-7, "1e-07"},
        {-0.0, "-0"},
        {5e-324, "5e-324"},
        {std::numeric_limits<double>::max(), "1.7976931348623157e+308"},
        {-2.2250738585072014e-308, "-2.2250738585072014e-308"},
    };
    for (const auto& c : cases) {
        std::string text;
        {
            BufferedOutput out(StringSink(text), 40);
            out.put("xxxxxxxxxxxxxxxxxx"); // forces a drain before the longest numbers
            out.putNumber(c.value);
        }
        ASSERT_EQ(text.substr(0, 18), "xxxxxxxxxxxxxxxxxx");
        EXPECT_EQ(text.substr(18), c.text);
        double back = 0;
        std::from_chars(text.data() + 18, text.data() + text.size(), back);
        EXPECT_EQ(std::signbit(back), std::signbit(c.value));
        EXPECT_EQ(back, c.value);
    }
}

TEST(BufferedOutput, ARefusedBlockIsReportedAndNotRetried) {
    int calls = 0;
    BufferedOutput out(
        [&](std::string_view) {
            ++calls;
            return false;
        },
        32);
    out.put("0123456789abcdef0123456789abcdef"); // fills the buffer
    EXPECT_TRUE(out.ok());
    out.put("x"); // drains into the refusing sink
    EXPECT_FALSE(out.ok());
    for (int i = 0; i < 100; ++i) {
        out.put("0123456789abcdef");
    }
    EXPECT_FALSE(out.flush());
    EXPECT_EQ(calls, 1);
}

TEST(BufferedOutput, FileSinkReportsAStreamThatCannotTakeTheBytes) {
    TempDir dir;
    const std::string path = dir.write("out.txt", "");
    // A stream opened for reading refuses every write, as a full disk would.
    std::FILE* readOnly = std::fopen(path.c_str(), "r");
    ASSERT_NE(readOnly, nullptr);
    {
        BufferedOutput out(FileSink(readOnly));
        out.put("some text");
        EXPECT_FALSE(out.flush());
    }
    std::fclose(readOnly);

    std::FILE* file = std::fopen(path.c_str(), "w");
    ASSERT_NE(file, nullptr);
    {
        BufferedOutput out(FileSink(file));
        out.put("some text");
        EXPECT_TRUE(out.flush());
    }
    std::fclose(file);
    EXPECT_EQ(ReadAll(path), "some text");
}

} // namespace
