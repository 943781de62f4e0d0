#pragma once
// A window's X11 properties as the desktop reads them (the xcb platform on a
// private X server): atoms by name, and a property's 32-bit items.
#include <QGuiApplication>

#include <xcb/xcb.h>

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace testing_support {

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

} // namespace testing_support
