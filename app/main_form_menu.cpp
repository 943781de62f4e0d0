// The main menu's actions.
#include "main_form.h"

#include "about_box.h"
#include "gui_error.h"
#include "hardcopy.h"
#include "help_form.h"
#include "program_icon.h"

#include <memory>

void TQuillstoneMainForm::Hardcopy1Click() {
    // A hardcopy that cannot be written ends the command; the application's
    // exception display shows why, and the run goes on.
    try {
        SaveHardcopy(PanelScreen, HardcopyImage, HardcopyCount);
    } catch (const GuiError& error) {
        ShowException(error.what());
    }
}

void TQuillstoneMainForm::MenuAboutClick() {
    // A new box for every "About", owned by this window, gone once it closes.
    auto box = std::make_unique<TPelKorAboutBoxForm>(this);
    box->ShowAboutBox(kProgramName, kVersionText, kProgramName, kLogSubdirectory, "Link Budget");
}

void TQuillstoneMainForm::CreateHelpForm() {
    if (QuillstoneHelpForm == nullptr) {
        m_helpForm = std::make_unique<TQuillstoneHelpForm>();
        QuillstoneHelpForm = m_helpForm.get();
    }
}

void TQuillstoneMainForm::FinishAfterFirstFrame() {
    setWindowIcon(ProgramIcon());
    CreateHelpForm();
}

void TQuillstoneMainForm::MenuHelpClick() {
    CreateHelpForm();
    QuillstoneHelpForm->ShowAndRaise();
}
