// The image writer's picture of a window: copied from what the window shows
// when it is on the screen, drawn anew when it is not; pixel for pixel the
// same either way, and never behind a change that is still to be painted.
// Bitmaps are written (lossless), so that pixels can be compared exactly.
#include "form_fixture.h"
#include "window_image.h"

#include <QImage>
#include <QTest>
#include <QWindow>

namespace {

// The panel as drawn now, in the bitmap's colours.
QImage drawnNow(QWidget* panel) {
    return panel->grab(QRect(QPoint(0, 0), panel->size()))
        .toImage()
        .convertToFormat(QImage::Format_RGB888);
}

// The bitmap the writer makes of the panel, read back.
QImage written(testing_support::FormRun& run, QWidget* panel, QLabel* image) {
    const std::string name = run.path("shot").toStdString();
    SaveWindowImage(panel, image, panel->height(), name, false, panel->width());
    QImage picture;
    if (!picture.load(run.path("shot.bmp"), "BMP"))
        return {};
    return picture.convertToFormat(QImage::Format_RGB888);
}

bool exposed(QWidget* window) {
    return window->windowHandle() != nullptr && window->windowHandle()->isExposed();
}

} // namespace

class WindowCaptureTest : public QObject {
    Q_OBJECT

  private slots:
    void pictureIsThePanelsPixels_data() {
        QTest::addColumn<bool>("shown"); // else drawn anew
        QTest::newRow("shown") << true;
        QTest::newRow("never shown") << false;
    }
    void pictureIsThePanelsPixels() {
        QFETCH(bool, shown);
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        if (shown) {
            form->show();
            QTRY_VERIFY(exposed(form));
        }

        // Taken first: the image control, which lies beneath the panels, shows
        // the new picture afterwards.
        const QImage expected = drawnNow(form->PanelScreen);
        const QImage picture = written(run, form->PanelScreen, form->HardcopyImage);
        QCOMPARE(picture.size(), QSize(569, 401));
        // Not the menu bar or the strip above the panel: the panel, exactly.
        QVERIFY(picture == expected);
        QVERIFY(form->HardcopyImage->pixmap().toImage().convertToFormat(QImage::Format_RGB888) ==
                expected);
    }

    void changeNotYetPaintedIsInThePicture() {
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        form->show();
        QTRY_VERIFY(exposed(form));
        QCoreApplication::processEvents(); // everything painted

        const QImage before = drawnNow(form->PanelScreen);
        QLabel* result = form->ResultLabel(0);
        result->setText(QStringLiteral("-987.65"));
        result->adjustSize();
        const QImage after = drawnNow(form->PanelScreen);
        QVERIFY(after != before); // the change shows

        // No event has been processed since the change: the writer must not
        // copy the window as it was last painted.
        QVERIFY(written(run, form->PanelScreen, nullptr) == after);
    }
};

QTEST_MAIN(WindowCaptureTest)
#include "window_capture_test.moc"
