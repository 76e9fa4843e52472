#include "ui/window_caption.h"

#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QWidget>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

namespace quilvern {
namespace {

xcb_atom_t Atom(xcb_connection_t* connection, const char* name) {
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, static_cast<std::uint16_t>(std::strlen(name)), name);
    const std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

// Qt writes the application's name into the title properties of an X11 window whose
// title is empty; this writes them empty again.
void EmptyX11Title(QWidget& window) {
    auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (x11 == nullptr)
        return;
    xcb_connection_t* connection = x11->connection();
    const auto id = static_cast<xcb_window_t>(window.winId());
    const xcb_atom_t netWmName = Atom(connection, "_NET_WM_NAME");
    const xcb_atom_t utf8 = Atom(connection, "UTF8_STRING");
    if (netWmName != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE) {
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, netWmName, utf8, 8, 0, nullptr);
    }
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_NAME, XCB_ATOM_STRING, 8,
                        0, nullptr);
    xcb_flush(connection);
}

}  // namespace

void SetCaption(QWidget& window, const QString& text) {
    window.setWindowTitle(text);
    // Before the window exists on the display there is nothing to write; its creation
    // sets the title again, and the first show calls this once more.
    if (text.isEmpty() && window.testAttribute(Qt::WA_WState_Created) &&
        QGuiApplication::platformName() == QStringLiteral("xcb")) {
        EmptyX11Title(window);
    }
}

}  // namespace quilvern
