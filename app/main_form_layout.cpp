// Building the main window's widgets: the panels, one row per factor and per
// result from the engine's tables, the main menu and the pop-up menus. The
// pixel positions are those of the window's form description; everything is
// placed absolutely, since the window has a fixed size.
#include "main_form.h"

#include "color_scheme.h"
#include "factor_scroll_bar.h"
#include "link_calculation.h"

#include <QAction>
#include <QFont>
#include <QFrame>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QScrollBar>

#include <set>
#include <vector>

namespace {

constexpr int kClientWidth = 569;           // px
constexpr int kClientHeight = 405;          // px, below the menu bar
constexpr int kPanelScreenHeight = 401;     // px, aligned to the bottom of the client area
constexpr QPoint kDesignPosition{688, 171}; // outer frame, screen px
constexpr int kFontPixels = 11;             // Arial 8 pt
constexpr int kTitlePixels = 21;
constexpr int kSliderHeight = 10; // px

// Colours of the form description; ApplyColorScheme replaces them all.
constexpr int32_t kDesignSilver = 0x00C0C0C0;
constexpr int32_t kDesignGrey = 0x00808080;
constexpr int32_t kDesignBlue = 0x00FF0000;
constexpr int32_t kDesignNavy = 0x00800000;

QFont formFont(bool bold, int pixelSize) {
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}

QLabel* makeLabel(QWidget* parent, const char* name, const QString& text, int x, int y) {
    auto* label = new QLabel(text, parent);
    if (name != nullptr) {
        label->setObjectName(QString::fromLatin1(name));
    }
    label->move(x, y);
    label->adjustSize();
    return label;
}

QFrame* makePanel(QWidget* parent, const char* name, const QRect& geometry, int frameStyle) {
    auto* panel = new QFrame(parent);
    panel->setObjectName(QString::fromLatin1(name));
    panel->setGeometry(geometry);
    panel->setFrameStyle(frameStyle);
    panel->setAutoFillBackground(true);
    return panel;
}

// Columns and row tops of the factor rows in each group panel (px).
struct FactorRowPlaces {
    FactorPanel panel;
    int captionX, sliderX, sliderWidth, valueX, unitX;
    std::vector<int> tops;   // one per row of the panel, in table order
    const char* captionName; // object names of the strip's labels
    const char* unitName;
};

const std::array<FactorRowPlaces, 4>& factorRowPlaces() {
    static const std::array<FactorRowPlaces, 4> places = {{
        {FactorPanel::Panel1, 5, 66, 150, 222, 263, {30, 49, 67, 86}, nullptr, nullptr},
        {FactorPanel::Panel5, 5, 128, 127, 266, 300, {1}, "Label24", "Label55"},
        {FactorPanel::Panel4, 5, 102, 150, 258, 287, {30, 49, 68}, nullptr, nullptr},
        {FactorPanel::Panel3, 5, 99, 150, 258, 292, {30, 49, 68, 87, 106, 125}, nullptr, nullptr},
    }};
    return places;
}

// Result rows: eight in Panel2, the reliability in the strip Panel6 (px).
constexpr int kResultCaptionX = 5;
constexpr int kResultValueX = 134;
constexpr int kResultUnitX = 171;
constexpr std::array<int, 8> kResultTops = {30, 49, 69, 88, 107, 126, 146, 165};
constexpr int kReliabilityTop = 7;

// "Range: 1 to 200 Miles. Right-click to type an exact value."
QString sliderHint(const FactorRow& row) {
    QLocale locale;
    locale.setNumberOptions(QLocale::OmitGroupSeparator);
    const auto number = [&locale](double value) { return locale.toString(value, 'g', 12); };
    return QStringLiteral("%1: %2 to %3 %4. Right-click to type an exact value.")
        .arg(QString::fromLatin1(row.caption), number(SliderValue(row, row.min)),
             number(SliderValue(row, row.max)), QString::fromLatin1(row.unit));
}

} // namespace

void TQuillstoneMainForm::createForm() {
    setObjectName(QStringLiteral("QuillstoneMainForm"));
    // A normal top-level window, so that the desktop gives it a taskbar entry
    // and keeps it shown when another program is active: caption, system
    // menu, minimise and close buttons; the fixed size leaves no resizing and
    // no maximise. The icon comes after the first frame.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("RF Link Budget"));
    setFont(formFont(false, kFontPixels));
    setContextMenuPolicy(Qt::NoContextMenu);

    // The client area below the menu bar carries the window's colour; the
    // menu bar keeps the desktop's.
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("ClientArea"));
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    setRoleColor(client, QPalette::Window, colorFromValue(kDesignSilver));
    setCentralWidget(client);

    PanelScreen = new QWidget(client);
    PanelScreen->setObjectName(QStringLiteral("PanelScreen"));
    PanelScreen->setGeometry(0, kClientHeight - kPanelScreenHeight, kClientWidth,
                             kPanelScreenHeight);
    PanelScreen->setAutoFillBackground(true);

    // Created first so that it lies beneath every panel.
    HardcopyImage = new QLabel(PanelScreen);
    HardcopyImage->setObjectName(QStringLiteral("HardcopyImage"));
    HardcopyImage->setGeometry(331, 15, 69, 67);

    Label34 = makeLabel(PanelScreen, "Label34", QStringLiteral("Link Budget"), 400, 26);
    Label34->setFont(formFont(true, kTitlePixels));
    Label34->adjustSize();

    createPanels();
    createFactorRows();
    createResultRows();
    createMenus();
    connectSignals();

    setFixedSize(kClientWidth, kClientHeight + MainMenu1->sizeHint().height());
    move(kDesignPosition);
    Position = {kDesignPosition.x(), kDesignPosition.y()};
}

