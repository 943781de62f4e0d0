// The files the calculator writes: the format from the extension, the checks
// before anything is computed, and one durable write.
#include "plot_data.h"
#include "report_data.h"
#include "test_base.h"
#include "text_rows.h"

#include <gtest/gtest.h>

#include <filesystem>

#include <sys/stat.h>

using testing_support::ReadAll;
using testing_support::TempDir;

namespace {

TEST(OutputFile, FormatFollowsTheExtension) {
    TempDir dir;
    const struct {
        std::span<const OutputFormat> formats;
        const char* name;
        int format; // -1: refused
    } cases[] = {
        {kPlotFormats, "a.svg", static_cast<int>(PlotFormat::Svg)},
        {kPlotFormats, "A.SVG", static_cast<int>(PlotFormat::Svg)},
        {kPlotFormats, "a.Png", static_cast<int>(PlotFormat::Png)},
        {kPlotFormats, "a.jpg", -1},
        {kPlotFormats, "png", -1},
        {kPlotFormats, "a.png.txt", -1},
        {kReportFormats, "r.PDF", static_cast<int>(ReportFormat::Pdf)},
        {kReportFormats, "r.html", static_cast<int>(ReportFormat::Html)},
        {kReportFormats, "r.htm", -1},
    };
    for (const auto& c : cases) {
        OutputFile file("test", c.formats);
        std::string error;
        EXPECT_EQ(file.prepare(dir.file(c.name), error), c.format >= 0) << c.name;
        if (c.format >= 0) {
            EXPECT_EQ(file.format(), c.format) << c.name;
        }
    }
    EXPECT_TRUE(dir.entries().empty());
}

TEST(OutputFile, RefusesWhatCannotBeWrittenAndLeavesNothing) {
    TempDir dir;
    const std::string plain = dir.write("plain.txt", "x");
    std::filesystem::create_directory(dir.file("taken.png"));
    const struct {
        std::string path;
        const char* why;
    } cases[] = {
        {dir.file("plot.jpg"), "must end in .svg or .png"},
        {dir.file("no/such/dir/plot.png"), "No such file or directory"},
        {plain + "/plot.svg", "Not a directory"},
        {dir.file("taken.png"), "it is a directory"},
    };
    for (const auto& c : cases) {
        OutputFile file("plot", kPlotFormats);
        std::string error;
        EXPECT_FALSE(file.prepare(c.path, error)) << c.path;
        EXPECT_EQ(error.rfind("cannot write plot file '" + c.path + "': ", 0), 0u) << error;
        EXPECT_NE(error.find(c.why), std::string::npos) << error;
    }
    EXPECT_EQ(dir.entries(), (std::vector<std::string>{"plain.txt", "taken.png"}));
}

TEST(OutputFile, WriteReplacesTheFileInOneStep) {
    const mode_t previousMask = ::umask(022);
    TempDir dir;
    const std::string path = dir.write("plot.png", "old");
    OutputFile file("plot", kPlotFormats);
    std::string error;
    ASSERT_TRUE(file.prepare(path, error)) << error;
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"plot.png"}); // the check left nothing
    ASSERT_TRUE(file.write("new", error)) << error;
    ::umask(previousMask);
    EXPECT_EQ(ReadAll(path), "new");
    EXPECT_EQ(dir.entries(), std::vector<std::string>{"plot.png"});
    EXPECT_EQ(std::filesystem::status(path).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read | std::filesystem::perms::others_read);
}

} // namespace
