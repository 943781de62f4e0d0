// The design window as an X11 desktop receives it (the xcb platform on a
// private X server): a normal top-level window the taskbar lists, with the
// program's icon.
#include "design_fixture.h"
#include "x11_properties.h"

#include <QWindow>

class DesignX11Test : public QObject {
    Q_OBJECT
  private slots:
    void designWindowIsANormalWindowWithTheIcon() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs the xcb platform (run under xvfb-run)");
        testing_support::X11 x11;
        QVERIFY(x11.ready());
        testing_support::DesignRun run;
        DesignWindow* window = run.start();
        QVERIFY(QTest::qWaitForWindowExposed(window));
        const auto id = xcb_window_t(window->windowHandle()->winId());

        QCOMPARE(x11.property(id, "_NET_WM_WINDOW_TYPE"),
                 std::vector<uint32_t>{x11.atom("_NET_WM_WINDOW_TYPE_NORMAL")});
        for (uint32_t state : x11.property(id, "_NET_WM_STATE"))
            QVERIFY(state != x11.atom("_NET_WM_STATE_SKIP_TASKBAR"));
        QVERIFY(x11.property(id, "WM_TRANSIENT_FOR").empty());
        // Width, height, then the pixels of at least one size.
        // The icon follows the first frame.
        QTRY_VERIFY(x11.property(id, "_NET_WM_ICON").size() > 2);
        const std::vector<uint32_t> icon = x11.property(id, "_NET_WM_ICON");
        QVERIFY(icon.size() >= 2 + std::size_t(icon[0]) * icon[1]);
        QVERIFY(window->windowTitle().endsWith(QString::fromLatin1(kDesignerName)));
    }
};

QTEST_MAIN(DesignX11Test)
#include "design_x11_test.moc"
