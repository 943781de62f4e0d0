// The main window as an X11 desktop receives it (run on the xcb platform on
// a private X server): a normal window, not a utility one, so that the
// taskbar lists it and the window manager keeps it shown; fixed at its size,
// with minimise and close but no maximise; and with the program's icon.
#include "form_fixture.h"

#include <QGuiApplication>
#include <QTest>
#include <QWindow>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
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

class X11 {
  public:
    X11() {
        auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
        m_connection = x11 != nullptr ? x11->connection() : nullptr;
    }
    bool ready() const { return m_connection != nullptr; }

    xcb_atom_t atom(const char* name) const {
        xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(
            m_connection, xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(name)), name),
            nullptr);
        const xcb_atom_t atom = reply != nullptr ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return atom;
    }

    // A property's 32-bit items; none when it is not set.
    std::vector<uint32_t> property(xcb_window_t window, const char* name) const {
        xcb_get_property_reply_t* reply =
            xcb_get_property_reply(m_connection,
                                   xcb_get_property(m_connection, 0, window, atom(name),
                                                    XCB_GET_PROPERTY_TYPE_ANY, 0, 1u << 20),
                                   nullptr);
        std::vector<uint32_t> items;
        if (reply != nullptr && reply->format == 32) {
            const auto* data = static_cast<const uint32_t*>(xcb_get_property_value(reply));
            items.assign(data, data + xcb_get_property_value_length(reply) / 4);
        }
        std::free(reply);
        return items;
    }

  private:
    xcb_connection_t* m_connection = nullptr;
};

} // namespace

class X11WindowTest : public QObject {
    Q_OBJECT
  private slots:
    void mainWindowIsANormalFixedWindow() {
        if (QGuiApplication::platformName() != QStringLiteral("xcb"))
            QSKIP("needs the xcb platform (run under xvfb-run)");
        X11 x11;
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
