#pragma once
// The plot file: checked before anything is computed, written beside its
// final name and moved there only when complete, so that a failed plot
// neither leaves a broken file nor destroys an older one.
#include <optional>
#include <string>
#include <string_view>

// True when `text` ends in `suffix`, letter case ignored.
bool EndsWithNoCase(std::string_view text, std::string_view suffix);

// The checks every file the calculator writes gets before anything is
// computed: the name is not a directory and its folder takes a new file,
// shown by creating a scratch file beside it (".quillstone-calc-STEM-XXXXXX").
// Returns the scratch file's name, or "" with the reason in `why`.
std::string MakeScratchBeside(const std::string& path, const char* stem, std::string& why);

enum class PlotFormat { Svg, Png };

// The format named by the file's extension (letter case ignored).
std::optional<PlotFormat> PlotFormatOf(const std::string& path);

class PlotTarget {
  public:
    PlotTarget() = default;
    ~PlotTarget(); // removes the scratch file unless committed
    PlotTarget(const PlotTarget&) = delete;
    PlotTarget& operator=(const PlotTarget&) = delete;

    // Checks the extension and that a file can be created in the target's
    // directory, by creating the scratch file there. False with a one-line
    // message otherwise; nothing is left behind then.
    bool prepare(const std::string& path, std::string& error);

    PlotFormat format() const { return m_format; }
    const std::string& path() const { return m_path; }
    const std::string& scratchPath() const { return m_scratch; } // where the plot is drawn

    // Puts what was drawn in the scratch file at path() in one durable step
    // (an older file keeps its permissions) and removes the scratch file.
    bool commit(std::string& error);
    void discard();

  private:
    std::string m_path;
    std::string m_scratch;
    PlotFormat m_format = PlotFormat::Svg;
};
