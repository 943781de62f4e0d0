#include "bare_window.h"

#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QScrollBar>
#include <QString>

namespace {

constexpr int kClientWidth = 569;  // px
constexpr int kClientHeight = 405; // px
constexpr int kSliderHeight = 10;  // px
constexpr int kSliderMax = 1000;   // positions

struct FrameLayout {
    int parent; // index of the frame it sits in, -1 for the client area
    QRect geometry;
    int sliders; // slider rows in it
    int sliderX, valueX;
};

// The six group frames and strips of the main window, with its row counts.
constexpr FrameLayout kFrames[] = {
    {-1, {4, 2, 320, 145}, 4, 66, 222},   // main factors
    {0, {1, 106, 318, 38}, 1, 128, 266},  // its minimum Eb/No strip
    {-1, {4, 149, 320, 95}, 3, 102, 258}, // noise factors
    {-1, {4, 246, 318, 151}, 6, 99, 258}, // antenna factors
    {-1, {336, 88, 219, 213}, 0, 0, 134}, // results
    {4, {2, 184, 215, 27}, 0, 0, 134},    // their reliability strip
};
constexpr int kResultFrame = 4;
constexpr int kReliabilityFrame = 5;
constexpr int kResultRows = 8; // and the reliability in its strip
constexpr int kRowPitch = 19;  // px

QLabel* addLabel(QWidget* parent, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    label->move(x, y);
    label->adjustSize();
    return label;
}

} // namespace

BareWindow MakeBareWindow() {
    BareWindow bare;
    bare.window = new QMainWindow;
    auto* client = new QWidget(bare.window);
    client->setFixedSize(kClientWidth, kClientHeight);
    bare.window->setCentralWidget(client);

    std::array<QFrame*, std::size(kFrames)> frames{};
    std::size_t slider = 0;
    std::size_t shown = 0;
    for (std::size_t f = 0; f < frames.size(); ++f) {
        const FrameLayout& frameLayout = kFrames[f];
        QWidget* parent =
            frameLayout.parent < 0 ? client : frames[static_cast<std::size_t>(frameLayout.parent)];
        auto* frame = new QFrame(parent);
        frame->setGeometry(frameLayout.geometry);
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame->setAutoFillBackground(true);
        frames[f] = frame;
        for (int row = 0; row < frameLayout.sliders; ++row, ++slider) {
            const int top = 30 + row * kRowPitch;
            addLabel(frame, QStringLiteral("Factor %1").arg(slider), 5, top);
            auto* bar = new QScrollBar(Qt::Horizontal, frame);
            bar->setGeometry(frameLayout.sliderX, top + 1, 150, kSliderHeight);
            bar->setRange(0, kSliderMax);
            bare.sliders[slider] = bar;
            bare.shownLabels[shown++] =
                addLabel(frame, QStringLiteral("0"), frameLayout.valueX, top);
        }
    }
    QFrame* results = frames[kResultFrame];
    addLabel(results, QStringLiteral("Calculation Results"), 5, 6);
    for (int row = 0; row < kResultRows; ++row)
        bare.shownLabels[shown++] = addLabel(results, QStringLiteral("0"),
                                             kFrames[kResultFrame].valueX, 30 + row * kRowPitch);
    bare.shownLabels[shown++] = addLabel(frames[kReliabilityFrame], QStringLiteral("0"),
                                         kFrames[kReliabilityFrame].valueX, 7);
    bare.shownLabels[shown++] = addLabel(frames[1], QStringLiteral("Bits"), 266, 23);
    addLabel(client, QStringLiteral("Link Budget"), 400, 26);

    auto* menu = new QMenuBar(bare.window);
    for (const char* item : {"Hardcopy", "About", "Help"})
        menu->addAction(QString::fromLatin1(item));
    bare.window->setMenuBar(menu);
    bare.window->setFixedSize(kClientWidth, kClientHeight + menu->sizeHint().height());
    return bare;
}

void ChangeBareWindow(const BareWindow& bare, int step) {
    for (std::size_t i = 0; i < bare.sliders.size(); ++i)
        bare.sliders[i]->setValue((step + static_cast<int>(i)) % kSliderMax);
    for (std::size_t i = 0; i < bare.shownLabels.size(); ++i)
        bare.shownLabels[i]->setText(QString::number(step * 0.25 + static_cast<double>(i), 'f', 2));
}
