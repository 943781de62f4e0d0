#pragma once
// The "Hardcopy" command: PanelScreen saved as the next numbered JPEG in
// BaseDirectory/Files/Hardcopies/ (or the current directory without it).
#include <cstdint>
#include <string>

class QWidget;
class QLabel;

// The next hardcopy's file name with its directory; advances hardcopyCount
// past every number whose file already exists, and once more for this one.
std::string NextHardcopyName(int32_t& hardcopyCount);

// Throws GuiError when the file cannot be written (the count has advanced).
void SaveHardcopy(QWidget* panelScreen, QLabel* hardcopyImage, int32_t& hardcopyCount);
