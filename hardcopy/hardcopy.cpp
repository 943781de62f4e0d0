#include "hardcopy.h"

#include "app_context.h"
#include "files.h"
#include "speaker.h"
#include "window_image.h"

#include <QLabel>
#include <QWidget>

#include <limits>
#include <sys/stat.h>

namespace {

constexpr const char* kHardcopyPrefix = "QuillstoneHdcpy_";
constexpr const char* kHardcopyExtension = ".jpg";
constexpr const char* kHardcopyDirectory = "/Files/Hardcopies/";

// Anything at that name counts, a dangling link or a directory too: a
// hardcopy never takes the place of something already there.
bool nameIsTaken(const std::string& path) {
    struct stat info {};
    return ::lstat(path.c_str(), &info) == 0;
}

// The directory part of the hardcopy names: the hardcopies directory when it
// exists, else nothing (the current directory). Never created here.
std::string hardcopyDirectory() {
    const std::string& base = AppContext().BaseDirectory;
    const std::string directory = (base.empty() ? std::string(".") : base) + kHardcopyDirectory;
    return DirectoryIsPresent(directory) ? directory : std::string();
}

void advance(int32_t& hardcopyCount) {
    hardcopyCount = hardcopyCount == std::numeric_limits<int32_t>::max() ? 0 : hardcopyCount + 1;
}

} // namespace

std::string NextHardcopyName(int32_t& hardcopyCount) {
    if (hardcopyCount < 0)
        hardcopyCount = 0;
    const std::string directory = hardcopyDirectory();
    for (;;) {
        // The plain decimal count: a text cut to a few characters would give
        // two counts the same name.
        std::string name =
            directory + kHardcopyPrefix + std::to_string(hardcopyCount) + kHardcopyExtension;
        advance(hardcopyCount);
        if (!nameIsTaken(name))
            return name;
    }
}

void SaveHardcopy(QWidget* panelScreen, QLabel* hardcopyImage, int32_t& hardcopyCount) {
    const std::string name = NextHardcopyName(hardcopyCount);
    const int height = panelScreen != nullptr ? panelScreen->height() : 0;
    const int width = panelScreen != nullptr ? panelScreen->width() : 0;
    SaveWindowImage(panelScreen, hardcopyImage, height, name, true, width);
    SpeakerClick();
}
