// The About box: its texts and layout, and "View Logs" with a stand-in viewer
// script, with the viewer only in the development folder, and with none.
#include "about_box.h"
#include "error_log.h"
#include "gui_test_base.h"
#include "process.h"

#include <QGuiApplication>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cerrno>
#include <functional>
#include <memory>
#include <signal.h>
#include <unistd.h>

namespace {

const QString kLogFolder = "SYSTEM/ERLOGS";
const QString kFirstMissing =
    "Could Not Find Wexalor.exe.  Looking in Debug Directory.  BUILD ERROR FOR INSTALL.";

bool processGone(pid_t pid) {
    return pid > 0 && ::kill(pid, 0) == -1 && errno == ESRCH;
}

QLabel* label(const QWidget& box, const char* name) {
    return box.findChild<QLabel*>(name);
}

QPushButton* button(const QWidget& box, const char* name) {
    return box.findChild<QPushButton*>(name);
}

} // namespace

class AboutBoxTest : public QObject {
    Q_OBJECT

  private:
    testing_support::GuiTestBase m_base;

    // A stand-in viewer: writes its argument count and arguments to a file
    // named after its process id, then waits to be ended.
    bool writeViewer(const QString& relative, bool executable = true) {
        const std::string dir = m_base.Dir().toStdString();
        return testing_support::WriteScript(
                   m_base.StdPath(relative),
                   "printf '%s\\n' \"$#\" \"$@\" > \"" + dir + "/viewer-$$.tmp\"\nmv \"" + dir +
                       "/viewer-$$.tmp\" \"" + dir + "/viewer-$$.txt\"\nexec sleep 60\n") &&
               (executable ||
                QFile::setPermissions(m_base.Path(relative), QFile::ReadOwner | QFile::WriteOwner));
    }

    QByteArray viewerArguments(pid_t pid) const {
        return m_base.ReadFile(QString("viewer-%1.txt").arg(pid));
    }

    bool viewerWrote(pid_t pid) const {
        return QFileInfo::exists(m_base.Path(QString("viewer-%1.txt").arg(pid)));
    }

    // The program log in its usual place, as the run's start makes it.
    QString openProgramLog(const QString& path) {
        AppContext().ProgramLog = std::make_unique<ErrorLog>(path.toLocal8Bit().constData());
        return path;
    }

    QStringList logTexts(const QString& path) const {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            return {"<no log>"};
        static const QRegularExpression line(R"(^(\d{6})  \d{3}:\d\d:\d\d:\d\d\.\d{6}  (.*)$)");
        QStringList texts;
        for (const QByteArray& raw : file.readAll().split('\n')) {
            if (raw.isEmpty())
                continue;
            const auto match = line.match(QString::fromLocal8Bit(raw));
            texts << (match.hasMatch() ? match.captured(1) + "|" + match.captured(2)
                                       : "<malformed> " + QString::fromLocal8Bit(raw));
        }
        return texts;
    }

    // Runs the modal box of the "About" command; `whileOpen` runs inside its
    // loop and must close it. A box still open after that is closed with 99.
    int runModal(TPelKorAboutBoxForm& box, const QString& comments,
                 const std::function<void()>& whileOpen) {
        bool ranWhileOpen = false;
        QTimer::singleShot(0, &box, [&] {
            ranWhileOpen = box.isVisible() && box.isModal();
            whileOpen();
            if (box.isVisible())
                box.done(99);
        });
        box.ShowAboutBox("Quillstone", "2.01", "Quillstone", "/SYSTEM/ERLOGS/", comments);
        return ranWhileOpen ? box.result() : -1;
    }

  private slots:
    void init() {
        QVERIFY(m_base.Open(testing_support::GuiTestBase::Mode::Present));
        SetDevelopmentViewerPath(m_base.StdPath("nowhere/Wexalor.exe"));
    }
    void cleanup() {
        StopProgram(ViewerProcess);
        SetDevelopmentViewerPath("");
        m_base.Close();
    }