void TQuillstoneMainForm::createPanels() {
    const int raised = QFrame::Panel | QFrame::Raised;
    Panel1 = makePanel(PanelScreen, "Panel1", {4, 2, 320, 145}, raised);
    Panel5 = makePanel(Panel1, "Panel5", {1, 106, 318, 38}, raised);
    Panel4 = makePanel(PanelScreen, "Panel4", {4, 149, 320, 95}, raised);
    Panel3 = makePanel(PanelScreen, "Panel3", {4, 246, 318, 151}, raised);
    // Raised inner and lowered outer bevel: an etched frame.
    Panel2 = makePanel(PanelScreen, "Panel2", {336, 88, 219, 213}, QFrame::Box | QFrame::Sunken);
    Panel6 = makePanel(Panel2, "Panel6", {2, 184, 215, 27}, raised);
    for (QFrame* panel : {Panel1, Panel4, Panel3, Panel2}) {
        setRoleColor(panel, QPalette::Window, colorFromValue(kDesignGrey));
    }

    const QFont heading = formFont(true, kFontPixels);
    struct Heading {
        QLabel*& label;
        QFrame* panel;
        const char* name;
        const char* text;
    };
    const Heading headings[] = {
        {Label23, Panel1, "Label23", "Main Factors"},
        {Label20, Panel4, "Label20", "Noise Factors"},
        {Label19, Panel3, "Label19", "Antenna Factors"},
        {Label22, Panel2, "Label22", "Calculation Results"},
    };
    for (const Heading& h : headings) {
        h.label = makeLabel(h.panel, h.name, QString::fromLatin1(h.text), 5, 6);
        h.label->setFont(heading);
        h.label->adjustSize();
    }

    // The bit error row of the strip: its own caption, the "or" between the
    // two captions, and the label the display writes.
    QLabel* bepCaption = makeLabel(Panel5, "Label35", QStringLiteral("Minimum BEP Desired"), 5, 23);
    bepCaption->setToolTip(QStringLiteral("Bit Error Performance"));
    makeLabel(Panel5, "Label36", QStringLiteral("or"), 40, 12);
    LabelMinBepDesired = makeLabel(Panel5, "LabelMinBepDesired", QStringLiteral("Bits"), 266, 23);
}

QFrame* TQuillstoneMainForm::panelOf(FactorPanel panel) const {
    switch (panel) {
    case FactorPanel::Panel1:
        return Panel1;
    case FactorPanel::Panel5:
        return Panel5;
    case FactorPanel::Panel4:
        return Panel4;
    case FactorPanel::Panel3:
        break;
    }
    return Panel3;
}

void TQuillstoneMainForm::createFactorRows() {
    std::array<std::size_t, 4> nextRow{}; // rows placed so far, per entry of factorRowPlaces()
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        const FactorRow& row = FactorTable[i];
        const auto& places = factorRowPlaces();
        std::size_t p = 0;
        while (places[p].panel != row.panel) {
            ++p;
        }
        const FactorRowPlaces& place = places[p];
        const int top = place.tops.at(nextRow[p]++);
        QFrame* panel = panelOf(row.panel);

        makeLabel(panel, place.captionName, QString::fromLatin1(row.caption), place.captionX, top);

        auto* slider = new FactorScrollBar(panel);
        slider->setObjectName(QString::fromLatin1(row.slider));
        slider->setAccessibleName(QString::fromLatin1(row.caption));
        slider->setToolTip(sliderHint(row));
        slider->setGeometry(place.sliderX, top + 1, place.sliderWidth, kSliderHeight);
        slider->setRange(row.min, row.max);
        slider->setSingleStep(1);
        slider->setPageStep(10);
        slider->setValue(row.formPosition);
        // The group's pop-up menu, not the scroll bar's own, answers a right click.
        slider->setContextMenuPolicy(Qt::NoContextMenu);
        m_sliders[i] = slider;

        // The unit as design caption; the first display writes the value.
        QLabel* value =
            makeLabel(panel, row.valueLabel, QString::fromLatin1(row.unit), place.valueX, top);
        setRoleColor(value, QPalette::WindowText, colorFromValue(kDesignBlue));
        m_valueLabels[i] = value;

        makeLabel(panel, place.unitName, QString::fromLatin1(row.unit), place.unitX, top);
        if (i > 0) {
            setTabOrder(m_sliders[i - 1], slider);
        }
    }
    setRoleColor(LabelMinBepDesired, QPalette::WindowText, colorFromValue(kDesignBlue));
}

