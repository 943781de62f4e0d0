#include "prompts.h"

#include "number_parse.h"
#include "number_text.h"
#include "speaker.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QString>

#include <utility>

namespace {

// Longest number text in the default text and in the title, in characters.
constexpr int kNumberPrecision = 16;

// OK gives the edited text; Cancel, or closing the dialog, the default text.
std::string askWithQt(const std::string& title, const std::string& prompt,
                      const std::string& defaultText) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        QApplication::activeWindow(), QString::fromStdString(title), QString::fromStdString(prompt),
        QLineEdit::Normal, QString::fromStdString(defaultText), &ok);
    return ok ? text.toStdString() : defaultText;
}

InputDialog& currentDialog() {
    static InputDialog dialog;
    return dialog;
}

std::string askForText(const std::string& title, const std::string& prompt,
                       const std::string& defaultText) {
    const InputDialog& dialog = currentDialog();
    return dialog ? dialog(title, prompt, defaultText) : askWithQt(title, prompt, defaultText);
}

// The prompt shows its numbers with the user's decimal separator, so a value
// typed with that separator is read as well: "10,5" is 10.5 where the user
// writes decimal commas. Where the separator is a full stop nothing changes,
// and a comma stays what it is there: not part of a number.
bool readTypedNumber(std::string text, double& value) {
    const std::string& separator = DecimalSeparator();
    if (separator != ".") {
        for (auto at = text.find(separator); at != std::string::npos;
             at = text.find(separator, at + 1)) {
            text.replace(at, separator.size(), ".");
        }
    }
    return ParseNumber(text, value);
}

} // namespace

void SetInputDialog(InputDialog dialog) {
    currentDialog() = std::move(dialog);
}

bool PromptForValue(const std::string& promptText, double& value, int decimals, double low,
                    double high) {
    const std::string defaultText = FormatFixed(kNumberPrecision, decimals, value);
    const std::string title = "Input Value between " +
                              FormatFixed(kNumberPrecision, decimals, low) + " & " +
                              FormatFixed(kNumberPrecision, decimals, high);
    const std::string text = askForText(title, promptText, defaultText);

    double result = value;
    if (text != defaultText) {
        if (!readTypedNumber(text, result)) {
            return false;
        }
    }
    // Also when the text was left alone: a current value outside the bounds
    // is limited to them, with the warning cue.
    if (!InRange(result, low, high)) {
        SpeakerChirp();
        result = ClampToRange(low, high, result);
    }
    value = result;
    return true;
}
