#include "bare_design_window.h"

#include <QGridLayout>
#include <QMenuBar>
#include <QScreen>
#include <QVBoxLayout>

#include <vector>

namespace {

constexpr QSize kSize{1180, 780}; // px, as the design window starts (within the screen)
constexpr int kColumns = 3;       // a row: caption, field, unit
constexpr int kActionsPerMenu = 4;
constexpr int kComboItems = 4;

// Group boxes with grids, filled a cell at a time, one box after the other.
class Cells {
  public:
    explicit Cells(std::vector<QGroupBox*> boxes) : m_boxes(std::move(boxes)) {}
    void add(QWidget* widget) {
        QGroupBox* box = m_boxes[m_next++ % m_boxes.size()];
        auto* grid = static_cast<QGridLayout*>(box->layout());
        const int at = grid->count();
        grid->addWidget(widget, at / kColumns, at % kColumns);
    }
    QGroupBox* box() const { return m_boxes.front(); }

  private:
    std::vector<QGroupBox*> m_boxes;
    std::size_t m_next = 0;
};

} // namespace

QMainWindow* MakeBareDesignWindow(const WidgetCensus& census) {
    auto* window = new QMainWindow;
    for (int m = 0; m < census.menus; ++m) {
        QMenu* menu = window->menuBar()->addMenu(QStringLiteral("Menu %1").arg(m));
        for (int a = 0; a < kActionsPerMenu; ++a)
            menu->addAction(QStringLiteral("Action %1").arg(a));
    }
    // Splitters, each in the one before; scroll areas and tab widgets in them.
    std::vector<QSplitter*> splitters;
    for (int s = 0; s < std::max(1, census.splitters); ++s) {
        auto* splitter = new QSplitter(s % 2 == 0 ? Qt::Horizontal : Qt::Vertical);
        if (splitters.empty())
            window->setCentralWidget(splitter);
        else
            splitters.back()->addWidget(splitter);
        splitters.push_back(splitter);
    }
    std::vector<QVBoxLayout*> columns;
    for (int a = 0; a < census.scrollAreas; ++a) {
        auto* area = new QScrollArea;
        area->setWidgetResizable(true);
        auto* content = new QWidget;
        columns.push_back(new QVBoxLayout(content));
        area->setWidget(content);
        splitters[std::size_t(a) % splitters.size()]->addWidget(area);
    }
    for (int t = 0; t < census.tabWidgets; ++t) {
        auto* tabs = new QTabWidget;
        tabs->addTab(new QWidget, QStringLiteral("Page 1"));
        tabs->addTab(new QWidget, QStringLiteral("Page 2"));
        splitters.back()->addWidget(tabs);
    }
    std::vector<QGroupBox*> boxes;
    for (int g = 0; g < std::max(1, census.groupBoxes); ++g) {
        auto* box = new QGroupBox(QStringLiteral("Group %1").arg(g));
        new QGridLayout(box);
        if (columns.empty())
            splitters.front()->addWidget(box);
        else
            columns[std::size_t(g) % columns.size()]->addWidget(box);
        boxes.push_back(box);
    }
    Cells cells(boxes);
    std::vector<QWidget*> fields;
    for (int i = 0; i < census.labels; ++i)
        fields.push_back(new QLabel(QStringLiteral("Caption %1").arg(i)));
    for (int i = 0; i < census.lineEdits; ++i)
        fields.push_back(new QLineEdit(QStringLiteral("%1.5").arg(i)));
    for (int i = 0; i < census.comboBoxes; ++i) {
        auto* combo = new QComboBox;
        for (int item = 0; item < kComboItems; ++item)
            combo->addItem(QStringLiteral("Item %1").arg(item));
        fields.push_back(combo);
    }
    for (int i = 0; i < census.pushButtons; ++i)
        fields.push_back(new QPushButton(QStringLiteral("Button %1").arg(i)));
    for (QWidget* field : fields)
        cells.add(field);
    for (int i = 0; i < census.hidden && i < int(fields.size()); ++i)
        fields[std::size_t(i) * fields.size() / std::size_t(census.hidden)]->hide();
    // The widgets Qt makes inside others differ a little: plain ones make up
    // the total.
    for (int left = census.total - TakeCensus(window).total; left > 0; --left)
        cells.add(new QWidget);
    window->resize(kSize.boundedTo(window->screen()->availableGeometry().size() * 0.9));
    return window;
}
