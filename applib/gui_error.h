#pragma once
// The program's GUI error: raised by GUI operations that cannot complete (a
// hardcopy file that cannot be written) and shown by the application's
// standard exception display, after which the program goes on.
#include <functional>
#include <stdexcept>
#include <string>

class GuiError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// The standard exception display: a message box with the error's text.
// Tests install their own to see what would be shown without a modal box.
using ExceptionDisplay = std::function<void(const std::string& message)>;
void SetExceptionDisplay(ExceptionDisplay display); // empty: the message box again
void ShowException(const std::string& message);
