// The colour scheme: three colours of the options file's section "COLORS"
// paint the window's background, its captions and its numbers.
#include "color_scheme.h"

#include "app_context.h"
#include "main_form.h"

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QWidget>

#include <array>
#include <optional>

namespace {

constexpr uint32_t kSystemColorFlag = 0x80000000u;

struct DesktopColor {
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

// The desktop's colour indices (the system colour numbers of the options
// file's encoding) and the palette entries that play the same part here.
// Index 25 has no colour.
const std::array<std::optional<DesktopColor>, 31> kDesktopColors = {{
    DesktopColor{QPalette::Active, QPalette::Button},            // 0 scroll bar
    DesktopColor{QPalette::Active, QPalette::Dark},              // 1 desktop
    DesktopColor{QPalette::Active, QPalette::Highlight},         // 2 active caption
    DesktopColor{QPalette::Inactive, QPalette::Highlight},       // 3 inactive caption
    DesktopColor{QPalette::Active, QPalette::Window},            // 4 menu
    DesktopColor{QPalette::Active, QPalette::Base},              // 5 window
    DesktopColor{QPalette::Active, QPalette::Shadow},            // 6 window frame
    DesktopColor{QPalette::Active, QPalette::WindowText},        // 7 menu text
    DesktopColor{QPalette::Active, QPalette::WindowText},        // 8 window text
    DesktopColor{QPalette::Active, QPalette::HighlightedText},   // 9 caption text
    DesktopColor{QPalette::Active, QPalette::Window},            // 10 active border
    DesktopColor{QPalette::Inactive, QPalette::Window},          // 11 inactive border
    DesktopColor{QPalette::Active, QPalette::Mid},               // 12 application workspace
    DesktopColor{QPalette::Active, QPalette::Highlight},         // 13 highlight
    DesktopColor{QPalette::Active, QPalette::HighlightedText},   // 14 highlight text
    DesktopColor{QPalette::Active, QPalette::Button},            // 15 button face
    DesktopColor{QPalette::Active, QPalette::Dark},              // 16 button shadow
    DesktopColor{QPalette::Disabled, QPalette::WindowText},      // 17 grey text
    DesktopColor{QPalette::Active, QPalette::ButtonText},        // 18 button text
    DesktopColor{QPalette::Inactive, QPalette::HighlightedText}, // 19 inactive caption text
    DesktopColor{QPalette::Active, QPalette::Light},             // 20 button highlight
    DesktopColor{QPalette::Active, QPalette::Shadow},            // 21 3-D dark shadow
    DesktopColor{QPalette::Active, QPalette::Midlight},          // 22 3-D light
    DesktopColor{QPalette::Active, QPalette::ToolTipText},       // 23 tooltip text
    DesktopColor{QPalette::Active, QPalette::ToolTipBase},       // 24 tooltip background
    std::nullopt,                                                // 25
    DesktopColor{QPalette::Active, QPalette::Link},              // 26 hot-tracked item
    DesktopColor{QPalette::Active, QPalette::Highlight},         // 27 active caption gradient
    DesktopColor{QPalette::Inactive, QPalette::Highlight},       // 28 inactive caption gradient
    DesktopColor{QPalette::Active, QPalette::Highlight},         // 29 menu highlight
    DesktopColor{QPalette::Active, QPalette::Window},            // 30 menu bar
}};

} // namespace

QColor colorFromValue(int32_t value) {
    const auto bits = static_cast<uint32_t>(value);
    if ((bits & kSystemColorFlag) != 0) {
        const uint32_t index = bits & 0xFFu;
        if (index < kDesktopColors.size() && kDesktopColors[index]) {
            const DesktopColor& desktop = *kDesktopColors[index];
            return QApplication::palette().color(desktop.group, desktop.role);
        }
        return QColor(0, 0, 0);
    }
    return QColor(static_cast<int>(bits & 0xFFu), static_cast<int>((bits >> 8) & 0xFFu),
                  static_cast<int>((bits >> 16) & 0xFFu));
}

void setRoleColor(QWidget* widget, QPalette::ColorRole role, const QColor& color) {
    QPalette palette = widget->palette();
    palette.setColor(role, color);
    widget->setPalette(palette);
}

void TQuillstoneMainForm::ApplyColorScheme() {
    SetDefaultColors(ColorDefines);
    ReadColorDefines(AppContext().BaseDirectory + "/" + kOptionsFileName, ColorDefines);

    const QColor background = colorFromValue(ColorDefines.DeviceGuiColor);
    const QColor labelText = colorFromValue(ColorDefines.DeviceGuiLabelColor);
    const QColor dataText = colorFromValue(ColorDefines.DeviceGuiDataColor);

    // The window's client area, then PanelScreen takes the window's colour.
    QWidget* client = centralWidget();
    setRoleColor(client, QPalette::Window, background);
    setRoleColor(PanelScreen, QPalette::Window, client->palette().color(QPalette::Window));
    setRoleColor(Label34, QPalette::WindowText, labelText);

    setRoleColor(Panel1, QPalette::Window, background);
    for (QFrame* panel : {Panel5, Panel4, Panel3, Panel2, Panel6}) {
        setRoleColor(panel, QPalette::Window, Panel1->palette().color(QPalette::Window));
    }
    // Panel6 takes its text colour from Panel2, the captions from their panel.
    for (QWidget* widget : std::initializer_list<QWidget*>{Panel1, Panel5, Panel4, Panel3, Panel2,
                                                           Label23, Label20, Label19, Label22}) {
        setRoleColor(widget, QPalette::WindowText, labelText);
    }

    for (QLabel* label : m_resultLabels) {
        setRoleColor(label, QPalette::WindowText, dataText);
    }
    for (std::size_t i = 0; i < kFactorCount; ++i) {
        setRoleColor(m_valueLabels[i], QPalette::WindowText, dataText);
        if (FactorTable[i].panel == FactorPanel::Panel5) {
            setRoleColor(LabelMinBepDesired, QPalette::WindowText, dataText);
        }
    }
}
