#pragma once
// One run of the design window in a private base directory (a GuiTestScope):
// numbers on the screen in the C locale unless the test sets another before
// starting it, the recent files in the directory's own settings, and the
// window's questions (unsaved changes, file names, failures) answered from a
// script and recorded.
#include "design_dialogs.h"
#include "design_window.h"
#include "gui_test_base.h"

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QSettings>
#include <QTest>

#include <deque>
#include <memory>

namespace testing_support {

class DesignRun {
  public:
    DesignRun() {
        QLocale::setDefault(QLocale::c());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, path("settings"));
        DesignDialogs dialogs;
        dialogs.askUnsaved = [this](QWidget*, const QString& name) {
            askedUnsaved << name;
            if (m_answers.empty())
                return UnsavedAnswer::Cancel;
            const UnsavedAnswer answer = m_answers.front();
            m_answers.pop_front();
            return answer;
        };
        dialogs.chooseFile = [this](QWidget*, const QString&, const QString& filter, const QString&,
                                    bool, QString* chosenFilter) {
            filtersOffered << filter;
            if (m_files.empty())
                return QString();
            const auto [name, picked] = m_files.front();
            m_files.pop_front();
            if (chosenFilter != nullptr && !picked.isEmpty())
                *chosenFilter = picked;
            return name;
        };
        dialogs.showError = [this](QWidget*, const QString& message) { errors << message; };
        SetDesignDialogs(dialogs);
    }
    ~DesignRun() {
        m_window.reset();
        SetDesignDialogs({});
        QLocale::setDefault(QLocale::c());
    }
    DesignRun(const DesignRun&) = delete;
    DesignRun& operator=(const DesignRun&) = delete;

    bool ready() const { return m_scope.base().ready(); }

    // A new window, shown; an earlier one is deleted first.
    DesignWindow* start() {
        m_window.reset();
        m_window = std::make_unique<DesignWindow>();
        m_window->show();
        return m_window.get();
    }
    DesignWindow* window() const { return m_window.get(); }

    // Answers of the questions to come, in order.
    void answerUnsaved(UnsavedAnswer answer) { m_answers.push_back(answer); }
    // `filter` is the filter picked in the dialog ("" leaves it at the first).
    void chooseFile(const QString& name, const QString& filter = QString()) {
        m_files.push_back({path(name), filter});
    }

    QString path(const QString& name) const {
        return QString::fromStdString(m_scope.base().path(name.toStdString()));
    }

    template <typename T> T* find(const QString& name) const {
        return m_window->findChild<T*>(name);
    }
    QLineEdit* field(const char* key) const { return find<QLineEdit>("Field" + QString(key)); }
    QString text(const QString& labelName) const {
        const QLabel* label = find<QLabel>(labelName);
        return label != nullptr ? label->text() : "<no label " + labelName + ">";
    }

    // Types into a field as a user does: all selected, the text keyed in,
    // then Return (which ends the edit).
    static void type(QWidget* widget, const QString& text, bool finish = true) {
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(widget, Qt::Key_Delete);
        QTest::keyClicks(widget, text);
        if (finish)
            QTest::keyClick(widget, Qt::Key_Return);
    }

    // Pastes a whole text into a field (one edit, no keystroke before it
    // complete), then Return.
    static void paste(QWidget* widget, const QString& text) {
        QGuiApplication::clipboard()->setText(text);
        widget->setFocus();
        QTest::keyClick(widget, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key_V, Qt::ControlModifier);
        QTest::keyClick(widget, Qt::Key_Return);
    }

    QStringList askedUnsaved;
    QStringList errors;
    QStringList filtersOffered; // every file dialog's filter, in order

  private:
    GuiTestScope m_scope; // goes after the window
    std::deque<UnsavedAnswer> m_answers;
    std::deque<std::pair<QString, QString>> m_files;
    std::unique_ptr<DesignWindow> m_window;
};

} // namespace testing_support
