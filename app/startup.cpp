// Opening and closing a run: StartUp from the window's creation, ShutDown
// from its close query and from the terminate handler.
#include "main_form.h"

#include "app_context.h"
#include "link_calculation.h"
#include "program_log.h"
#include "program_run.h"
#include "speaker.h"

#include <QCloseEvent>

#include <chrono>
#include <cstdlib>
#include <exception>
#include <thread>

namespace {

// Lets anything still reacting to the last slider move settle before the
// settings are taken (ms).
constexpr std::chrono::milliseconds kShutDownWait{50};

} // namespace

void TQuillstoneMainForm::StartUp() {
    ProgramStart(0, kVersionText, kProgramName, kLogSubdirectory, kProgramName);
    std::set_terminate(TerminateHandler);
    ApplyColorScheme();
    SetDefaultFactors(LinkFactors);
    LinkResults = ::LinkResults{};
    Updating = false;
    HardcopyCount = 0;
    SettingsPath = MakeSettingsPath(AppContext().BaseDirectory);
    // The window is not shown yet, so it opens where the file says.
    const QPoint at = framePosition();
    Position = {at.x(), at.y()};
    LoadLinkSettings(SettingsPath, LinkFactors, Position);
    move(Position.x, Position.y);
    SetWindowCaption();
    CalculateLink(LinkFactors, LinkResults);
    ShowAll();
}

QPoint TQuillstoneMainForm::framePosition() const {
    // For a window, pos() is the top-left corner of its outer frame.
    return pos();
}

void TQuillstoneMainForm::ShutDown() {
    if (m_shutDownDone) {
        return;
    }
    m_shutDownDone = true;
    AppContext().ShuttingDown = 1;
    std::this_thread::sleep_for(kShutDownWait);
    const QPoint at = framePosition();
    Position = {at.x(), at.y()};
    SaveLinkSettings(SettingsPath, LinkFactors, Position);
    ProgramEnd(0);
}

void TQuillstoneMainForm::closeEvent(QCloseEvent* event) {
    ShutDown();
    event->accept();
    emit closed();
}

void TerminateHandler() {
    // A failure inside the handler must not bring it back.
    static bool running = false;
    if (!running) {
        running = true;
        SpeakerAlarm();
        LogMessage("Abnormal Program Termination", kLogAbnormalEnd);
        if (QuillstoneMainForm != nullptr) {
            QuillstoneMainForm->ShutDown();
        }
    }
    std::abort();
}
