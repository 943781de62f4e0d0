#pragma once
// The files the calculator writes besides its standard output (the plot, the
// report, the design file), all one way: the format is named by the file's
// extension, the name is checked before anything is computed (not a
// directory, and its folder takes a new file: a scratch file is made there
// and removed), and the bytes are written in one durable replace that leaves
// an older file whole on failure and keeps its permissions.
#include <span>
#include <string>
#include <string_view>

struct OutputFormat {
    const char* extension; // ".svg", letter case ignored
    int format;            // the caller's enum value
};

class OutputFile {
  public:
    // `kind` names the file in messages: "cannot write plot file 'p.txt': ...".
    OutputFile(const char* kind, std::span<const OutputFormat> formats)
        : m_kind(kind), m_formats(formats) {}

    bool prepare(const std::string& path, std::string& error);
    bool write(std::string_view bytes, std::string& error) const;

    int format() const { return m_format; }
    const std::string& path() const { return m_path; }
    bool prepared() const { return !m_path.empty(); }

    // "cannot write KIND file 'PATH': WHY"
    std::string failure(std::string_view why) const;

  private:
    const char* m_kind;
    std::span<const OutputFormat> m_formats;
    std::string m_path;
    int m_format = 0;
};

// The check every output file gets: the name is not a directory and its
// folder takes a new file, shown by creating a scratch file beside it
// (".quillstone-calc-STEM-XXXXXX"). Returns the scratch file's name, or ""
// with the reason in `why`.
std::string MakeScratchBeside(const std::string& path, const char* stem, std::string& why);