    void textsShownAndOkCloses_data() {
        QTest::addColumn<QString>("comments"); // empty: their label is hidden
        QTest::newRow("comments") << "Link Budget";
        QTest::newRow("no comments") << "";
    }
    // Centred on the screen, with the given texts; OK closes it.
    void textsShownAndOkCloses() {
        QFETCH(QString, comments);
        QVERIFY(m_base.MakeDir(kLogFolder));
        const QString log = openProgramLog(m_base.Path(kLogFolder + "/Quillstone.Log"));
        QWidget owner; // far from the centre: the box does not follow it
        owner.setGeometry(10, 10, 200, 100);
        owner.show();
        TPelKorAboutBoxForm box(&owner);
        QMap<QString, QString> texts;
        bool commentsVisible = false, versionVisible = false;
        QPoint at;
        const int result = runModal(box, comments, [&] {
            at = box.frameGeometry().topLeft();
            for (const char* name : {"ProductName", "Version", "Copyright", "LabelAddress",
                                     "LabelPhone", "LabelWeb", "LabelComments"})
                texts[name] = label(box, name)->text();
            commentsVisible = label(box, "LabelComments")->isVisible();
            versionVisible = label(box, "Version")->isVisible();
            QTest::mouseClick(button(box, "OKButton"), Qt::LeftButton);
        });

        QCOMPARE(result, 1);
        const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
        QVERIFY(screen.width() > 400 && screen.height() > 300); // offscreen: 800 x 800
        QCOMPARE(at, screen.topLeft() +
                         QPoint((screen.width() - 298) / 2, (screen.height() - 213) / 2));
        QCOMPARE(texts["ProductName"], QString("Quillstone"));
        QCOMPARE(texts["Version"], QString("Version 2.01"));
        QVERIFY(versionVisible);
        QCOMPARE(commentsVisible, !comments.isEmpty());
        if (!comments.isEmpty())
            QCOMPARE(texts["LabelComments"], "Comments : " + comments);
        // Filled in, not left at the designer's placeholder (the control's name).
        for (const char* name : {"Copyright", "LabelAddress", "LabelPhone", "LabelWeb"})
            QVERIFY2(!texts[name].isEmpty() && texts[name] != name, name);
        QVERIFY(texts["LabelPhone"].contains("555-01")); // numbers kept for fiction
        QVERIFY(texts["LabelWeb"].endsWith(".example"));

        // Nothing else happens.
        QCOMPARE(ViewerProcess.process, pid_t(0));
        QCOMPARE(logTexts(log), QStringList());
        QCOMPARE(m_base.ToneStarts(), 0);
    }

    void layoutAsDesigned() {
        TPelKorAboutBoxForm box(nullptr);
        QCOMPARE(box.windowTitle(), QString("About"));
        QCOMPARE(box.minimumSize(), QSize(298, 213));
        QCOMPARE(box.maximumSize(), QSize(298, 213));
        QVERIFY(box.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(box.windowFlags() & Qt::WindowCloseButtonHint));

        QWidget* panel = box.findChild<QWidget*>("Panel1");
        QVERIFY(panel != nullptr);
        QCOMPARE(panel->geometry(), QRect(8, 8, 281, 161));
        struct Place {
            const char* name;
            QWidget* parent;
            QRect geometry; // width 0: sized to its contents
        };
        const Place places[] = {
            {"ProgramIcon", panel, {8, 8, 65, 57}},       {"ProductName", panel, {80, 8, 0, 0}},
            {"Version", panel, {80, 26, 0, 0}},           {"Copyright", panel, {80, 44, 0, 0}},
            {"LabelAddress", panel, {8, 74, 0, 0}},       {"LabelPhone", panel, {8, 91, 0, 0}},
            {"LabelWeb", panel, {8, 107, 0, 0}},          {"LabelComments", panel, {8, 124, 0, 0}},
            {"ButtonWexalor", panel, {214, 136, 61, 18}}, {"OKButton", &box, {117, 182, 75, 25}},
        };
        for (const Place& p : places) {
            auto* w = box.findChild<QWidget*>(p.name);
            QVERIFY2(w != nullptr, p.name);
            QCOMPARE(w->parentWidget(), p.parent);
            if (p.geometry.width() > 0)
                QCOMPARE(w->geometry(), p.geometry);
            else
                QCOMPARE(w->pos(), p.geometry.topLeft());
        }
        QCOMPARE(button(box, "ButtonWexalor")->text(), QString("View Logs"));
        QCOMPARE(button(box, "OKButton")->text(), QString("OK"));
        for (const char* name : {"ButtonWexalor", "OKButton"})
            QVERIFY(!button(box, name)->isDefault() && !button(box, name)->autoDefault());

        // Tab order: View Logs, then OK.
        QWidget* next = button(box, "ButtonWexalor")->nextInFocusChain();
        while (next != nullptr && !(next->focusPolicy() & Qt::TabFocus))
            next = next->nextInFocusChain();
        QCOMPARE(next, button(box, "OKButton"));

        // The logo is a picture, not a blank.
        const QImage logo = label(box, "ProgramIcon")->pixmap().toImage();
        QVERIFY(!logo.isNull());
        QVERIFY(label(box, "ProgramIcon")->hasScaledContents());
        QSet<QRgb> colours;
        for (int y = 0; y < logo.height(); y += 4)
            for (int x = 0; x < logo.width(); x += 4)
                colours.insert(logo.pixel(x, y));
        QVERIFY(colours.size() > 5);
    }

