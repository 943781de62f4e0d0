// The value prompt with the real input dialog, driven through its widgets.
#include "gui_test_base.h"
#include "number_text.h"
#include "prompts.h"
#include "simulated_driver.h"

#include <QApplication>
#include <QInputDialog>
#include <QTimer>
#include <QtTest>

#include <memory>
#include <optional>

namespace {

enum class Action { Ok, Cancel, Close };

// What the dialog showed when it was found.
struct Seen {
    bool found = false;
    QString title, label, text;
};

// Finds the modal input dialog once it is up, notes what it shows, types
// `typed` and ends it by `action`; the watchdog closes any other modal dialog
// and fails the test. Stops with the scope that owns it.
class DialogAnswerer {
  public:
    DialogAnswerer(const QString& typed, Action action) : m_typed(typed), m_action(action) {
        m_timer.setInterval(20);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }
    const Seen& seen() const { return m_seen; }

  private:
    void poll() {
        auto* dialog = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr)
            return;
        m_timer.stop();
        m_seen = {true, dialog->windowTitle(), dialog->labelText(), dialog->textValue()};
        dialog->setTextValue(m_typed);
        switch (m_action) {
        case Action::Ok:
            dialog->accept();
            break;
        case Action::Cancel:
            dialog->reject();
            break;
        case Action::Close:
            dialog->close();
            break;
        }
    }

    QTimer m_timer;
    QString m_typed;
    Action m_action;
    Seen m_seen;
};

} // namespace

Q_DECLARE_METATYPE(Action)

class PromptDialogTest : public QObject {
    Q_OBJECT

    std::optional<testing_support::GuiTestScope> m_scope;

  private slots:
    void init() {
        m_scope.emplace();
        platform::SetDriverBackend(
            std::make_shared<platform::SimulatedDriver>(platform::SimulatedDriver::Mode::Absent));
    }
    void cleanup() { m_scope.reset(); }

    void answers_data() {
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<double>("result");
        QTest::newRow("ok gives the edited text") << Action::Ok << "25.5" << true << 25.5;
        QTest::newRow("cancel gives the default text") << Action::Cancel << "25.5" << true << 10.0;
        QTest::newRow("closing gives the default text") << Action::Close << "25.5" << true << 10.0;
    }
    void answers() {
        QFETCH(Action, action);
        QFETCH(QString, typed);
        QFETCH(bool, accepted);
        QFETCH(double, result);

        DialogAnswerer answerer(typed, action);
        double value = 10.0;
        QCOMPARE(PromptForValue("Enter the range (miles)", value, 1, 0.1, 10000), accepted);
        const Seen& seen = answerer.seen();
        QVERIFY(seen.found);
        QCOMPARE(seen.title, QString("Input Value between 0.1 & 10000.0"));
        QCOMPARE(seen.label, QString("Enter the range (miles)"));
        QCOMPARE(seen.text, QString("10.0"));
        QCOMPARE(value, result);
    }
};

QTEST_MAIN(PromptDialogTest)
#include "prompt_dialog_test.moc"
