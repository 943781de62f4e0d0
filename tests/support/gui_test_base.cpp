#include "gui_test_base.h"

#include "about_box.h"
#include "gui_error.h"
#include "prompts.h"

#include <QApplication>
#include <QDialog>
#include <QTest>

namespace testing_support {

namespace {

constexpr std::chrono::milliseconds kPollInterval{20};

} // namespace

GuiSeamGuard::~GuiSeamGuard() {
    SetInputDialog({});
    SetExceptionDisplay({});
    SetDevelopmentViewerPath("");
}

ModalWatchdog::ModalWatchdog(Report report, std::chrono::milliseconds grace)
    : m_report(std::move(report)), m_grace(grace) {
    if (!m_report)
        m_report = [](const QString& what) {
            QTest::qFail(qPrintable("unexpected modal dialog: " + what), __FILE__, __LINE__);
        };
    m_timer.setInterval(kPollInterval);
    QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
    m_timer.start();
}

void ModalWatchdog::poll() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal != m_open) {
        m_open = modal;
        m_openPolls = 0;
        return;
    }
    if (modal == nullptr || ++m_openPolls * kPollInterval < m_grace)
        return;
    const QString what =
        QString("%1 '%2'").arg(modal->metaObject()->className(), modal->windowTitle());
    m_closed << what;
    m_open = nullptr;
    m_report(what);
    if (auto* dialog = qobject_cast<QDialog*>(modal))
        dialog->reject();
    else
        modal->close();
}

} // namespace testing_support
