#pragma once
// The reference window for the start-up and repaint measurements: plain Qt
// widgets in the main window's numbers and places (14 horizontal scroll bars,
// 40 labels in six frames, a menu bar with three items) and nothing else: no
// fonts, colours, files or calculation of the program's own.
#include <QMainWindow>

#include <array>
#include <cstddef>

class QLabel;
class QScrollBar;

struct BareWindow {
    static constexpr std::size_t kSliders = 14;
    static constexpr std::size_t kShownLabels = 24; // what a slider move rewrites

    QMainWindow* window = nullptr;
    std::array<QScrollBar*, kSliders> sliders{};
    std::array<QLabel*, kShownLabels> shownLabels{}; // 14 values, bit error, 9 results
};

// Builds the window (not shown); the caller owns `window`.
BareWindow MakeBareWindow();

// What a slider move does to the bare window: every slider and every shown
// label set anew from `step`, so that consecutive steps change them all.
void ChangeBareWindow(const BareWindow& bare, int step);
