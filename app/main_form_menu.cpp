// The main menu's actions.
#include "main_form.h"

void TQuillstoneMainForm::Hardcopy1Click() {}

void TQuillstoneMainForm::MenuAboutClick() {}

void TQuillstoneMainForm::MenuHelpClick() {}