void TQuillstoneMainForm::createResultRows() {
    for (std::size_t i = 0; i < kResultCount; ++i) {
        const ResultRow& row = ResultTable[i];
        const bool inStrip = i >= kResultTops.size();
        QFrame* panel = inStrip ? Panel6 : Panel2;
        const int top = inStrip ? kReliabilityTop : kResultTops[i];
        makeLabel(panel, inStrip ? "Label49" : nullptr, QString::fromLatin1(row.caption),
                  kResultCaptionX, top);
        QLabel* value = makeLabel(panel, row.label, QStringLiteral("0"), kResultValueX, top);
        setRoleColor(value, QPalette::WindowText, colorFromValue(kDesignNavy));
        m_resultLabels[i] = value;
        makeLabel(panel, inStrip ? "Label33" : nullptr, QString::fromLatin1(row.unit), kResultUnitX,
                  top);
    }
}

void TQuillstoneMainForm::createMenus() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    setMenuBar(MainMenu1);
    struct TopItem {
        QAction*& action;
        const char* name;
        const char* text;
    };
    // Alt and the marked letter choose an item from anywhere in the window.
    const TopItem items[] = {
        {Hardcopy1, "Hardcopy1", "&Hardcopy"},
        {MenuAbout, "MenuAbout", "&About"},
        {MenuHelp, "MenuHelp", "H&elp"},
    };
    for (const TopItem& item : items) {
        item.action = MainMenu1->addAction(QString::fromLatin1(item.text));
        item.action->setObjectName(QString::fromLatin1(item.name));
    }

    // The group pop-up menus and their items, named from the factor table.
    for (const FactorRow& row : FactorTable) {
        const QString name = QString::fromLatin1(row.popupMenu);
        auto* menu = findChild<QMenu*>(name, Qt::FindDirectChildrenOnly);
        if (menu == nullptr) {
            menu = new QMenu(this);
            menu->setObjectName(name);
        }
        if (row.panel == FactorPanel::Panel5) {
            // Between "Bit Rate" and "Min Eb/No Desired".
            menu->addSeparator()->setObjectName(QStringLiteral("N1"));
        }
        menu->addAction(QString::fromLatin1(row.menuCaption))
            ->setObjectName(QString::fromLatin1(row.menuItem));
    }
    PopupMenuMainFactors = popupMenuOf(FactorPanel::Panel1);
    PopupMenuNoise = popupMenuOf(FactorPanel::Panel4);
    PopupMenuAnttena = popupMenuOf(FactorPanel::Panel3);
}

QMenu* TQuillstoneMainForm::popupMenuOf(FactorPanel panel) const {
    for (const FactorRow& row : FactorTable) {
        if (row.panel == panel) {
            return findChild<QMenu*>(QString::fromLatin1(row.popupMenu),
                                     Qt::FindDirectChildrenOnly);
        }
    }
    return nullptr;
}

void TQuillstoneMainForm::connectPopupMenus() {
    // A right click anywhere on a group panel opens its menu: labels pass the
    // click on to their panel, the sliders are told to. Panel2 has no menu,
    // and its click goes no further either.
    std::set<QFrame*> done;
    for (const FactorRow& row : FactorTable) {
        QFrame* panel = panelOf(row.panel);
        if (!done.insert(panel).second) {
            continue;
        }
        QMenu* menu = popupMenuOf(row.panel);
        panel->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(panel, &QWidget::customContextMenuRequested, menu, [panel, menu](const QPoint& at) {
            if (!menu->isVisible()) {
                menu->popup(panel->mapToGlobal(at));
            }
        });
    }
    Panel2->setContextMenuPolicy(Qt::PreventContextMenu);
}

void TQuillstoneMainForm::connectSignals() {
    for (QScrollBar* slider : m_sliders) {
        connect(slider, &QScrollBar::valueChanged, this,
                &TQuillstoneMainForm::ScrollBarRangeChange);
    }
    connect(Hardcopy1, &QAction::triggered, this, &TQuillstoneMainForm::Hardcopy1Click);
    connect(MenuAbout, &QAction::triggered, this, &TQuillstoneMainForm::MenuAboutClick);
    connect(MenuHelp, &QAction::triggered, this, &TQuillstoneMainForm::MenuHelpClick);
    connectPromptItems();
    connectPopupMenus();
}
