// Writes what the build makes of the option registry: `man-options` the man
// page's OPTIONS section, `completion` the bash completion.
#include "calc_help.h"

#include <cstdio>
#include <string_view>

int main(int argc, char** argv) {
    const std::string_view what = argc == 2 ? argv[1] : "";
    std::string text;
    if (what == "man-options") {
        text = CalcManOptions();
    } else if (what == "completion") {
        text = CalcBashCompletion();
    } else {
        std::fprintf(stderr, "usage: quillstone-calc-docs man-options|completion\n");
        return 2;
    }
    return std::fwrite(text.data(), 1, text.size(), stdout) == text.size() ? 0 : 1;
}
