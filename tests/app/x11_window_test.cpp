// The main window as an X11 desktop receives it (run on the xcb platform on
// a private X server): a normal window, not a utility one, so that the
// taskbar lists it and the window manager keeps it shown; fixed at its size,
// with minimise and close but no maximise; and with the program's icon.
#include "form_fixture.h"
#include "x11_properties.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include <cstdint>
#include <utility>
#include <vector>

namespace {

// Motif hints: flags, functions, decorations (the bits the desktop reads).
constexpr uint32_t kMotifFunctions = 1u << 0, kMotifDecorations = 1u << 1;
constexpr uint32_t kFunctionAll = 1u << 0, kFunctionMinimize = 1u << 3, kFunctionMaximize = 1u << 4,
                   kFunctionClose = 1u << 5;
constexpr uint32_t kDecorationAll = 1u << 0, kDecorationMinimize = 1u << 5,
                   kDecorationMaximize = 1u << 6;
// WM_NORMAL_HINTS: the minimum and maximum size are given.
constexpr uint32_t kMinSize = 1u << 4, kMaxSize = 1u << 5;

} // namespace

class X11WindowTest : public QObject {
    Q_OBJECT
  private slots:
    void mainWindowIsANormalFixedWindow() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs the xcb platform (run under xvfb-run)");
        testing_support::X11 x11;
        QVERIFY(x11.ready());
        FORM_RUN(run);
        TQuillstoneMainForm* form = run.start();
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form));
        form->FinishAfterFirstFrame(); // the icon
        const auto window = xcb_window_t(form->windowHandle()->winId());

        QCOMPARE(x11.property(window, "_NET_WM_WINDOW_TYPE"),
                 std::vector<uint32_t>{x11.atom("_NET_WM_WINDOW_TYPE_NORMAL")});
        for (uint32_t state : x11.property(window, "_NET_WM_STATE"))
            QVERIFY(state != x11.atom("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(x11.property(window, "WM_TRANSIENT_FOR").empty());
        QVERIFY(x11.property(window, "_NET_WM_ICON").size() > 2); // width, height, pixels

        // Minimum and maximum size are both the window's size.
        const std::vector<uint32_t> size = x11.property(window, "WM_NORMAL_HINTS");
        QVERIFY(size.size() >= 9);
        QCOMPARE(size[0] & (kMinSize | kMaxSize), kMinSize | kMaxSize);
        const auto [width, height] = std::pair{uint32_t(form->width()), uint32_t(form->height())};
        QCOMPARE(std::vector<uint32_t>(size.begin() + 5, size.begin() + 9),
                 (std::vector<uint32_t>{width, height, width, height}));

        // Close and minimise, no maximise. (Resizing is left out through the
        // size hints above; Qt always lists it here.)
        const std::vector<uint32_t> motif = x11.property(window, "_MOTIF_WM_HINTS");
        QVERIFY(motif.size() >= 3);
        QVERIFY(motif[0] & kMotifFunctions);
        QVERIFY(!(motif[1] & (kFunctionAll | kFunctionMaximize)));
        QCOMPARE(motif[1] & (kFunctionMinimize | kFunctionClose),
                 kFunctionMinimize | kFunctionClose);
        if (motif[0] & kMotifDecorations) {
            QVERIFY(!(motif[2] & (kDecorationAll | kDecorationMaximize)));
            QVERIFY(motif[2] & kDecorationMinimize);
        }
    }
};

QTEST_MAIN(X11WindowTest)
#include "x11_window_test.moc"
