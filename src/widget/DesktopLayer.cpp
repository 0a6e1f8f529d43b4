#include "widget/DesktopLayer.h"

#include <QGuiApplication>
#include <QWidget>

#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>

namespace plannery::DesktopLayer {

namespace {

xcb_atom_t atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<uint16_t>(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    if (reply == nullptr) {
        return XCB_ATOM_NONE;
    }
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

void typeAsDesktop(QWidget& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr || x11->connection() == nullptr) {
        return;
    }
    xcb_connection_t* connection = x11->connection();
    // Creating the native window now lets its type be set before the window manager maps it.
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t type = atom(connection, "_NET_WM_WINDOW_TYPE");
    const xcb_atom_t desktop = atom(connection, "_NET_WM_WINDOW_TYPE_DESKTOP");
    const xcb_atom_t workspace = atom(connection, "_NET_WM_DESKTOP");
    if (type != XCB_ATOM_NONE && desktop != XCB_ATOM_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, type, XCB_ATOM_ATOM, 32, 1,
                            &desktop);
    }
    if (workspace != XCB_ATOM_NONE) {
        const uint32_t everyWorkspace = 0xFFFFFFFF;
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, workspace, XCB_ATOM_CARDINAL, 32,
                            1, &everyWorkspace);
    }
    xcb_flush(connection);
}

} // namespace

bool isX11() {
    return QGuiApplication::platformName() == QLatin1String("xcb");
}

void apply(QWidget& window) {
    window.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnBottomHint);
    window.setAttribute(Qt::WA_ShowWithoutActivating);
    if (isX11()) {
        typeAsDesktop(window);
    }
}

} // namespace plannery::DesktopLayer
