#pragma once
// A private scratch directory for the fuzz targets that read files: made
// once per process in memory (/dev/shm) where there is such a place, else
// under TMPDIR or /tmp, and removed with what it holds when the process ends
// normally. In memory, the fsync of every save costs nothing.
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <string_view>
#include <unistd.h>

namespace fuzzscratch {

class Directory {
  public:
    Directory() {
        std::string pattern = baseDirectory() + "/quillstone-fuzz-XXXXXX";
        if (mkdtemp(pattern.data()) == nullptr) {
            std::perror("mkdtemp");
            std::abort();
        }
        m_path = pattern;
    }
    ~Directory() {
        for (const auto& name : m_names) {
            std::remove((m_path + "/" + name).c_str());
        }
        rmdir(m_path.c_str());
    }
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    const std::string& Path() const { return m_path; }

    // Names a file in the directory that the code under test may create.
    std::string Name(const std::string& name) {
        m_names.insert(name);
        return m_path + "/" + name;
    }

    // Replaces the file `name` with exactly `bytes`; returns its full path.
    std::string Write(const std::string& name, std::string_view bytes) {
        const std::string path = Name(name);
        std::FILE* f = std::fopen(path.c_str(), "wb");
        // An empty input may come without a buffer: fwrite must not see it.
        const bool written =
            f != nullptr &&
            (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size());
        if (!written) {
            std::perror(path.c_str());
            std::abort();
        }
        std::fclose(f);
        return path;
    }

  private:
    static std::string baseDirectory() {
        if (access("/dev/shm", W_OK | X_OK) == 0) {
            return "/dev/shm";
        }
        const char* tmp = std::getenv("TMPDIR");
        return tmp && *tmp ? tmp : "/tmp";
    }

    std::string m_path;
    std::set<std::string> m_names;
};

} // namespace fuzzscratch
