// The main menu's "Hardcopy", "About" and "Help" on the real main window.
#include "about_box.h"
#include "form_fixture.h"
#include "help_form.h"
#include "jpeg_probe.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSaveFile>
#include <QTest>
#include <QTimer>

class MainFormMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void hardcopyOfTheRealPanel() {
        FORM_RUN(run);
        QVERIFY(QDir(run.path(".")).mkpath("Files/Hardcopies"));
        TQuillstoneMainForm* form = run.start();
        form->show();

        run.action("Hardcopy1")->trigger();
        run.action("Hardcopy1")->trigger();
        QCOMPARE(form->HardcopyCount, 2);
        QVERIFY(run.shownErrors.empty());

        const QByteArray bytes = run.readFile("Files/Hardcopies/QuillstoneHdcpy_0.jpg");
        const JpegFacts facts = jpeg_probe::read(bytes);
        QVERIFY2(facts.decoded, facts.error.c_str());
        QCOMPARE(QSize(facts.width, facts.height), QSize(569, 401)); // the encoding: hardcopy_test
        QVERIFY(run.exists("Files/Hardcopies/QuillstoneHdcpy_1.jpg"));

        // The picture is the panel, pixel for pixel: window_capture_test; the image
        // control now holds it.
        QCOMPARE(form->HardcopyImage->pixmap().size(), QSize(569, 401));
    }

    void unwritableHardcopyIsShownAndUsesItsNumber() {
        FORM_RUN(run);
        QSaveFile probe("/proc/quillstone-probe");
        if (probe.open(QIODevice::WriteOnly)) {
            probe.cancelWriting();
            QSKIP("/proc accepts new files here");
        }
        QVERIFY(QDir(run.path(".")).mkpath("Files"));
        QVERIFY(QFile::link("/proc", run.path("Files/Hardcopies")));
        TQuillstoneMainForm* form = run.start();

        run.action("Hardcopy1")->trigger();
        run.action("Hardcopy1")->trigger();
        QCOMPARE(form->HardcopyCount, 2);
        QCOMPARE(run.shownErrors.size(), std::size_t(2));
        QVERIFY2(QString::fromStdString(run.shownErrors[0]).contains("QuillstoneHdcpy_0.jpg"),
                 run.shownErrors[0].c_str());
        QVERIFY2(QString::fromStdString(run.shownErrors[1]).contains("QuillstoneHdcpy_1.jpg"),
                 run.shownErrors[1].c_str());

        // With the folder writable again the next number is used.
        QVERIFY(QFile::remove(run.path("Files/Hardcopies")));
        QVERIFY(QDir(run.path(".")).mkpath("Files/Hardcopies"));
        run.action("Hardcopy1")->trigger();
        QCOMPARE(run.shownErrors.size(), std::size_t(2));
        QCOMPARE(QDir(run.path("Files/Hardcopies")).entryList(QDir::Files),
                 QStringList{"QuillstoneHdcpy_2.jpg"});
    }

    void helpTwiceIsOneWindow() {
        FORM_RUN(run);
        run.writeFile("The Link Budget.txt", "Formulas");
        run.start();
        // Right after the start, before the process entry has made the window:
        // the first "Help" makes it.
        QCOMPARE(QuillstoneHelpForm, nullptr);
        run.action("MenuHelp")->trigger();
        TQuillstoneHelpForm* help = QuillstoneHelpForm;
        QVERIFY(help != nullptr);
        run.action("MenuHelp")->trigger();
        QCOMPARE(QuillstoneHelpForm, help);
        QVERIFY(help->isVisible());
        QCOMPARE(help->Memo1->toPlainText(), QString("Formulas"));
        run.start(); // the window goes with its main window
        QCOMPARE(QuillstoneHelpForm, nullptr);
    }

    void aboutShowsTheProgramsTextsAndGoesAway() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        form->show();

        QStringList texts;
        QWidget* owner = nullptr;
        QTimer::singleShot(0, form, [&] {
            auto* box = qobject_cast<TPelKorAboutBoxForm*>(QApplication::activeModalWidget());
            if (box == nullptr) { // not modal: close whatever box there is
                for (auto* other : form->findChildren<TPelKorAboutBoxForm*>())
                    other->done(99);
                return;
            }
            owner = box->parentWidget();
            for (const char* name : {"ProductName", "Version", "LabelComments"})
                texts << box->findChild<QLabel*>(name)->text();
            QTest::mouseClick(box->findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        });
        run.action("MenuAbout")->trigger();

        QCOMPARE(owner, form);
        QCOMPARE(texts, (QStringList{"Quillstone", "Version 2.01", "Comments : Link Budget"}));
        QVERIFY(form->findChildren<TPelKorAboutBoxForm*>().isEmpty());
    }
};

QTEST_MAIN(MainFormMenuTest)
#include "main_form_menu_test.moc"
