#pragma once
// The image writer: copies what a window shows into an image control and
// saves it as a JPEG (quality 90, baseline, 24-bit colour) or a Windows bitmap.
#include <string>

class QWidget;
class QLabel;

// The final file name: the extension of the file-name part (from its first
// ".") replaced by ".jpg" or ".bmp".
std::string WindowImageFileName(const std::string& fileName, bool asJpeg);

// Throws GuiError when the file cannot be written.
void SaveWindowImage(QWidget* window, QLabel* image, int height, const std::string& fileName,
                     bool asJpeg, int width);
