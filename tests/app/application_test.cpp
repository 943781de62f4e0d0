// The application's standard exception display: a GuiError that escapes an
// event handler is shown and the program goes on; nothing else is caught.
#include "gui_error.h"
#include "quillstone_application.h"

#include <QEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <stdexcept>
#include <string>
#include <vector>

namespace {

const QEvent::Type kThrowGuiError = static_cast<QEvent::Type>(QEvent::User + 1);
const QEvent::Type kThrowOther = static_cast<QEvent::Type>(QEvent::User + 2);
const QEvent::Type kCount = static_cast<QEvent::Type>(QEvent::User + 3);

class Thrower : public QObject {
  public:
    int counted = 0;

  protected:
    bool event(QEvent* event) override {
        if (event->type() == kThrowGuiError) {
            throw GuiError("Cannot write QuillstoneHdcpy_0001.jpg");
        }
        if (event->type() == kThrowOther) {
            throw std::runtime_error("not a GUI error");
        }
        if (event->type() == kCount) {
            ++counted;
            return true;
        }
        return QObject::event(event);
    }
};

} // namespace

class ApplicationTest : public QObject {
    Q_OBJECT
  private slots:
    void init() {
        m_shown.clear();
        SetExceptionDisplay([this](const std::string& message) { m_shown.push_back(message); });
    }

    void cleanup() { SetExceptionDisplay({}); }

    void guiErrorFromAnEventIsShownAndTheLoopGoesOn() {
        Thrower thrower;
        QCoreApplication::postEvent(&thrower, new QEvent(kThrowGuiError));
        QCoreApplication::postEvent(&thrower, new QEvent(kCount));
        QCoreApplication::postEvent(&thrower, new QEvent(kThrowGuiError));
        QCoreApplication::postEvent(&thrower, new QEvent(kCount));
        QCoreApplication::sendPostedEvents(&thrower);
        QCOMPARE(m_shown, (std::vector<std::string>{"Cannot write QuillstoneHdcpy_0001.jpg",
                                                    "Cannot write QuillstoneHdcpy_0001.jpg"}));
        QCOMPARE(thrower.counted, 2);
    }

    void guiErrorFromAClickHandlerIsShown() {
        QPushButton button(QStringLiteral("Hardcopy"));
        int clicks = 0;
        QObject::connect(&button, &QPushButton::clicked, [&clicks] {
            if (++clicks == 1) {
                throw GuiError("first click fails");
            }
        });
        button.show();
        QVERIFY(QTest::qWaitForWindowExposed(&button));
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(m_shown, std::vector<std::string>{"first click fails"});
        QTest::mouseClick(&button, Qt::LeftButton);
        QCOMPARE(clicks, 2);
        QCOMPARE(m_shown.size(), std::size_t{1});
    }

    void otherExceptionsAreNotCaught() {
        Thrower thrower;
        QEvent event(kThrowOther);
        bool escaped = false;
        try {
            QCoreApplication::sendEvent(&thrower, &event);
        } catch (const std::runtime_error&) {
            escaped = true;
        }
        QVERIFY(escaped);
        QVERIFY(m_shown.empty());
    }

    void defaultDisplayIsAMessageBox() {
        SetExceptionDisplay({});
        QString text;
        QString title;
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        // Answers the box from inside its own event loop.
        QTimer::singleShot(0, [&] {
            for (QWidget* widget : QApplication::topLevelWidgets()) {
                auto* box = qobject_cast<QMessageBox*>(widget);
                if (box != nullptr && box->isVisible()) {
                    text = box->text();
                    title = box->windowTitle();
                    icon = box->icon();
                    box->accept();
                }
            }
        });
        ShowException("The file cannot be written");
        QCOMPARE(text, QStringLiteral("The file cannot be written"));
        QCOMPARE(title, QStringLiteral("Quillstone"));
        QCOMPARE(icon, QMessageBox::Critical);
    }

  private:
    std::vector<std::string> m_shown;
};

int main(int argc, char** argv) {
    QuillstoneApplication application(argc, argv);
    ApplicationTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "application_test.moc"
