#pragma once
// The main window: the fourteen factor sliders with their value labels, the
// nine result labels, the main menu and a pop-up menu per factor group. It
// owns the engine's records for the whole run; every slider move and every
// value prompt recalculates the link and redraws everything.
//
// Where the parts live:
//   main_form_layout.cpp  the widgets, built from the factor and result tables
//   factor_scroll_bar.cpp the sliders' keys, colours and thumb
//   program_icon.cpp      the window's icon
//   main_form.cpp         the slider path and the display step
//   factor_prompts.cpp    the fourteen pop-up handlers (one prompt table)
//   color_scheme.cpp      the colours of "ServerOptions.Opt"
//   startup.cpp           start-up, shut-down, terminate handler, close query
//   main_form_menu.cpp    the main menu's actions; the help window made once
//
// Data flow: slider -> ScrollBarRangeChange -> SlidersToFactors ->
// CalculateLink -> ShowAll, which repositions every slider while `Updating`
// is true so that those changes do not come back in.
#include "cmn_color_defines.h"
#include "link_factors.h"
#include "link_settings.h"
#include "quillstone_version.h"

#include <QMainWindow>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

class QAction;
class QFrame;
class QLabel;
class QMenu;
class QMenuBar;
class QScrollBar;
class TQuillstoneHelpForm;

constexpr const char* kProgramName = "Quillstone";
constexpr const char* kVersionText = kQuillstoneVersion;
constexpr const char* kLogSubdirectory = "/SYSTEM/ERLOGS/";

class TQuillstoneMainForm : public QMainWindow {
    Q_OBJECT
  public:
    // Builds the window and runs FormCreate (the whole start-up).
    explicit TQuillstoneMainForm(QWidget* parent = nullptr);
    ~TQuillstoneMainForm() override;

    // The window's state, in this order. The record types are spelt with "::"
    // because the members bear the records' own names.
    bool Updating = false;          // true while ShowAll writes the controls
    std::string SettingsPath;       // full name of "Quillstone.Cfg"
    CmnColorDefines ColorDefines{}; // as read by ApplyColorScheme
    int32_t HardcopyCount = 0;      // hardcopies saved in this run
    ::LinkFactors LinkFactors{};    // the authority; sliders are views of it
    ::LinkResults LinkResults{};    // computed, only displayed
    WindowPosition Position;        // outer frame's top-left, screen pixels

    // Controls that the menus, the hardcopy and the tests reach by name.
    QWidget* PanelScreen = nullptr;  // everything below the menu; what a hardcopy captures
    QLabel* HardcopyImage = nullptr; // fills PanelScreen beneath the group panels
    QLabel* Label34 = nullptr;       // title "Link Budget"
    QFrame* Panel1 = nullptr;        // main factors
    QFrame* Panel2 = nullptr;        // calculation results
    QFrame* Panel3 = nullptr;        // antenna factors
    QFrame* Panel4 = nullptr;        // noise factors
    QFrame* Panel5 = nullptr;        // minimum Eb/No strip of Panel1
    QFrame* Panel6 = nullptr;        // link reliability strip of Panel2
    QLabel* Label19 = nullptr;       // group headings
    QLabel* Label20 = nullptr;
    QLabel* Label22 = nullptr;
    QLabel* Label23 = nullptr;
    QLabel* LabelMinBepDesired = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QAction* Hardcopy1 = nullptr;
    QAction* MenuAbout = nullptr;
    QAction* MenuHelp = nullptr;
    QMenu* PopupMenuMainFactors = nullptr;
    QMenu* PopupMenuNoise = nullptr;
    QMenu* PopupMenuAnttena = nullptr;

    // The table-built controls, by row of FactorTable / ResultTable.
    QScrollBar* FactorSlider(std::size_t row) const { return m_sliders.at(row); }
    QLabel* FactorValueLabel(std::size_t row) const { return m_valueLabels.at(row); }
    QLabel* ResultLabel(std::size_t row) const { return m_resultLabels.at(row); }

    // Start-up and shut-down of the run.
    void FormCreate();
    void StartUp();
    void ShutDown(); // a second call does nothing
    void ApplyColorScheme();
    void SetWindowCaption();

    // The slider path and the display.
    void ScrollBarRangeChange();
    void SlidersToFactors();
    void ShowAll();

    // Main menu.
    void Hardcopy1Click();
    void MenuAboutClick();
    void MenuHelpClick();
    // The help window, made once: after the first frame, or by the first
    // "Help" if that comes sooner.
    void CreateHelpForm();
    // What waits until the window's first frame is out, to keep the start-up
    // short: the window's icon (drawn from its SVG) and the help window.
    void FinishAfterFirstFrame();

    // Pop-up menu items: one prompt each, then recalculate and redisplay.
    void PopMenuRangeClick();
    void PopMenuFrequencyClick();
    void PopMenuTxPowerClick();
    void PopMenuBitRateClick();
    void MinEbNoDesired1Click();
    void PopLNANoiseFigureClick();
    void PopLNAGainClick();
    void PopRxNoiseFigureClick();
    void PopTxFeedLossClick();
    void PopTxAntGainClick();
    void PopWeatherClick();
    void PopPolarizationClick();
    void RxAntGain1Click();
    void PopRxFeedLossClick();

  signals:
    // The window has been let close (after ShutDown); the process entry ends
    // the message loop on it.
    void closed();

  protected:
    void closeEvent(QCloseEvent* event) override; // FormCloseQuery

  private:
    void createForm();
    void createPanels();
    void createFactorRows();
    void createResultRows();
    void createMenus();
    void connectSignals();
    void connectPromptItems();
    void connectPopupMenus();
    QFrame* panelOf(FactorPanel panel) const;
    QMenu* popupMenuOf(FactorPanel panel) const;
    QPoint framePosition() const;

    void ShowFactor(std::size_t row, int position, const std::string& valueText);
    void runPrompt(double ::LinkFactors::*field);

    std::array<QScrollBar*, kFactorCount> m_sliders{};
    std::array<QLabel*, kFactorCount> m_valueLabels{};
    std::array<QLabel*, kResultCount> m_resultLabels{};
    std::unique_ptr<TQuillstoneHelpForm> m_helpForm;
    bool m_shutDownDone = false;
};

// The one main window of the process, for the terminate handler.
extern TQuillstoneMainForm* QuillstoneMainForm;

// Run by the runtime when the process must end abnormally: alarm, log line,
// settings saved through ShutDown, then abort.
[[noreturn]] void TerminateHandler();