    void keysPressTheFocusedButtonOnly_data() {
        QTest::addColumn<QString>("focused");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("result");     // 99: still open afterwards
        QTest::addColumn<int>("viewerRuns"); // clicks on "View Logs"
        QTest::newRow("Enter on OK") << "OKButton" << int(Qt::Key_Return) << 1 << 0;
        QTest::newRow("keypad Enter on OK") << "OKButton" << int(Qt::Key_Enter) << 1 << 0;
        QTest::newRow("Space on OK") << "OKButton" << int(Qt::Key_Space) << 1 << 0;
        QTest::newRow("Enter on View Logs") << "ButtonWexalor" << int(Qt::Key_Return) << 99 << 1;
        QTest::newRow("Space on View Logs") << "ButtonWexalor" << int(Qt::Key_Space) << 99 << 1;
        QTest::newRow("Escape") << "OKButton" << int(Qt::Key_Escape) << 99 << 0;
    }
    void keysPressTheFocusedButtonOnly() {
        QFETCH(QString, focused);
        QFETCH(int, key);
        QFETCH(int, result);
        QFETCH(int, viewerRuns);
        TPelKorAboutBoxForm box(nullptr);
        QPushButton* target = button(box, qPrintable(focused));
        QSignalSpy viewLogs(button(box, "ButtonWexalor"), &QPushButton::clicked);
        QCOMPARE(runModal(box, "Link Budget",
                          [&] {
                              target->setFocus();
                              QTest::keyClick(target, Qt::Key(key));
                          }),
                 result);
        QCOMPARE(viewLogs.count(), viewerRuns);
    }

    void viewLogsStartsOneViewerAtATime() {
        QVERIFY(m_base.MakeDir(kLogFolder));
        const QString log = openProgramLog(m_base.Path(kLogFolder + "/Quillstone.Log"));
        QVERIFY(writeViewer("Wexalor.exe"));
        TPelKorAboutBoxForm box(nullptr);
        box.show();

        QTest::mouseClick(button(box, "ButtonWexalor"), Qt::LeftButton);
        const pid_t first = ViewerProcess.process;
        QVERIFY(first > 0); // its arguments: viewerIsGivenTheLogsFullPath

        QTest::mouseClick(button(box, "ButtonWexalor"), Qt::LeftButton);
        const pid_t second = ViewerProcess.process;
        QVERIFY(second > 0 && second != first);
        QVERIFY(processGone(first));
        QVERIFY(!processGone(second));

        box.close();
        QCOMPARE(ViewerProcess.process, pid_t(0));
        QVERIFY(processGone(second));
        // Found in the current directory: no alarm and no log line.
        QCOMPARE(m_base.ToneStarts(), 0);
        QCOMPARE(logTexts(log), QStringList());
    }

