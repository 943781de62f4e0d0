#pragma once
// One run of the main window in a private base directory (a GuiTestScope):
// the hardware driver is simulated as absent (the speaker stays mute), the
// input dialog answers from a script and the exception display records
// instead of opening a message box.
#include "app_context.h"
#include "gui_error.h"
#include "gui_test_base.h"
#include "link_calculation.h"
#include "main_form.h"
#include "number_text.h"
#include "prompts.h"
#include "sample_settings.h"
#include "simulated_driver.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QScrollBar>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// The file a run that kept the defaults and did not move the window writes.
inline const QByteArray kSampleSettings = kSampleSettingsText;

struct AskedPrompt {
    std::string title;
    std::string prompt;
    std::string defaultText;
};

class FormRun {
  public:
    // Numbers on the screen in the C locale unless the test sets another
    // after making the run; put back when the run goes.
    FormRun() {
        QLocale::setDefault(QLocale::c());
        platform::SetDriverBackend(
            std::make_shared<platform::SimulatedDriver>(platform::SimulatedDriver::Mode::Absent));
        SetInputDialog([this](const std::string& title, const std::string& prompt,
                              const std::string& defaultText) {
            asked.push_back({title, prompt, defaultText});
            if (m_answers.empty()) {
                ++unexpectedPrompts;
                return defaultText;
            }
            const std::optional<std::string> answer = m_answers.front();
            m_answers.pop_front();
            return answer ? *answer : defaultText; // nullopt: Cancel
        });
        SetExceptionDisplay([this](const std::string& message) { shownErrors.push_back(message); });
    }

    ~FormRun() { QLocale::setDefault(QLocale::c()); }
    FormRun(const FormRun&) = delete;
    FormRun& operator=(const FormRun&) = delete;

    bool ready() const { return m_scope.base().ready(); }

    // A new main window: the whole start-up runs. An earlier one is deleted.
    TQuillstoneMainForm* start() {
        m_form.reset();
        m_form = std::make_unique<TQuillstoneMainForm>();
        return m_form.get();
    }
    TQuillstoneMainForm* form() const { return m_form.get(); }
    bool closeForm() { return m_form->close(); }

    // Script of the input dialog: each prompt takes the next answer.
    void type(const std::string& text) { m_answers.emplace_back(text); }
    void cancel() { m_answers.emplace_back(std::nullopt); }

    // Types `text` into the prompt of a pop-up item.
    void prompt(const char* menuItem, const std::string& text) {
        type(text);
        action(menuItem)->trigger();
    }

    QString path(const QString& name) const {
        return QString::fromStdString(m_scope.base().path(name.toStdString()));
    }
    void writeFile(const QString& name, const QByteArray& bytes) const {
        WriteAll(path(name).toStdString(), bytes.toStdString());
    }
    QByteArray readFile(const QString& name) const {
        return QByteArray::fromStdString(ReadAll(path(name).toStdString()));
    }
    bool exists(const QString& name) const { return QFile::exists(path(name)); }

    template <typename T> T* find(const char* name) const {
        return m_form->findChild<T*>(QString::fromLatin1(name));
    }
    QLabel* label(const char* name) const { return find<QLabel>(name); }
    QScrollBar* slider(const char* name) const { return find<QScrollBar>(name); }
    QAction* action(const char* name) const { return find<QAction>(name); }
    QString text(const char* labelName) const {
        QLabel* l = label(labelName);
        return l != nullptr ? l->text() : QStringLiteral("<no label %1>").arg(labelName);
    }

    std::vector<AskedPrompt> asked;
    std::vector<std::string> shownErrors;
    int unexpectedPrompts = 0;

  private:
    GuiTestScope m_scope; // goes after the window
    std::deque<std::optional<std::string>> m_answers;
    std::unique_ptr<TQuillstoneMainForm> m_form;
};

// Texts of the fourteen value labels and of the nine result labels, in table order.
inline QStringList valueTexts(const FormRun& run) {
    QStringList texts;
    for (const FactorRow& row : FactorTable) {
        texts << run.text(row.valueLabel);
    }
    return texts;
}

inline QStringList resultTexts(const FormRun& run) {
    QStringList texts;
    for (const ResultRow& row : ResultTable) {
        texts << run.text(row.label);
    }
    return texts;
}

inline QStringList sliderPositions(const FormRun& run) {
    QStringList positions;
    for (const FactorRow& row : FactorTable) {
        positions << QString::number(run.slider(row.slider)->value());
    }
    return positions;
}

// The window's pop-up menu that is open, or none.
inline QMenu* visibleMenu(const QWidget* form) {
    for (QMenu* menu : form->findChildren<QMenu*>()) {
        if (menu->isVisible()) {
            return menu;
        }
    }
    return nullptr;
}

} // namespace testing_support

// A FormRun named `run` in a Qt Test function, which fails at once when the
// run's base directory cannot be made.
#define FORM_RUN(run)                                                                              \
    testing_support::FormRun run;                                                                  \
    QVERIFY(run.ready())
