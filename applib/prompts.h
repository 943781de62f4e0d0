#pragma once
// The value prompt: a modal input dialog with the value as its default text
// and the accepted range in its title.
#include <functional>
#include <string>

// The platform's input dialog: returns the edited text on OK and the default
// text unchanged on Cancel.
using InputDialog = std::function<std::string(const std::string& title, const std::string& prompt,
                                              const std::string& defaultText)>;
// Tests install their own; an empty function restores QInputDialog::getText.
void SetInputDialog(InputDialog dialog);

// True when accepted (the value may have been replaced, and limited to the
// bounds with the warning cue); false when the text is not a number.
bool PromptForValue(const std::string& promptText, double& value, int decimals, double low,
                    double high);