    void viewerIsGivenTheLogsFullPath_data() {
        QTest::addColumn<bool>("logFolder");
        QTest::addColumn<QString>("programLog"); // "": no program log (before the run starts)
        QTest::addColumn<QString>("expected");   // relative to the base directory

        QTest::newRow("log in its folder") << true << "*/SYSTEM/ERLOGS/Quillstone.Log"
                                           << "SYSTEM/ERLOGS/Quillstone.Log";
        QTest::newRow("log under its relative name") << false << "Quillstone.Log"
                                                     << "Quillstone.Log";
        QTest::newRow("no log yet, folder present") << true << ""
                                                    << "SYSTEM/ERLOGS/Quillstone.Log";
        QTest::newRow("no log yet, no folder") << false << ""
                                               << "Quillstone.Log";
    }
    void viewerIsGivenTheLogsFullPath() {
        QFETCH(bool, logFolder);
        QFETCH(QString, programLog);
        QFETCH(QString, expected);

        if (logFolder)
            QVERIFY(m_base.MakeDir(kLogFolder));
        if (!programLog.isEmpty())
            openProgramLog(programLog.replace("*", m_base.Dir()));
        QVERIFY(writeViewer("Wexalor.exe"));

        TPelKorAboutBoxForm box(nullptr);
        pid_t viewer = 0;
        bool wrote = false;
        runModal(box, "Link Budget", [&] {
            QTest::mouseClick(button(box, "ButtonWexalor"), Qt::LeftButton);
            viewer = ViewerProcess.process;
            wrote = viewer > 0 && QTest::qWaitFor([&] { return viewerWrote(viewer); });
            QTest::mouseClick(button(box, "OKButton"), Qt::LeftButton);
        });
        QVERIFY(wrote);
        QCOMPARE(viewerArguments(viewer), "1\n" + m_base.Path(expected).toLocal8Bit() + "\n");
        // The viewer ends when the box closes.
        QCOMPARE(ViewerProcess.process, pid_t(0));
        QVERIFY(processGone(viewer));
    }

    void viewerOnlyInTheDevelopmentFolder_data() {
        QTest::addColumn<int>("copyHere");    // 0 none, 1 not executable, 2 another user's
        QTest::addColumn<QString>("refusal"); // the line saying why it was not run
        QTest::newRow("none in the current directory") << 0 << "";
        QTest::newRow("one here that cannot run") << 1 << "";
        QTest::newRow("one here of another user")
            << 2
            << "000001|    .... Will not run ./Wexalor.exe  because it belongs to another user.";
    }
    void viewerOnlyInTheDevelopmentFolder() {
        QFETCH(int, copyHere);
        QFETCH(QString, refusal);
        const QString log = openProgramLog(m_base.Path("Quillstone.Log"));
        if (copyHere != 0) {
            QVERIFY(writeViewer("Wexalor.exe", copyHere == 2));
            QCOMPARE(QFileInfo(m_base.Path("Wexalor.exe")).isExecutable(), copyHere == 2);
        }
        if (copyHere == 2) // planted: runnable, but not by the user or root
            QCOMPARE(::chown(m_base.StdPath("Wexalor.exe").c_str(), 65534, gid_t(-1)), 0);
        QVERIFY(m_base.MakeDir("dev"));
        QVERIFY(writeViewer("dev/Wexalor.exe"));
        SetDevelopmentViewerPath(m_base.StdPath("dev/Wexalor.exe"));

        TPelKorAboutBoxForm box(nullptr);
        box.show();
        box.ButtonWexalorClick();
        const pid_t viewer = ViewerProcess.process;
        QVERIFY(viewer > 0);
        QTRY_VERIFY(viewerWrote(viewer));
        QCOMPARE(viewerArguments(viewer), "1\n" + log.toLocal8Bit() + "\n");
        QCOMPARE(logTexts(log), (refusal.isEmpty() ? QStringList{} : QStringList{refusal}) +
                                    QStringList{"000001|" + kFirstMissing});
        QCOMPARE(m_base.ToneStarts(), 4); // one alarm: two pairs of two tones
        box.close();
        QVERIFY(processGone(viewer));
    }

    void viewerNowhere() {
        const QString log = openProgramLog(m_base.Path("Quillstone.Log"));
        const QString missing = m_base.Path("nowhere/Wexalor.exe");
        const QStringList twoLines{"000001|" + kFirstMissing, "000001|Could Not Find Debug  " +
                                                                  missing +
                                                                  ".  Cannot View Log Files"};
        TPelKorAboutBoxForm box(nullptr);
        box.show();

        QTest::mouseClick(button(box, "ButtonWexalor"), Qt::LeftButton);
        QCOMPARE(ViewerProcess.process, pid_t(0));
        QCOMPARE(logTexts(log), twoLines);
        QCOMPARE(m_base.ToneStarts(), 8); // two alarms
        QVERIFY(box.isVisible());         // the box stays open

        QTest::mouseClick(button(box, "ButtonWexalor"), Qt::LeftButton); // and may be pressed again
        QCOMPARE(logTexts(log), twoLines + twoLines);
        QCOMPARE(m_base.ToneStarts(), 16);
    }
};

QTEST_MAIN(AboutBoxTest)
#include "about_box_test.moc"
